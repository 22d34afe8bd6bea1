# Vantor.ini: any bytes load without a crash, and what loads saves and loads again.
if(TARGET vantor_settings)
  diag_add_fuzzer(NAME settings_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_file.cpp LIBS vantor_settings)
endif()
