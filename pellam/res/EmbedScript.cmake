# cmake -DSCRIPT=<x.rc> -DHEADER=<resource.h> -DOUTPUT=<x.cpp> -P EmbedScript.cmake
#
# Writes the source of a language library: the resource script and the
# resource.h it includes, as byte arrays, behind the two entry points that
# ui::Resources::loadLibrary looks for.
function(bytes_of file out)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

bytes_of("${SCRIPT}" script_bytes)
bytes_of("${HEADER}" header_bytes)
set(text "// Generated from ${SCRIPT}; edit the script, not this file.
#include <cstring>

namespace {
const unsigned char kScript[] = {${script_bytes}0x00};
const unsigned char kResourceH[] = {${header_bytes}0x00};
} // namespace

extern \"C\" __attribute__((visibility(\"default\"))) const char* diag_resource_script()
{
    return reinterpret_cast<const char*>(kScript);
}

extern \"C\" __attribute__((visibility(\"default\"))) const char* diag_resource_file(const char* name)
{
    if (name && std::strcmp(name, \"resource.h\") == 0)
        return reinterpret_cast<const char*>(kResourceH);
    return nullptr;
}
")
# Rewrite only on change, so the library does not rebuild for nothing.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${text}")
