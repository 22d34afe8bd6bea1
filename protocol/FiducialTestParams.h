#pragma once
// The record of one fiducial test cycle (IOCTL_PRN_TEST_RUN, target 35,
// command 24): the cross-web and down-web moves, a tape rewind block, the
// emitter colour with its offsets and DAC value, two sample blocks and the
// cut file. Default member values are the record's reset values with the
// constant words it is always sent with.
#include <cstddef>
#include <cstdint>

#include "protocol/AxisMoveParams.h"
#include "protocol/MotorBlock.h"

namespace protocol {

// The eleven constant words at offset 64.
constexpr int32_t kFiducialMiddleWords[11] = {0, 3, 100, 0, 0, 255, 0, 0, 0, 0, 0};

// The tape rewind block as the fiducial test sends it: reset values except
// step mode 1 and constant speed 1000.
constexpr SecondMotorBlock fiducialRewindBlock()
{
    SecondMotorBlock b{};
    b.mode = 0;
    b.stepMode = 1;
    b.word8 = 0;
    b.constantSpeed = 1000;
    return b;
}

struct FiducialTestParams {
    int32_t crossWebHeader = 2;
    AxisMoveParams crossWeb;           // at 4
    int32_t zero48[3] = {};
    int32_t middleHeader = 2;          // at 60
    int32_t middleWords[11] = {0, 3, 100, 0, 0, 255, 0, 0, 0, 0, 0}; // at 64
    int32_t word108 = 0;
    int32_t downWebHeader = 2;         // at 112
    AxisMoveParams downWeb;            // at 116
    int32_t word160 = 0;
    SecondMotorBlock tapeRewind = fiducialRewindBlock(); // at 164
    int32_t colorBit = 0;              // 1 red, 2 green, 4 blue
    int32_t crossWebOffset = 0;        // the colour's "Crossweb Offset:"
    int32_t downWebOffset = 0;         // the colour's "Downweb Offset:"
    uint8_t dacValue = 0;              // the colour's emitter DAC value
    uint8_t dacPad[3] = {};            // never written
    SampleBlock downWebSampling;       // at 240: 1; 1 "Step" / 0 "Encoder"; colour bit; pulses; buffer
    SampleBlock crossWebSampling;      // at 260: 1; 1; colour bit; pulses; buffer
    int32_t homeDistance = 0;          // cross-web "Home Distance:"
    int32_t downWebRunByEncoder = 0;   // 1 "Encoder", 0 "Step"
    int32_t markDistance = 0;          // down-web "Distance betwen:\nmark "
    // Address of the cut file path: UTF-16LE text ended by a 0 character
    // (an empty text when none).
    uint32_t cutFilePath = 0;
};
static_assert(sizeof(FiducialTestParams) == 296);
static_assert(offsetof(FiducialTestParams, crossWeb) == 4);
static_assert(offsetof(FiducialTestParams, zero48) == 48);
static_assert(offsetof(FiducialTestParams, middleHeader) == 60);
static_assert(offsetof(FiducialTestParams, middleWords) == 64);
static_assert(offsetof(FiducialTestParams, word108) == 108);
static_assert(offsetof(FiducialTestParams, downWebHeader) == 112);
static_assert(offsetof(FiducialTestParams, downWeb) == 116);
static_assert(offsetof(FiducialTestParams, word160) == 160);
static_assert(offsetof(FiducialTestParams, tapeRewind) == 164);
static_assert(offsetof(FiducialTestParams, colorBit) == 224);
static_assert(offsetof(FiducialTestParams, crossWebOffset) == 228);
static_assert(offsetof(FiducialTestParams, downWebOffset) == 232);
static_assert(offsetof(FiducialTestParams, dacValue) == 236);
static_assert(offsetof(FiducialTestParams, downWebSampling) == 240);
static_assert(offsetof(FiducialTestParams, crossWebSampling) == 260);
static_assert(offsetof(FiducialTestParams, homeDistance) == 280);
static_assert(offsetof(FiducialTestParams, downWebRunByEncoder) == 284);
static_assert(offsetof(FiducialTestParams, markDistance) == 288);
static_assert(offsetof(FiducialTestParams, cutFilePath) == 292);

} // namespace protocol
