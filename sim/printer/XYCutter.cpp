// The XY cutter: the knife carriage on the cross-web axis (sampled at every
// pulse), the tape on the down-web axis, and the pinch that clamps the tape.
#include <algorithm>
#include <cmath>

#include "sim/printer/Machine.h"
#include "sim/printer/XYAxes.h"
#include "protocol/AxisMoveParams.h"

namespace sim::mech {

using namespace protocol;

bool readAxis(RequestContext& ctx, const char* what, const AxisMoveParams& a, motion::MoveProfile& move)
{
    return motion::checkRange(ctx, "direction", a.direction, 0, 1) && motion::checkStepMode(ctx, what, a.stepMode) &&
           motion::readMove(ctx, what, a.rampUpTable, a.rampUpCount, a.rampDownTable, a.rampDownCount, a.pulseCount,
                            a.runSpeed, 0, 0, move);
}

bool checkXYHeader(RequestContext& ctx, int32_t header, int32_t force)
{
    return motion::checkRange(ctx, "record header", header, kXYRecordHeader, kXYRecordHeader) &&
           motion::checkRange(ctx, "voice-coil force", force, 0, 255);
}

int64_t crossWebTravel(Machine& m, const AxisMoveParams& a, int64_t pulses, uint8_t* samples, int64_t sampleCount)
{
    const int micro = motion::microsteps(a.stepMode);
    const bool stalled = a.vref < motion::kStallVref;
    // Position in microsteps; the carriage stops at either end of its travel.
    int64_t pos = m.crossWebPosition * micro;
    const int64_t end = kCrossWebTravelSteps * micro;
    const int64_t step = stalled ? 0 : (a.direction == 1 ? 1 : -1);
    const int64_t n = std::min(pulses, sampleCount);
    for (int64_t i = 0; i < n; ++i) {
        pos = std::clamp<int64_t>(pos + step, 0, end);
        RequestContext::putWord(samples, size_t(i), int32_t(pos * kCrossWebCountsPerStep / micro));
    }
    if (pulses > n)
        pos = std::clamp<int64_t>(pos + step * (pulses - n), 0, end);
    m.crossWebPosition = pos / micro;
    return pos;
}

bool pinchDrive(Machine& m, RequestContext& ctx, const PinchRecord& r, double& ms)
{
    const PulseDriveParams& d = r.drive;
    if (!checkXYHeader(ctx, r.header, r.force) || !motion::checkRange(ctx, "pinch sequence", d.sequence, 0, 1) ||
        !motion::checkLevel(ctx, d.levelCode) ||
        !motion::checkRange(ctx, "duty cycle", d.dutyCycle, 0, 100) ||
        !motion::checkRange(ctx, "period", d.period, 0, 1'000'000) ||
        !motion::checkRange(ctx, "duration", d.duration, 0, motion::kMaxHoldMs) ||
        !motion::checkRange(ctx, "pinch delay", d.delayAfterTrigger, 0, motion::kMaxHoldMs) ||
        !motion::checkRange(ctx, "de-pinch delay", d.secondDelayAfterTrigger, 0, motion::kMaxHoldMs))
        return false;
    // Too weak a drive never reaches the pinch (or unpinch) home sensor.
    if (motion::levelFraction(d.levelCode) * d.dutyCycle / 100.0 < 0.10)
        return ctx.refuse("pinch home not reached");
    const bool pinch = d.sequence == 0;
    // Each may be as long as a record can hold: summed wide, not in int.
    ms = double(d.duration) + double(pinch ? d.delayAfterTrigger : d.secondDelayAfterTrigger) +
         std::round(m.rng.range(35.0, 45.0));
    m.pinched = pinch;
    return true;
}

bool xyCrossWeb(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto r = c.recordAs<CrossWebRecord>();
    motion::MoveProfile move;
    if (!checkXYHeader(ctx, r.move.header, r.move.force) || !readAxis(ctx, "cross-web", r.move.axis, move) ||
        !motion::checkRange(ctx, "sample count", r.sampling.count, 0, motion::kMaxPulses))
        return false;
    uint8_t* samples = nullptr;
    if (r.sampling.count > 0 && !(samples = ctx.out("cross-web samples", r.sampling.buffer, size_t(r.sampling.count) * 4)))
        return ctx.refuse("cross-web samples");
    crossWebTravel(m, r.move.axis, move.pulses(), samples, samples ? r.sampling.count : 0);
    ctx.machineMs += move.durationMs();
    m.state.add(stateKey::XYMoves, 1);
    return true;
}

bool xyDownWeb(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto r = c.recordAs<DownWebRecord>();
    motion::MoveProfile move;
    if (!checkXYHeader(ctx, r.header, r.force) || !readAxis(ctx, "down-web", r.axis, move))
        return false;
    if (r.axis.vref >= motion::kStallVref)
        m.mediaPositionMm += (r.axis.direction == 1 ? 1 : -1) * motion::kMmPerPlatenStep /
                             motion::microsteps(r.axis.stepMode) * double(move.pulses());
    ctx.machineMs += move.durationMs();
    m.state.add(stateKey::XYMoves, 1);
    return true;
}

bool xyPinch(Machine& m, Call& c)
{
    double ms = 0;
    if (!pinchDrive(m, c.ctx, c.recordAs<PinchRecord>(), ms))
        return false;
    c.ctx.machineMs += ms;
    return true;
}

} // namespace sim::mech
