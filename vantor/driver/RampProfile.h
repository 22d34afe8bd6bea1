#pragma once
// Ramp profile files: 8-bit text, one decimal pulse rate per line.
#include <cstddef>
#include <cstdint>
#include <vector>
#include <QString>

#include "platform/CallerMemory.h"

namespace vantor::driver {

using RampTable = platform::CallerTable<uint32_t>;

// Splits the text at line feeds (empty pieces skipped) and converts each piece
// as the profile reader does: leading blanks skipped, digits up to the first
// other character, low 16 bits kept. Appends to `out`.
void parseRampProfile(const char* text, size_t length, std::vector<uint32_t>& out);

// A table holding `values` (empty when there are none).
RampTable makeRampTable(const std::vector<uint32_t>& values);

// Reads a profile file (a user file name, see platform::userFilePath). A
// missing or unreadable file gives an empty table.
RampTable ReadRampProfile(const QString& path);

} // namespace vantor::driver
