// The ejector wheel and its home sensor. A revolution counts when the home
// flag has blocked and then cleared the sensor; the wheel stops a set number
// of steps after the flag clears. Running on too far after the flag blocks
// misses its clearing edge, so that revolution needs a second turn.
#include <algorithm>

#include "sim/printer/Machine.h"
#include "protocol/EjectorMoveParams.h"

namespace sim::mech {

using namespace protocol;

namespace {
constexpr int64_t kFlagSteps = 17; // the flag covers about 30 degrees
}

bool runEjector(Machine& m, RequestContext& ctx, const EjectorMoveParams& p, bool countRevolutions, EjectorResult& r)
{
    motion::MoveProfile move;
    if (!motion::readMove(ctx, "ejector", p.rampUpTable, p.rampUpCount, p.rampDownTable, p.rampDownCount, p.pulseCount,
                          p.runSpeed, 0, p.postHold, move) ||
        !motion::checkStepMode(ctx, "ejector", p.stepMode))
        return false;
    const int micro = motion::microsteps(p.stepMode);
    const bool stalled = p.vref < motion::kStallVref;
    if (!countRevolutions) {
        r.pulses = move.pulses();
        r.ms = move.durationMs();
        if (!stalled)
            m.ejectorPhase = (m.ejectorPhase + r.pulses / micro) % motion::kFullStepsPerRev;
        return true;
    }
    if (!motion::checkRange(ctx, "revolutions", p.revolutions, 1, 3) ||
        !motion::checkRange(ctx, "forward steps after blocked", p.forwardAfterBlocked, 0, motion::kMaxPulses) ||
        !motion::checkRange(ctx, "forward steps after unblocked", p.forwardAfterUnblocked, 0, motion::kMaxPulses))
        return false;

    const int64_t perRev = motion::kFullStepsPerRev * (p.forwardAfterBlocked > kFlagSteps ? 2 : 1);
    const int64_t needed = int64_t(p.revolutions) * perRev;
    // A set pulse count limits the move; none lets it run to the end.
    const int64_t limit = move.pulses() > 0 ? move.pulses() / micro : needed;
    const int64_t run = stalled ? 0 : std::min(needed, limit);
    r.revolutions = int32_t(std::min<int64_t>(p.revolutions, run / perRev));
    r.pulses = run * micro;
    r.ms = move.preHold + move.msForPulses(r.pulses) + move.postHold;
    m.ejectorPhase = (m.ejectorPhase + run) % motion::kFullStepsPerRev;
    return true;
}

bool ejectorMove(Machine& m, Call& c)
{
    EjectorResult r;
    if (!runEjector(m, c.ctx, c.recordAs<EjectorMoveParams>(), true, r))
        return false;
    c.result = r.revolutions;
    c.ctx.machineMs += r.ms;
    m.state.add(stateKey::EjectorRevolutions, r.revolutions);
    return true;
}

} // namespace sim::mech
