// The platen roller's stepper with its encoder, the tape rewind motor that
// runs beside it, and the downstream media sensors sampled per pulse.
#include <algorithm>
#include <cmath>

#include "sim/printer/Machine.h"
#include "sim/printer/MediaPath.h"
#include "protocol/PlatenMoveParams.h"

namespace sim::mech {

using namespace protocol;

namespace {

int32_t sensorState(int32_t sensor, double positionMm)
{
    switch (sensor) {
    case captureSensor::SideNotch: return media::featureAt(media::Feature::SideNotch, positionMm);
    case captureSensor::CenterNotch: return media::featureAt(media::Feature::CenterNotch, positionMm);
    case captureSensor::GapNotch: return media::featureAt(media::Feature::Gap, positionMm);
    default: return 0;
    }
}

} // namespace

bool platenMove(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<PlatenMoveParams>();
    motion::MoveProfile platen, rewind;
    if (!motion::readMotorBlock(ctx, "platen", p.platen, platen) ||
        !motion::readSecondMotorBlock(ctx, "tape rewind", p.tapeRewind, rewind) ||
        !motion::checkRange(ctx, "direction", p.platen.direction, 0, 1))
        return false;

    const int64_t pulses = platen.pulses();
    const int micro = motion::microsteps(p.platen.stepMode);
    const bool stalled = p.platen.vref < motion::kStallVref;
    // The clutch drags on the tape; the rest is the unit's small slip.
    double slip = m.slip(-0.004, 0.004) + (p.clutch ? 0.005 : 0.0);
    const double perPulse = stalled ? 0.0 : m.state.real(stateKey::PlatenEncoderRatio) / micro * (1.0 - slip);
    const double sign = p.platen.direction == 1 ? 1.0 : -1.0;

    // Encoder detail: one count per pulse.
    const EncoderDetailBlock& detail = p.encoderDetail;
    if (detail.enable) {
        if (!motion::checkRange(ctx, "encoder detail entries", detail.entries, 0, motion::kMaxPulses))
            return false;
        const int64_t n = std::min<int64_t>(detail.entries, pulses);
        if (detail.entries > 0) {
            uint8_t* table = ctx.out("encoder detail table", detail.table, size_t(detail.entries) * 4);
            if (!table)
                return ctx.refuse("encoder detail table");
            for (int64_t i = 0; i < n; ++i)
                RequestContext::putWord(table, size_t(i), motion::counts(double(i + 1), sign * perPulse));
        }
    }

    // Sensor capture: the chosen downstream sensor's state at each pulse.
    const SensorCaptureBlock& capture = p.sensorCapture;
    const double mmPerPulse = stalled ? 0.0 : motion::kMmPerPlatenStep / micro * (1.0 - slip) * sign;
    if (capture.enable) {
        if (!motion::checkRange(ctx, "capture sensor", capture.sensor, captureSensor::SideNotch, captureSensor::GapNotch) ||
            !motion::checkRange(ctx, "capture entries", capture.entries, 0, motion::kMaxPulses))
            return false;
        if (capture.entries > 0) {
            uint8_t* table = ctx.out("sensor capture table", capture.table, size_t(capture.entries) * 4);
            if (!table)
                return ctx.refuse("sensor capture table");
            const int64_t n = std::min<int64_t>(capture.entries, pulses);
            for (int64_t i = 0; i < n; ++i)
                RequestContext::putWord(table, size_t(i), sensorState(capture.sensor, m.mediaPositionMm + mmPerPulse * double(i + 1)));
        }
    }

    int32_t total = motion::counts(double(pulses), sign * perPulse);
    // With capture on, the count is given in motor steps unless the encoder
    // was tracked in detail; the driver clears word 148 when it answers in
    // encoder counts.
    if (capture.enable && capture.countMode != 0) {
        if (detail.enable) {
            uint8_t* word = ctx.out("count mode", c.block.Param + offsetof(PlatenMoveParams, sensorCapture) +
                                                       offsetof(SensorCaptureBlock, countMode), 4);
            if (!word)
                return ctx.refuse("count mode");
            RequestContext::putWord(word, 0, 0);
        } else {
            total = int32_t(stalled ? 0 : std::min<int64_t>(pulses, INT32_MAX)) * int32_t(sign);
        }
    }

    c.result = total;
    ctx.machineMs += std::max(platen.durationMs(), rewind.durationMs());
    m.mediaPositionMm += mmPerPulse * double(pulses);
    m.state.add(stateKey::PlatenMoves, 1);
    m.state.add(stateKey::PlatenPulses, pulses);
    return true;
}

} // namespace sim::mech
