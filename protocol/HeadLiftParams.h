#pragma once
// The print head lift move (command 44, target 0). The driver answers the
// moving duration in ms through the request's bytes-returned counter.
#include "protocol/AxisMoveParams.h"

namespace protocol {

namespace headLiftTest {
constexpr int32_t FullCycle = 0;
constexpr int32_t Homing = 1;
constexpr int32_t ActivatePrintHead = 2;
} // namespace headLiftTest

struct HeadLiftParams {
    PulseDriveParams drive; // period word (+12) carries the frequency
    int32_t testType = headLiftTest::FullCycle;
};
static_assert(sizeof(HeadLiftParams) == 48);
static_assert(offsetof(HeadLiftParams, drive) + offsetof(PulseDriveParams, period) == 12);
static_assert(offsetof(HeadLiftParams, drive) + offsetof(PulseDriveParams, delayAfterTrigger) == 36);
static_assert(offsetof(HeadLiftParams, testType) == 44);

} // namespace protocol
