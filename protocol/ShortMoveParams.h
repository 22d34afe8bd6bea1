#pragma once
// The single-ramp move record of the ribbon motor.
#include <cstddef>
#include <cstdint>

namespace protocol {

namespace stopMode {
constexpr int32_t SensorTrigger = 1;
constexpr int32_t PulseCount = 2;
} // namespace stopMode

struct ShortMoveParams {
    int32_t direction = 0;  // 0 counter-clockwise rocker arm, 1 clockwise and slip clutch
    int32_t stepMode = 0;
    int32_t stopMode = stopMode::SensorTrigger;
    int32_t pulseCount = 0;
    int32_t runSpeed = 1000;
    uint32_t rampUpTable = 0;
    int32_t rampUpCount = 0;
    int32_t reserved = 0;
    uint8_t vref = 255;
    uint8_t vrefPad[3] = {};
};
static_assert(sizeof(ShortMoveParams) == 36);
static_assert(offsetof(ShortMoveParams, stepMode) == 4);
static_assert(offsetof(ShortMoveParams, stopMode) == 8);
static_assert(offsetof(ShortMoveParams, pulseCount) == 12);
static_assert(offsetof(ShortMoveParams, runSpeed) == 16);
static_assert(offsetof(ShortMoveParams, rampUpTable) == 20);
static_assert(offsetof(ShortMoveParams, rampUpCount) == 24);
static_assert(offsetof(ShortMoveParams, reserved) == 28);
static_assert(offsetof(ShortMoveParams, vref) == 32);

} // namespace protocol
