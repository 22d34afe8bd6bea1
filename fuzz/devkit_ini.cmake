# \boot\Pellam.ini: any bytes load without a crash, from memory and from a file alike.
if(TARGET devkit)
  diag_add_fuzzer(NAME devkit_ini SOURCES ${CMAKE_CURRENT_LIST_DIR}/devkit_ini.cpp LIBS devkit)
endif()
