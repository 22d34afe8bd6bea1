#pragma once
// The blocks the motion records are built from. Default member values are
// the reset values, so `Block{}` is a reset block.
#include <cstddef>
#include <cstdint>

namespace protocol {

// One motor's move.
struct MotorBlock {
    int32_t direction = 0;      // 0 "Reverse*", 1 "Forward*"
    int32_t stepMode = 0;       // 0 Full, 1 Half, 2 1/4, 3 1/8
    int32_t word8 = 2;          // kept at its reset value
    int32_t constantPulses = 0; // total minus both ramps
    int32_t constantSpeed = 1000; // pps
    int32_t preHold = 0;        // ms
    int32_t postHold = 0;       // ms
    int32_t rampUpEntries = 0;
    int32_t rampDownEntries = 0;
    uint8_t vref = 255;
    uint8_t vrefPad[3] = {};    // never written
    uint32_t rampUpTable = 0;   // caller address
    uint32_t rampDownTable = 0; // caller address
};
static_assert(sizeof(MotorBlock) == 48);
static_assert(offsetof(MotorBlock, direction) == 0);
static_assert(offsetof(MotorBlock, stepMode) == 4);
static_assert(offsetof(MotorBlock, word8) == 8);
static_assert(offsetof(MotorBlock, constantPulses) == 12);
static_assert(offsetof(MotorBlock, constantSpeed) == 16);
static_assert(offsetof(MotorBlock, preHold) == 20);
static_assert(offsetof(MotorBlock, postHold) == 24);
static_assert(offsetof(MotorBlock, rampUpEntries) == 28);
static_assert(offsetof(MotorBlock, rampDownEntries) == 32);
static_assert(offsetof(MotorBlock, vref) == 36);
static_assert(offsetof(MotorBlock, rampUpTable) == 40);
static_assert(offsetof(MotorBlock, rampDownTable) == 44);

// The move of a motor beside the main one (tape rewind), and the move record
// of the tape rewind tests.
struct SecondMotorBlock {
    int32_t mode = 0;           // tape rewind tests: tension, 0 "Low", 1 "High"
    int32_t stepMode = 0;
    int32_t word8 = 0;
    int32_t constantPulses = 0;
    int32_t constantSpeed = 1000;
    int32_t word20 = 0;
    int32_t postHold = 0;       // ms
    int32_t rampUpEntries = 0;
    int32_t rampDownEntries = 0;
    int32_t captureEncoderFrom = 0; // roll tightness: pulse index where counting starts
    int32_t word40 = 0;
    uint32_t rampUpTable = 0;
    uint32_t rampDownTable = 0;
    int32_t waitToRead = 0;     // overshoot: ms after ramp-down before the encoder is read
    uint8_t vref = 255;
    uint8_t vrefPad[3] = {};
};
static_assert(sizeof(SecondMotorBlock) == 60);
static_assert(offsetof(SecondMotorBlock, mode) == 0);
static_assert(offsetof(SecondMotorBlock, stepMode) == 4);
static_assert(offsetof(SecondMotorBlock, word8) == 8);
static_assert(offsetof(SecondMotorBlock, constantPulses) == 12);
static_assert(offsetof(SecondMotorBlock, constantSpeed) == 16);
static_assert(offsetof(SecondMotorBlock, word20) == 20);
static_assert(offsetof(SecondMotorBlock, postHold) == 24);
static_assert(offsetof(SecondMotorBlock, rampUpEntries) == 28);
static_assert(offsetof(SecondMotorBlock, rampDownEntries) == 32);
static_assert(offsetof(SecondMotorBlock, captureEncoderFrom) == 36);
static_assert(offsetof(SecondMotorBlock, word40) == 40);
static_assert(offsetof(SecondMotorBlock, rampUpTable) == 44);
static_assert(offsetof(SecondMotorBlock, rampDownTable) == 48);
static_assert(offsetof(SecondMotorBlock, waitToRead) == 52);
static_assert(offsetof(SecondMotorBlock, vref) == 56);

// Where a request stands in its run.
namespace cyclePos {
constexpr int32_t Reset = 1;
constexpr int32_t More = 4;   // more cycles follow
constexpr int32_t Last = 5;   // last cycle of several
constexpr int32_t Single = 6; // the run has exactly one cycle
} // namespace cyclePos

struct SequenceBlock {
    int32_t cyclePosition = cyclePos::Reset;
    int32_t word4 = 0;    // 1 at RUN
    int32_t word8 = 1000; // 1000 at RUN
    int32_t word12 = 0;
    int32_t word16 = 0;
    uint32_t table = 0;
    uint8_t byte24 = 255;
    uint8_t pad[3] = {};
};
static_assert(sizeof(SequenceBlock) == 28);
static_assert(offsetof(SequenceBlock, cyclePosition) == 0);
static_assert(offsetof(SequenceBlock, word4) == 4);
static_assert(offsetof(SequenceBlock, word8) == 8);
static_assert(offsetof(SequenceBlock, word12) == 12);
static_assert(offsetof(SequenceBlock, word16) == 16);
static_assert(offsetof(SequenceBlock, table) == 20);
static_assert(offsetof(SequenceBlock, byte24) == 24);

// Cycle position for cycle `index` (from 0) of a run of `total` cycles. A run
// of one cycle (or a total below one, which still runs once) sends 6; a longer
// run sends 4 and, for its last cycle, 5.
constexpr int32_t cyclePosition(int64_t index, int64_t total)
{
    if (total <= 1)
        return cyclePos::Single;
    return index + 1 >= total ? cyclePos::Last : cyclePos::More;
}

} // namespace protocol
