#pragma once
// The record of the platen and platen sensor tests (command 3, target 1).
#include "protocol/MotorBlock.h"

namespace protocol {

// Downstream sensor sampled at every pulse (platen sensor test).
namespace captureSensor {
constexpr int32_t SideNotch = 0;
constexpr int32_t CenterNotch = 1;
constexpr int32_t GapNotch = 2;
} // namespace captureSensor

struct SensorCaptureBlock {
    int32_t enable = 0;
    int32_t countMode = 1; // the test reads it back: non-zero "Motor Step", 0 "Encoder Count"
    int32_t sensor = 4;    // captureSensor::*
    int32_t entries = 0;
    uint32_t table = 0;    // entries 32-bit sensor states
};
static_assert(sizeof(SensorCaptureBlock) == 20);

struct EncoderDetailBlock {
    int32_t enable = 0;
    int32_t enable2 = 0;
    int32_t entries = 0; // the total pulses
    uint32_t table = 0;  // entries 32-bit counts, zeroed at RUN
};
static_assert(sizeof(EncoderDetailBlock) == 16);

struct PlatenMoveParams {
    MotorBlock platen;
    SecondMotorBlock tapeRewind;
    SequenceBlock sequence;
    int32_t clutch = 0;
    int32_t word140 = 0; // 1 at RUN
    SensorCaptureBlock sensorCapture;
    EncoderDetailBlock encoderDetail;
};
static_assert(sizeof(PlatenMoveParams) == 180);
static_assert(offsetof(PlatenMoveParams, platen) == 0);
static_assert(offsetof(PlatenMoveParams, tapeRewind) == 48);
static_assert(offsetof(PlatenMoveParams, sequence) == 108);
static_assert(offsetof(PlatenMoveParams, clutch) == 136);
static_assert(offsetof(PlatenMoveParams, word140) == 140);
static_assert(offsetof(PlatenMoveParams, sensorCapture) == 144);
static_assert(offsetof(PlatenMoveParams, sensorCapture) + offsetof(SensorCaptureBlock, countMode) == 148);
static_assert(offsetof(PlatenMoveParams, sensorCapture) + offsetof(SensorCaptureBlock, sensor) == 152);
static_assert(offsetof(PlatenMoveParams, sensorCapture) + offsetof(SensorCaptureBlock, entries) == 156);
static_assert(offsetof(PlatenMoveParams, sensorCapture) + offsetof(SensorCaptureBlock, table) == 160);
static_assert(offsetof(PlatenMoveParams, encoderDetail) == 164);
static_assert(offsetof(PlatenMoveParams, encoderDetail) + offsetof(EncoderDetailBlock, enable2) == 168);
static_assert(offsetof(PlatenMoveParams, encoderDetail) + offsetof(EncoderDetailBlock, entries) == 172);
static_assert(offsetof(PlatenMoveParams, encoderDetail) + offsetof(EncoderDetailBlock, table) == 176);

} // namespace protocol
