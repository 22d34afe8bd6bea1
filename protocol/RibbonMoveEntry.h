#pragma once
// One ribbon move (command 4, target 2), optionally with a platen move.
#include "protocol/MotorBlock.h"
#include "protocol/ShortMoveParams.h"

namespace protocol {

struct RibbonMoveEntry {
    ShortMoveParams move;
    int32_t usePlaten = 0; // 1: the driver also runs the platen move
    MotorBlock platen;
    int32_t trackEncoder = 0;
    int32_t reserved = 0;
};
static_assert(sizeof(RibbonMoveEntry) == 96);
static_assert(offsetof(RibbonMoveEntry, move) == 0);
static_assert(offsetof(RibbonMoveEntry, usePlaten) == 36);
static_assert(offsetof(RibbonMoveEntry, platen) == 40);
static_assert(offsetof(RibbonMoveEntry, trackEncoder) == 88);
static_assert(offsetof(RibbonMoveEntry, reserved) == 92);

} // namespace protocol
