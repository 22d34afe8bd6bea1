#pragma once
// The record of the platen life test (command 27, target 11) and its pass
// descriptors. Default values are what RUN sends where the test sets a fixed
// value.
#include "protocol/MotorBlock.h"

namespace protocol {

// One pass of the platen life test: the driver writes the encoder count of
// each pulse of the pass into the table (the test pre-fills every byte with
// 0x01, so untouched entries show).
struct PassDescriptor {
    int32_t word0 = 1;
    int32_t word4 = 1;
    int32_t entries = 0; // the move's total pulses (1 for a reverse pass with the reverse move off)
    uint32_t table = 0;
};
static_assert(sizeof(PassDescriptor) == 16);
static_assert(offsetof(PassDescriptor, entries) == 8);
static_assert(offsetof(PassDescriptor, table) == 12);

constexpr uint8_t kPassTableFill = 0x01;

constexpr MotorBlock platenLifeMotorBlock()
{
    MotorBlock b;
    b.direction = 1;
    return b;
}

constexpr SequenceBlock runSequenceBlock()
{
    SequenceBlock b;
    b.cyclePosition = 1;
    b.word4 = 1;
    b.word8 = 1000;
    return b;
}

struct PlatenLifeRecord {
    MotorBlock forward = platenLifeMotorBlock();
    MotorBlock reverse = platenLifeMotorBlock();
    SecondMotorBlock rewindForward;
    SecondMotorBlock rewindReverse;
    SequenceBlock sequence = runSequenceBlock();
    int32_t word244 = 1;
    int32_t words248[7] = {0, 2, 100, 100, 1000, 0, 1};
    int32_t word276 = 0;
    int32_t word280 = 0;
    int32_t word284 = 1000;
    int32_t words288[3] = {};
    uint8_t byte300 = 255;
    uint8_t pad301[3] = {};
    uint32_t forwardPasses = 0;     // address of the forward pass descriptors
    uint32_t reversePasses = 0;     // address of the reverse pass descriptors
    int32_t forwardPassCount = 0;
    int32_t reversePassCount = 0;
    int32_t words320[2] = {};
    int32_t passes = 0;             // N
    int32_t forwardClutch = 0;
    int32_t reverseClutch = 0;
    int32_t words340[3] = {1, 1, 1};
    int32_t useReverse = 0;
};
static_assert(sizeof(PlatenLifeRecord) == 356);
static_assert(offsetof(PlatenLifeRecord, forward) == 0);
static_assert(offsetof(PlatenLifeRecord, reverse) == 48);
static_assert(offsetof(PlatenLifeRecord, rewindForward) == 96);
static_assert(offsetof(PlatenLifeRecord, rewindReverse) == 156);
static_assert(offsetof(PlatenLifeRecord, sequence) == 216);
static_assert(offsetof(PlatenLifeRecord, word244) == 244);
static_assert(offsetof(PlatenLifeRecord, words248) == 248);
static_assert(offsetof(PlatenLifeRecord, word276) == 276);
static_assert(offsetof(PlatenLifeRecord, word284) == 284);
static_assert(offsetof(PlatenLifeRecord, byte300) == 300);
static_assert(offsetof(PlatenLifeRecord, forwardPasses) == 304);
static_assert(offsetof(PlatenLifeRecord, reversePasses) == 308);
static_assert(offsetof(PlatenLifeRecord, forwardPassCount) == 312);
static_assert(offsetof(PlatenLifeRecord, reversePassCount) == 316);
static_assert(offsetof(PlatenLifeRecord, passes) == 328);
static_assert(offsetof(PlatenLifeRecord, forwardClutch) == 332);
static_assert(offsetof(PlatenLifeRecord, reverseClutch) == 336);
static_assert(offsetof(PlatenLifeRecord, words340) == 340);
static_assert(offsetof(PlatenLifeRecord, useReverse) == 352);

} // namespace protocol
