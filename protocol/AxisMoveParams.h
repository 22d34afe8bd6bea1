#pragma once
// Move and drive records of the XY cutter: one tape axis, a pulsed actuator
// (pinch), the sampling block, and the records of the XY cutter test
// (commands 38, 14, 15), each laid after its own header word 2.
#include <cstddef>
#include <cstdint>

namespace protocol {

constexpr int32_t kXYRecordHeader = 2;

struct AxisMoveParams {
    int32_t direction = 0;
    int32_t stepMode = 1;
    int32_t pulseCount = 0;   // total minus both ramps
    int32_t runSpeed = 1000;  // pps
    uint32_t rampUpTable = 0;
    int32_t rampUpCount = 0;
    uint32_t rampDownTable = 0;
    int32_t rampDownCount = 0;
    int32_t word32 = 0;
    int32_t word36 = 3000;
    uint8_t vref = 255;
    uint8_t vrefPad[3] = {};
};
static_assert(sizeof(AxisMoveParams) == 44);
static_assert(offsetof(AxisMoveParams, stepMode) == 4);
static_assert(offsetof(AxisMoveParams, pulseCount) == 8);
static_assert(offsetof(AxisMoveParams, runSpeed) == 12);
static_assert(offsetof(AxisMoveParams, rampUpTable) == 16);
static_assert(offsetof(AxisMoveParams, rampUpCount) == 20);
static_assert(offsetof(AxisMoveParams, rampDownTable) == 24);
static_assert(offsetof(AxisMoveParams, rampDownCount) == 28);
static_assert(offsetof(AxisMoveParams, word36) == 36);
static_assert(offsetof(AxisMoveParams, vref) == 40);

// Current level codes of every "Current Level (%):" list.
namespace currentLevel {
constexpr int32_t Pct38 = 1;
constexpr int32_t Pct71 = 2;
constexpr int32_t Pct100 = 3;
// 38 -> 1, 71 -> 2, 100 -> 3; anything else -> 0
constexpr int32_t fromPercent(int percent)
{
    return percent == 38 ? Pct38 : percent == 71 ? Pct71 : percent == 100 ? Pct100 : 0;
}
} // namespace currentLevel

struct PulseDriveParams {
    int32_t sequence = 0;     // pinch: 0 "Pinch Seq", 1 "Depinch Seq"
    int32_t levelCode = currentLevel::Pct100;
    int32_t dutyCycle = 0;    // 1..100
    int32_t period = 0;       // us (the head lift sends its frequency here)
    int32_t duration = 0;     // ms
    int32_t word20 = 255;
    uint32_t table24 = 0;
    uint32_t table28 = 0;
    int32_t word32 = 0;
    int32_t delayAfterTrigger = 0;       // ms
    int32_t secondDelayAfterTrigger = 1000; // ms
};
static_assert(sizeof(PulseDriveParams) == 44);
static_assert(offsetof(PulseDriveParams, levelCode) == 4);
static_assert(offsetof(PulseDriveParams, dutyCycle) == 8);
static_assert(offsetof(PulseDriveParams, period) == 12);
static_assert(offsetof(PulseDriveParams, duration) == 16);
static_assert(offsetof(PulseDriveParams, word20) == 20);
static_assert(offsetof(PulseDriveParams, table24) == 24);
static_assert(offsetof(PulseDriveParams, table28) == 28);
static_assert(offsetof(PulseDriveParams, delayAfterTrigger) == 36);
static_assert(offsetof(PulseDriveParams, secondDelayAfterTrigger) == 40);

// Samples the driver takes during a move (also used by the fiducial test).
// Reset values 0, 1, 1, 0, no buffer.
struct SampleBlock {
    int32_t mode = 0;
    int32_t word4 = 1;   // fiducial down-web: 1 "Step", 0 "Encoder"
    int32_t word8 = 1;   // fiducial: the colour bit; XY cross-web: 3
    int32_t count = 0;
    uint32_t buffer = 0; // count 32-bit entries
};
static_assert(sizeof(SampleBlock) == 20);
static_assert(offsetof(SampleBlock, word4) == 4);
static_assert(offsetof(SampleBlock, word8) == 8);
static_assert(offsetof(SampleBlock, count) == 12);
static_assert(offsetof(SampleBlock, buffer) == 16);

// Cross-web move without its samples: the first 60 bytes of the cross-web
// record and of XYLifeParams.
struct CrossWebMove {
    int32_t header = kXYRecordHeader;
    AxisMoveParams axis;
    int32_t forwardAfterUnblocked = 0; // 0 in the XY cutter test
    int32_t forwardAfterBlocked = 0;   // 0 in the XY cutter test
    int32_t force = 0;                 // voice-coil force DAC
};
static_assert(sizeof(CrossWebMove) == 60);
static_assert(offsetof(CrossWebMove, axis) == 4);
static_assert(offsetof(CrossWebMove, forwardAfterUnblocked) == 48);
static_assert(offsetof(CrossWebMove, forwardAfterBlocked) == 52);
static_assert(offsetof(CrossWebMove, force) == 56);

// Command 38, target 8: one sample per pulse comes back in the buffer.
struct CrossWebRecord {
    CrossWebMove move;
    SampleBlock sampling;
};
static_assert(sizeof(CrossWebRecord) == 80);
static_assert(offsetof(CrossWebRecord, sampling) == 60);

// Command 14, target 9.
struct DownWebRecord {
    int32_t header = kXYRecordHeader;
    AxisMoveParams axis;
    int32_t force = 0;
};
static_assert(sizeof(DownWebRecord) == 52);
static_assert(offsetof(DownWebRecord, axis) == 4);
static_assert(offsetof(DownWebRecord, force) == 48);

// Command 15, target 10; also the pinch block of XYLifeParams (command 23).
struct PinchRecord {
    int32_t header = kXYRecordHeader;
    PulseDriveParams drive;
    int32_t force = 0;
};
static_assert(sizeof(PinchRecord) == 52);
static_assert(offsetof(PinchRecord, drive) == 4);
static_assert(offsetof(PinchRecord, force) == 48);

} // namespace protocol
