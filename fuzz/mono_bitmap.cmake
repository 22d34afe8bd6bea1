# Bitmap files for a customised print: any bytes pack without a crash or an over-read.
if(TARGET vantor_print_screens)
  diag_add_fuzzer(NAME mono_bitmap SOURCES ${CMAKE_CURRENT_LIST_DIR}/mono_bitmap.cpp LIBS vantor_print_screens)
endif()
