# Ramp profile files: any bytes parse without a crash.
if(TARGET vantor_driver)
  diag_add_fuzzer(NAME ramp_profile SOURCES ${CMAKE_CURRENT_LIST_DIR}/ramp_profile.cpp LIBS vantor_driver)
endif()
