# The simulated printer's state file: any bytes load as state or as factory values.
if(TARGET sim_state)
  diag_add_fuzzer(NAME sim_state_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/sim_state_file.cpp LIBS sim_state)
endif()
