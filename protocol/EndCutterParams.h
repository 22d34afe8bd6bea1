#pragma once
// The record of one end cutter cycle (command 9, target 5). Commands 1 and 2
// (target 0) address its print head load block.
#include "protocol/EjectorMoveParams.h"
#include "protocol/MotorBlock.h"

namespace protocol {

struct CutterDriveParams {
    int32_t levelCode = 0;   // currentLevel::*
    int32_t frequency = 0;
    int32_t dutyCycle = 0;   // 1..100
    int32_t word12 = 0;
    uint32_t resultWord = 0; // address of a 4-byte word: the moving duration in ms
};
static_assert(sizeof(CutterDriveParams) == 20);
static_assert(offsetof(CutterDriveParams, resultWord) == 16);

constexpr SequenceBlock printHeadLoadBlock()
{
    SequenceBlock b;
    b.cyclePosition = 1;
    b.word4 = 1;
    b.word8 = 1000;
    return b;
}

struct EndCutterParams {
    MotorBlock platen;
    SequenceBlock load = printHeadLoadBlock();
    CutterDriveParams cutter;
    EjectorMoveParams eject;
};
static_assert(sizeof(EndCutterParams) == 144);
static_assert(offsetof(EndCutterParams, platen) == 0);
static_assert(offsetof(EndCutterParams, load) == 48);
static_assert(offsetof(EndCutterParams, cutter) == 76);
static_assert(offsetof(EndCutterParams, cutter) + offsetof(CutterDriveParams, resultWord) == 92);
static_assert(offsetof(EndCutterParams, eject) == 96);

} // namespace protocol
