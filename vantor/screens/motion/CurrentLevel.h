#pragma once
// The "Current Level (%):" box of the motor screens as the driver's code.
#include <QString>
#include <cstdint>

#include "protocol/AxisMoveParams.h"

namespace vantor {

// 1 for "38", 2 for "71", 3 for "100"; 0 for anything else, sent as typed.
inline int32_t levelCode(const QString& level)
{
    return protocol::currentLevel::fromPercent(level.trimmed().toInt());
}

} // namespace vantor
