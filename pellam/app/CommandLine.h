#pragma once
// Every option of pellam, in one table: main()'s parser, --help and the
// manual page pellam(1) are made from it.
#include "platform/ProgramOptions.h"

namespace pellam {

const platform::ProgramInfo& commandLineInfo();

} // namespace pellam
