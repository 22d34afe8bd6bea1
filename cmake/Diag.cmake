# Shared build helpers.

# diag_add_gtest(NAME name SOURCES ... LIBS ...)
# One test executable; each GoogleTest case becomes one ctest test. Dialog
# tests run on Qt's offscreen platform, so no display is needed.
function(diag_add_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  # The thread-sanitizer build runs only the suites labelled "threads"; the
  # others are defined (callers may still configure them) but not built or
  # registered there, which keeps CI short.
  if(DIAG_SANITIZE STREQUAL "thread" AND NOT "threads" IN_LIST T_LABELS)
    add_executable(${T_NAME} EXCLUDE_FROM_ALL ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  add_dependencies(diag_tests ${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  # One label per suite: a list would be split into separate properties here.
  set(labels unit)
  if(T_LABELS)
    set(labels ${T_LABELS})
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${labels}" TIMEOUT 120)
endfunction()

# diag_add_fuzzer(NAME name SOURCES ... LIBS ...)
# With DIAG_FUZZ (clang) a libFuzzer binary, built by the target
# diag_fuzzers; otherwise a plain program that replays the files of
# fuzz/corpus/<name>, registered as a test so the corpus keeps passing in
# every build.
function(diag_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(DIAG_SANITIZE STREQUAL "thread")
    return()
  endif()
  if(DIAG_FUZZ)
    # The libraries are instrumented already (-fsanitize=fuzzer-no-link at the
    # top level); the harness adds libFuzzer's main.
    add_executable(${F_NAME} ${F_SOURCES})
    set_target_properties(${F_NAME} PROPERTIES AUTOMOC OFF) # harnesses declare no QObject
    target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    add_dependencies(diag_fuzzers ${F_NAME})
  else()
    add_executable(${F_NAME} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    if(DIAG_BUILD_TESTS AND EXISTS ${PROJECT_SOURCE_DIR}/fuzz/corpus/${F_NAME})
      add_test(NAME fuzz_replay.${F_NAME}
               COMMAND ${F_NAME} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${F_NAME})
      set_tests_properties(fuzz_replay.${F_NAME} PROPERTIES LABELS "fuzz" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  endif()
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
endfunction()

# Adds every direct subfolder that has a CMakeLists.txt, in name order, so
# that new folders join the build without touching their parent.
macro(diag_add_subfolders)
  file(GLOB _children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _children)
  foreach(_child ${_children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endmacro()
