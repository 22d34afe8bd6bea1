# The registry hive below the device root: any bytes read without a crash.
diag_add_fuzzer(NAME registry_hive SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_hive.cpp LIBS platform)
