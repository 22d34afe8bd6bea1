#pragma once
// Every option of vantor, in one table: the parser of main() and of the
// headless run, --help and the manual page vantor(1) are made from it.
#include "platform/ProgramOptions.h"

namespace vantor {

// The program's own version, as the menu's caption shows it.
inline constexpr const char* kVersion = "1.02";

const platform::ProgramInfo& commandLineInfo();
// The option named `name` ("run", "cycles"...) as the Qt parser takes it.
QCommandLineOption commandLineOption(const char* name);

} // namespace vantor
