// The tape rewind motor and its spool encoder: plain rewind (11), roll
// tightness counting from a given pulse (26) and overshoot after ramp-down
// (25).
#include <algorithm>
#include <cmath>

#include "sim/printer/Machine.h"
#include "protocol/RequestCodes.h"
#include "protocol/TapeRewindRecord.h"

namespace sim::mech {

using namespace protocol;

bool tapeRewind(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto b = c.recordAs<TapeRewindRecord>();
    motion::MoveProfile move;
    if (!motion::checkRange(ctx, "tension", b.mode, tension::Low, tension::High) || !motion::readSecondMotorBlock(ctx, "tape rewind", b, move) ||
        !motion::checkRange(ctx, "wait to read", b.waitToRead, 0, motion::kMaxHoldMs))
        return false;

    const int micro = motion::microsteps(b.stepMode);
    const bool stalled = b.vref < motion::kStallVref;
    // High tension grips the spool better: less slip.
    const double slip = b.mode == tension::High ? m.slip(0.002, 0.008) : m.slip(0.010, 0.020);
    const double per = stalled ? 0.0 : m.state.real(stateKey::RewindEncoderRatio) / micro * (1.0 - slip);
    const int64_t pulses = move.pulses();
    double ms = move.durationMs();

    switch (c.block.Command) {
    case cmd::motion::TapeRewind:
        c.result = motion::counts(double(pulses), per);
        break;
    case cmd::motion::TapeRollTightness: {
        if (!motion::checkRange(ctx, "capture encoder from", b.captureEncoderFrom, 0, motion::kMaxPulses))
            return false;
        const int64_t counted = std::max<int64_t>(0, pulses - b.captureEncoderFrom);
        c.result = motion::counts(double(counted), per);
        break;
    }
    case cmd::motion::TapeOvershoot: {
        // The spool coasts on after the motor stops: more at a higher final
        // speed, less under high tension; the reading catches what has
        // coasted when it is taken.
        const double coast = stalled ? 0.0 : move.finalRate() / micro * (b.mode == tension::High ? 0.010 : 0.025);
        const double seen = coast * (1.0 - std::exp(-double(b.waitToRead) / 30.0));
        c.result = motion::counts(double(pulses), per) + int32_t(std::lround(seen * m.state.real(stateKey::RewindEncoderRatio)));
        ms += b.waitToRead;
        break;
    }
    default:
        return ctx.refuse("tape rewind command");
    }
    ctx.machineMs += ms;
    m.state.add(stateKey::TapeRewindMoves, 1);
    return true;
}

} // namespace sim::mech
