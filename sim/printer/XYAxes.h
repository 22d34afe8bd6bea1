#pragma once
// Parts of the XY cutter shared by its test commands and its life commands.
#include "sim/printer/Machine.h"
#include "protocol/AxisMoveParams.h"

namespace sim::mech {

// Travel of the knife carriage in full steps, and its encoder resolution.
constexpr int64_t kCrossWebTravelSteps = 2400;
constexpr int64_t kCrossWebCountsPerStep = 2;

bool readAxis(RequestContext& ctx, const char* what, const protocol::AxisMoveParams& a, motion::MoveProfile& move);
bool checkXYHeader(RequestContext& ctx, int32_t header, int32_t force);
// Moves the carriage, writing one sample per pulse (up to sampleCount);
// returns the final position in microsteps.
int64_t crossWebTravel(Machine& m, const protocol::AxisMoveParams& a, int64_t pulses, uint8_t* samples,
                       int64_t sampleCount);
// Runs the pinch or de-pinch sequence; ms gets its duration.
bool pinchDrive(Machine& m, RequestContext& ctx, const protocol::PinchRecord& r, double& ms);

} // namespace sim::mech
