#pragma once
// The record of the ribbon tension test (commands 5 and 6, target 3).
#include "protocol/RibbonMoveEntry.h"

namespace protocol {

constexpr int32_t kTensionModeRun = 2;

struct RibbonTensionParams {
    int32_t levelCode = 0;   // currentLevel::*
    int32_t reserved = 0;
    int32_t tensionMode = 1; // every run sends kTensionModeRun
    int32_t dutyCycle = 0;   // 1..100
    int32_t frequency = 0;
    int32_t duration = 0;    // ms
    RibbonMoveEntry slipClutch;
};
static_assert(sizeof(RibbonTensionParams) == 120);
static_assert(offsetof(RibbonTensionParams, tensionMode) == 8);
static_assert(offsetof(RibbonTensionParams, dutyCycle) == 12);
static_assert(offsetof(RibbonTensionParams, frequency) == 16);
static_assert(offsetof(RibbonTensionParams, duration) == 20);
static_assert(offsetof(RibbonTensionParams, slipClutch) == 24);
static_assert(offsetof(RibbonTensionParams, slipClutch) + offsetof(RibbonMoveEntry, usePlaten) == 60);
static_assert(offsetof(RibbonTensionParams, slipClutch) + offsetof(RibbonMoveEntry, platen) == 64);

} // namespace protocol
