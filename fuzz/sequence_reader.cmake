# Sequence files and limits: any bytes read without a crash, and what reads
# keeps its form.
if(TARGET vantor_measure)
  diag_add_fuzzer(NAME sequence_reader SOURCES ${CMAKE_CURRENT_LIST_DIR}/sequence_reader.cpp LIBS vantor_measure)
endif()
