# cmake -DPROGRAM=<program> -DOUTPUT=<name.1.gz> -P ManPage.cmake
#
# The manual page as the program writes it from its option table, gzipped
# the way Debian wants it (best compression, no name or time stamp).
get_filename_component(plain "${OUTPUT}" NAME_WLE)
get_filename_component(folder "${OUTPUT}" DIRECTORY)
set(ENV{ASAN_OPTIONS} "detect_leaks=0")
execute_process(COMMAND "${PROGRAM}" --man OUTPUT_FILE "${folder}/${plain}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --man failed: ${rc}")
endif()
execute_process(COMMAND gzip -9nf "${folder}/${plain}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip ${plain} failed: ${rc}")
endif()
