# Device paths: refused, or mapped below the root and never out of it.
diag_add_fuzzer(NAME device_path SOURCES ${CMAKE_CURRENT_LIST_DIR}/device_path.cpp LIBS platform)
