#pragma once
// The program's one settings object (\boot\Pellam.ini through the maker's
// library): constructed when the process starts, destroyed when it ends.
// Only the PEB calibration screen loads and reads it.
#include "devkit/CIniFile.h"

namespace pellam {

CIniFile& theIniFile();

} // namespace pellam
