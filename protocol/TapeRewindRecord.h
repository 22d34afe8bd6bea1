#pragma once
// The move record of the tape rewind tests (commands 11, 25 and 26, target 6)
// is a second-motor block; these are the fields the three tests set.
#include "protocol/MotorBlock.h"

namespace protocol {

using TapeRewindRecord = SecondMotorBlock;

namespace tension {
constexpr int32_t Low = 0;
constexpr int32_t High = 1;
} // namespace tension

// mode (+0): tension; stepMode (+4); constantPulses (+12): total minus both
// ramps (11 and 26; 0 for 25); postHold (+24); captureEncoderFrom (+36, 26);
// waitToRead (+52, 25, ms); vref (+56, 11 only; 255 otherwise).
static_assert(offsetof(TapeRewindRecord, mode) == 0);
static_assert(offsetof(TapeRewindRecord, captureEncoderFrom) == 36);
static_assert(offsetof(TapeRewindRecord, waitToRead) == 52);
static_assert(offsetof(TapeRewindRecord, vref) == 56);

} // namespace protocol
