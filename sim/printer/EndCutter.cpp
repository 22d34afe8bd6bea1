// The shear end cutter with the platen feed and the eject that go with each
// cut, and the print head load and unload around a run of cuts.
#include <algorithm>
#include <cmath>

#include "sim/printer/Machine.h"
#include "protocol/AxisMoveParams.h"
#include "protocol/EndCutterParams.h"
#include "protocol/RequestCodes.h"

namespace sim::mech {

using namespace protocol;

namespace {
}

bool printHeadLoad(Machine& m, Call& c)
{
    const auto seq = c.recordAs<SequenceBlock>();
    if (!motion::checkRange(c.ctx, "cycle position", seq.cyclePosition, 1, 6))
        return false;
    const bool load = c.block.Command == cmd::motion::LoadPrintHead;
    // Moving the head takes time only when it has somewhere to go.
    c.ctx.machineMs += (load != m.printHeadLoaded) ? (load ? 350.0 : 300.0) : 20.0;
    if (load && !m.printHeadLoaded)
        m.state.add(stateKey::PrintHeadLoads, 1);
    m.printHeadLoaded = load;
    return true;
}

bool endCutter(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<EndCutterParams>();
    motion::MoveProfile platen;
    if (!motion::readMotorBlock(ctx, "platen", p.platen, platen) ||
        !motion::checkLevel(ctx, p.cutter.levelCode) ||
        !motion::checkRange(ctx, "duty cycle", p.cutter.dutyCycle, 0, 100) ||
        !motion::checkRange(ctx, "frequency", p.cutter.frequency, 0, 1'000'000))
        return false;
    uint8_t* result = ctx.out("cutter result word", p.cutter.resultWord, 4);
    if (!result)
        return ctx.refuse("cutter result word");
    EjectorResult eject;
    if (!runEjector(m, ctx, p.eject, false, eject))
        return false;

    // The knife needs force: below about 15 % it stalls in the tape.
    const double force = motion::levelFraction(p.cutter.levelCode) * p.cutter.dutyCycle / 100.0;
    if (force < 0.15)
        return ctx.refuse("cutter stalled");
    const double cutMs = std::round(120.0 + 180.0 * (1.0 - force) + m.rng.range(-4.0, 4.0));
    RequestContext::putWord(result, 0, int32_t(cutMs));

    ctx.machineMs += platen.durationMs() + cutMs + eject.ms;
    if (p.platen.vref >= motion::kStallVref)
        m.mediaPositionMm += motion::kMmPerPlatenStep / motion::microsteps(p.platen.stepMode) * double(platen.pulses());
    m.state.add(stateKey::EndCutterCuts, 1);
    m.state.add(stateKey::CutsMade, 1);
    return true;
}

} // namespace sim::mech
