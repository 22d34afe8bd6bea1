#pragma once
// The record of one XY cutter life cycle (IOCTL_PRN_TEST_RUN, target 35:
// command 22 homing, 21 aging; command 23 addresses the pinch block only).
#include "protocol/AxisMoveParams.h"
#include "protocol/MotorBlock.h"

namespace protocol {

constexpr int32_t kXYAgingSamples = 1000;

struct XYLifeParams {
    CrossWebMove crossWeb;        // direction and pulse count keep their reset values
    PinchRecord pinch;            // at 60; Param of command 23
    DownWebRecord downWeb;        // at 112
    SecondMotorBlock tapeRewind;  // at 164
    int32_t downWebRunByEncoder = 0; // 1 "Encoder", 0 "Step"
    int32_t word228 = 0;
    int32_t sampleCount = 0;      // 1000 in the aging test
    uint32_t sampleBuffer = 0;
    // Address of the cut file path: UTF-16LE text ended by a 0 character.
    uint32_t cutFilePath = 0;
};
static_assert(sizeof(XYLifeParams) == 244);
static_assert(offsetof(XYLifeParams, crossWeb) == 0);
static_assert(offsetof(XYLifeParams, crossWeb) + offsetof(CrossWebMove, axis) == 4);
static_assert(offsetof(XYLifeParams, crossWeb) + offsetof(CrossWebMove, forwardAfterUnblocked) == 48);
static_assert(offsetof(XYLifeParams, crossWeb) + offsetof(CrossWebMove, forwardAfterBlocked) == 52);
static_assert(offsetof(XYLifeParams, crossWeb) + offsetof(CrossWebMove, force) == 56);
static_assert(offsetof(XYLifeParams, pinch) == 60);
static_assert(offsetof(XYLifeParams, pinch) + offsetof(PinchRecord, drive) == 64);
static_assert(offsetof(XYLifeParams, pinch) + offsetof(PinchRecord, force) == 108);
static_assert(offsetof(XYLifeParams, downWeb) == 112);
static_assert(offsetof(XYLifeParams, downWeb) + offsetof(DownWebRecord, axis) == 116);
static_assert(offsetof(XYLifeParams, downWeb) + offsetof(DownWebRecord, force) == 160);
static_assert(offsetof(XYLifeParams, tapeRewind) == 164);
static_assert(offsetof(XYLifeParams, downWebRunByEncoder) == 224);
static_assert(offsetof(XYLifeParams, word228) == 228);
static_assert(offsetof(XYLifeParams, sampleCount) == 232);
static_assert(offsetof(XYLifeParams, sampleBuffer) == 236);
static_assert(offsetof(XYLifeParams, cutFilePath) == 240);

} // namespace protocol
