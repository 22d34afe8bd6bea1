# cmake -DSAMPLE=<sample folder> -DBIN=<program folder> -P SeedRuntime.cmake
#
# Puts the starter Vantor.ini beside the program when none is there, and
# copies the sample device files the device root lacks. Never overwrites:
# what is there belongs to the user.
if(NOT EXISTS "${BIN}/Vantor.ini")
  file(COPY "${SAMPLE}/Vantor.ini" DESTINATION "${BIN}")
endif()
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SAMPLE}/device" "${SAMPLE}/device/*")
foreach(f IN LISTS files)
  if(NOT EXISTS "${BIN}/device/${f}")
    get_filename_component(folder "${BIN}/device/${f}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY "${SAMPLE}/device/${f}" DESTINATION "${folder}")
  endif()
endforeach()
