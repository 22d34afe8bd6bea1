// The ribbon motor: ribbon drive moves, the rocker arm with its sensor, the
// slip clutch, and the pulsed tension drive.
#include <algorithm>
#include <cmath>

#include "sim/printer/Machine.h"
#include "protocol/AxisMoveParams.h"
#include "protocol/RequestCodes.h"
#include "protocol/RibbonTensionParams.h"

namespace sim::mech {

using namespace protocol;

namespace {

// The rocker arm swings up to this many full steps from its sensor; beyond
// it the slip clutch gives.
constexpr int64_t kRockerTravel = 400;
// A sensor-stopped move gives up after this many full steps.
constexpr int64_t kSensorSearchLimit = 2000;

struct RibbonRun {
    int32_t count = 0;
    double ms = 0;
};

// One ribbon move entry (a short move, optionally with the platen).
bool runEntry(Machine& m, RequestContext& ctx, const RibbonMoveEntry& e, double tension, RibbonRun& run)
{
    const ShortMoveParams& s = e.move;
    motion::MoveProfile move, platen;
    if (!motion::checkRange(ctx, "direction", s.direction, 0, 1) || !motion::checkStepMode(ctx, "ribbon", s.stepMode) ||
        !motion::checkRange(ctx, "stop mode", s.stopMode, stopMode::SensorTrigger, stopMode::PulseCount) ||
        !motion::readMove(ctx, "ribbon", s.rampUpTable, s.rampUpCount, 0, 0,
                          s.stopMode == stopMode::PulseCount ? s.pulseCount : 0, s.runSpeed, 0, 0, move) ||
        !motion::checkRange(ctx, "use platen", e.usePlaten, 0, 1))
        return false;
    if (e.usePlaten && !motion::readMotorBlock(ctx, "platen", e.platen, platen))
        return false;

    const int micro = motion::microsteps(s.stepMode);
    const bool stalled = s.vref < motion::kStallVref;
    int64_t pulses = move.pulses();
    if (s.stopMode == stopMode::SensorTrigger) {
        // Runs until the rocker arm reaches its sensor; only the
        // counter-clockwise direction gets there.
        const int64_t steps = s.direction == 0 ? m.rockerArmSteps : kSensorSearchLimit;
        if (stalled || s.direction != 0)
            return ctx.refuse("rocker arm sensor not reached");
        pulses = steps * micro;
        m.rockerArmSteps = 0;
    } else if (!stalled) {
        const double steps = double(pulses) / micro;
        m.rockerArmSteps = std::clamp<int64_t>(m.rockerArmSteps + int64_t(s.direction == 1 ? steps : -steps), 0, kRockerTravel);
    }
    // The slip clutch slips more against tension and when the platen pulls.
    const double slip = m.slip(0.005, 0.015) + 0.25 * tension + (e.usePlaten ? 0.02 : 0.0);
    const double per = stalled ? 0.0 : m.state.real(stateKey::RibbonEncoderRatio) / micro * std::max(0.0, 1.0 - slip);
    run.count = motion::counts(double(pulses), (s.direction == 1 ? 1.0 : -1.0) * per);
    run.ms = move.msForPulses(pulses);
    if (e.usePlaten)
        run.ms = std::max(run.ms, platen.durationMs());
    return true;
}

} // namespace

bool ribbonMove(Machine& m, Call& c)
{
    RibbonRun run;
    if (!runEntry(m, c.ctx, c.recordAs<RibbonMoveEntry>(), 0.0, run))
        return false;
    c.result = run.count;
    c.ctx.machineMs += run.ms;
    m.state.add(stateKey::RibbonMoves, 1);
    return true;
}

bool ribbonTension(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<RibbonTensionParams>();
    if (!motion::checkLevel(ctx, p.levelCode) ||
        !motion::checkRange(ctx, "tension mode", p.tensionMode, 1, kTensionModeRun) ||
        !motion::checkRange(ctx, "duty cycle", p.dutyCycle, 0, 100) ||
        !motion::checkRange(ctx, "frequency", p.frequency, 0, 1'000'000) ||
        !motion::checkRange(ctx, "duration", p.duration, 0, motion::kMaxHoldMs))
        return false;
    // Mode 1 holds the tension without pulsing.
    const double tension = motion::levelFraction(p.levelCode) * (p.tensionMode == 1 ? 1.0 : p.dutyCycle / 100.0);
    double ms = p.duration;
    if (c.block.Command == cmd::motion::RibbonTensionSlipClutch) {
        RibbonRun run;
        if (!runEntry(m, ctx, p.slipClutch, tension, run))
            return false;
        c.result = run.count;
        ms += run.ms;
    }
    ctx.machineMs += ms;
    m.state.add(stateKey::RibbonMoves, 1);
    return true;
}

} // namespace sim::mech
