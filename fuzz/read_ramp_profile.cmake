# ReadRampProfile, the path-based entry the screens call (vantor_driver).
if(TARGET vantor_driver)
  diag_add_fuzzer(NAME read_ramp_profile SOURCES ${CMAKE_CURRENT_LIST_DIR}/read_ramp_profile.cpp LIBS vantor_driver)
endif()
