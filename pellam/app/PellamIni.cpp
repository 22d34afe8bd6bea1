#include "PellamIni.h"

namespace pellam {

namespace {
CIniFile g_iniFile; // lives from process start to exit
} // namespace

CIniFile& theIniFile() { return g_iniFile; }

} // namespace pellam
