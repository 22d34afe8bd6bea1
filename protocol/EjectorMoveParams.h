#pragma once
// The ejector move (command 7, target 4; also the eject part of the end
// cutter record).
#include <cstddef>
#include <cstdint>

namespace protocol {

struct EjectorMoveParams {
    int32_t stepMode = 0;
    int32_t runSpeed = 1000;
    int32_t pulseCount = 0;
    int32_t rampUpCount = 0;
    int32_t rampDownCount = 0;
    uint32_t rampUpTable = 0;
    uint32_t rampDownTable = 0;
    int32_t forwardAfterBlocked = 0;
    int32_t forwardAfterUnblocked = 0;
    int32_t postHold = 0;        // ms
    int32_t revolutions = 0;     // per cycle, 1..3
    uint8_t vref = 255;
    uint8_t vrefPad[3] = {};
};
static_assert(sizeof(EjectorMoveParams) == 48);
static_assert(offsetof(EjectorMoveParams, runSpeed) == 4);
static_assert(offsetof(EjectorMoveParams, pulseCount) == 8);
static_assert(offsetof(EjectorMoveParams, rampUpCount) == 12);
static_assert(offsetof(EjectorMoveParams, rampDownCount) == 16);
static_assert(offsetof(EjectorMoveParams, rampUpTable) == 20);
static_assert(offsetof(EjectorMoveParams, rampDownTable) == 24);
static_assert(offsetof(EjectorMoveParams, forwardAfterBlocked) == 28);
static_assert(offsetof(EjectorMoveParams, forwardAfterUnblocked) == 32);
static_assert(offsetof(EjectorMoveParams, postHold) == 36);
static_assert(offsetof(EjectorMoveParams, revolutions) == 40);
static_assert(offsetof(EjectorMoveParams, vref) == 44);

} // namespace protocol
