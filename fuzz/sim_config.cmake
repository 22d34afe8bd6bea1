# The simulator's configuration: anything accepted lies within its bounds.
if(TARGET sim_state)
  diag_add_fuzzer(NAME sim_config SOURCES ${CMAKE_CURRENT_LIST_DIR}/sim_config.cpp LIBS sim_state)
endif()
