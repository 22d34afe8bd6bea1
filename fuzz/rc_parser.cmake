# The resource script parser must end in a value for any input, and the
# dialogs it parsed must build.
diag_add_fuzzer(NAME rc_parser
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/rc_parser.cpp
  LIBS ui)
