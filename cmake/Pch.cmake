# What every target gets once all are known: moc only where a file needs it,
# the tests' optimisation level and the precompiled headers.
#
# Precompiled headers: the Qt, GoogleTest and standard headers that most
# files include are parsed once per build instead of once per file (they were
# about a third of a file's compile time, more in the unoptimised sanitizer
# builds). Three donor targets each compile one header set; every other target
# reuses the set its links reach, so a build compiles three headers, not one
# per target. A target whose flags made its donor's header unusable would fail
# to compile (-Winvalid-pch under -Werror), not silently build slower.
#
# DIAG_PCH=OFF builds without them (scripts/fuzz.sh does, so that a file
# missing an include of its own still fails somewhere).

option(DIAG_PCH "Precompile the common Qt, GoogleTest and standard headers" ON)

set(_diag_pch_std
  <algorithm> <array> <atomic> <cmath> <cstdint> <cstdio> <cstdlib> <cstring> <functional>
  <limits> <map> <memory> <mutex> <optional> <set> <string> <thread> <utility> <vector>)
set(_diag_pch_core ${_diag_pch_std}
  <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QJsonArray>
  <QJsonDocument> <QJsonObject> <QObject> <QRegularExpression> <QString> <QStringList>
  <QTemporaryDir> <QTimer>)
set(_diag_pch_widgets ${_diag_pch_core}
  <QAbstractButton> <QAccessible> <QApplication> <QComboBox> <QImage> <QKeyEvent> <QLabel>
  <QLineEdit> <QPainter> <QPushButton> <QWidget>)
set(_diag_pch_tests ${_diag_pch_widgets} <gtest/gtest.h>)

# _diag_reaches(<target> <library> <out>): whether <target> links <library>,
# directly or through the targets it links.
function(_diag_reaches target library out)
  get_property(known GLOBAL PROPERTY _diag_reach_${target}_${library} SET)
  if(known)
    get_property(answer GLOBAL PROPERTY _diag_reach_${target}_${library})
    set(${out} ${answer} PARENT_SCOPE)
    return()
  endif()
  set_property(GLOBAL PROPERTY _diag_reach_${target}_${library} FALSE) # cycles end here
  set(answer FALSE)
  get_target_property(aliased ${target} ALIASED_TARGET)
  if(aliased)
    set(target ${aliased})
  endif()
  get_target_property(type ${target} TYPE)
  set(links)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(direct ${target} LINK_LIBRARIES)
    if(direct)
      list(APPEND links ${direct})
    endif()
  endif()
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  if(interface)
    list(APPEND links ${interface})
  endif()
  foreach(link IN LISTS links)
    if(link STREQUAL library)
      set(answer TRUE)
      break()
    endif()
    if(NOT link MATCHES "^\\$<" AND TARGET ${link})
      _diag_reaches(${link} ${library} sub)
      if(sub)
        set(answer TRUE)
        break()
      endif()
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY _diag_reach_${target}_${library} ${answer})
  set(${out} ${answer} PARENT_SCOPE)
endfunction()

function(_diag_targets_in dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _diag_targets_in(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(_diag_pch_donor kind)
  set(source ${CMAKE_BINARY_DIR}/pch/${kind}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Carries the ${kind} precompiled header.\n")
  add_library(diag_pch_${kind} OBJECT ${source})
  set_target_properties(diag_pch_${kind} PROPERTIES AUTOMOC OFF)
  target_precompile_headers(diag_pch_${kind} PRIVATE ${_diag_pch_${kind}})
  target_link_libraries(diag_pch_${kind} PRIVATE ${ARGN})
endfunction()

# The tests' own code (every target that links GoogleTest: the suites and
# their helper libraries) is not optimised in a Release build: the code under
# test keeps -O3, and the optimiser took over half of a test file's compile
# time (17.4 s at -O3, 9.1 s at -O0, 8.7 s for the parse alone, for one
# dialog suite). One level for all of them, as a precompiled header and the
# files using it must agree on it (g++ crashes otherwise).
function(_diag_test_optimisation target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-O0>)
endfunction()

# _diag_needs_moc(<target> <out>): whether any of the target's files, or a
# header beside one of its sources, declares a Q_OBJECT or Q_GADGET. A target
# without one needs no moc step, and its empty generated file would still
# load the precompiled header (2 to 5 s with g++) for nothing. A source not
# on disk yet (generated) keeps moc on.
function(_diag_needs_moc target out)
  get_target_property(sources ${target} SOURCES)
  get_target_property(dir ${target} SOURCE_DIR)
  set(answer FALSE)
  foreach(source IN LISTS sources)
    if(source MATCHES "^\\$<")
      set(answer TRUE)
      break()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir} OUTPUT_VARIABLE file)
    if(NOT EXISTS ${file})
      set(answer TRUE)
      break()
    endif()
    cmake_path(REMOVE_EXTENSION file LAST_ONLY OUTPUT_VARIABLE stem)
    foreach(candidate ${file} ${stem}.h ${stem}_p.h ${stem}.hpp)
      if(EXISTS ${candidate} AND NOT IS_DIRECTORY ${candidate})
        file(STRINGS ${candidate} hits REGEX "Q_OBJECT|Q_GADGET|Q_NAMESPACE" LIMIT_COUNT 1)
        if(hits)
          set(answer TRUE)
          break()
        endif()
      endif()
    endforeach()
    if(answer)
      break()
    endif()
  endforeach()
  set(${out} ${answer} PARENT_SCOPE)
endfunction()

# diag_finish_targets(): called once, after every folder has added its
# targets.
function(diag_finish_targets)
  _diag_targets_in(${PROJECT_SOURCE_DIR} targets)
  if(DIAG_PCH)
    _diag_pch_donor(core Qt6::Core)
    _diag_pch_donor(widgets Qt6::Widgets)
    if(TARGET GTest::gtest)
      _diag_pch_donor(tests Qt6::Widgets GTest::gtest)
      _diag_test_optimisation(diag_pch_tests)
    endif()
  endif()
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    # Fuzz harnesses compile with libFuzzer's own flags; Qt's resource
    # libraries hold data, not code that includes headers.
    get_target_property(options ${target} COMPILE_OPTIONS)
    if(options MATCHES "fsanitize=fuzzer" OR target MATCHES "_resources_[0-9]+$")
      continue()
    endif()
    get_target_property(automoc ${target} AUTOMOC)
    if(automoc)
      _diag_needs_moc(${target} moc)
      if(NOT moc)
        set_target_properties(${target} PROPERTIES AUTOMOC OFF)
      endif()
    endif()
    set(gtest FALSE)
    if(TARGET GTest::gtest)
      _diag_reaches(${target} GTest::gtest gtest)
    endif()
    if(gtest)
      _diag_test_optimisation(${target})
    endif()
    if(NOT DIAG_PCH)
      continue()
    endif()
    _diag_reaches(${target} Qt6::Core core)
    if(NOT core)
      continue()
    endif()
    _diag_reaches(${target} Qt6::Widgets widgets)
    if(gtest AND widgets)
      set(kind tests)
    elseif(gtest)
      continue() # few, and the tests' header needs Widgets
    elseif(widgets)
      set(kind widgets)
    else()
      set(kind core)
    endif()
    target_precompile_headers(${target} REUSE_FROM diag_pch_${kind})
  endforeach()
endfunction()
