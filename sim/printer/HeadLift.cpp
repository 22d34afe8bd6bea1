// The print head lift motor: a full lift-and-lower cycle, homing, or a plain
// activation; the moving duration goes back through the bytes-returned
// counter.
#include <cmath>

#include "sim/printer/Machine.h"
#include "protocol/HeadLiftParams.h"

namespace sim::mech {

using namespace protocol;

bool headLift(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<HeadLiftParams>();
    if (!motion::checkLevel(ctx, p.drive.levelCode) ||
        !motion::checkRange(ctx, "duty cycle", p.drive.dutyCycle, 0, 100) ||
        !motion::checkRange(ctx, "frequency", p.drive.period, 0, 1'000'000) ||
        !motion::checkRange(ctx, "delay", p.drive.delayAfterTrigger, 0, motion::kMaxHoldMs) ||
        !motion::checkRange(ctx, "test type", p.testType, headLiftTest::FullCycle, headLiftTest::ActivatePrintHead))
        return false;
    static constexpr double kBaseMs[] = {600.0, 320.0, 250.0};
    const double force = motion::levelFraction(p.drive.levelCode) * p.drive.dutyCycle / 100.0;
    if (force < 0.10)
        return ctx.refuse("print head lift stalled");
    const double ms = std::round(kBaseMs[p.testType] * (1.0 + 0.6 * (1.0 - force)) + p.drive.delayAfterTrigger +
                                 m.rng.range(-3.0, 3.0));
    c.counter = uint32_t(ms);
    c.answersCounter = true;
    ctx.machineMs += ms;
    m.printHeadLoaded = p.testType == headLiftTest::ActivatePrintHead;
    m.state.add(stateKey::PrintHeadLifts, 1);
    return true;
}

} // namespace sim::mech
