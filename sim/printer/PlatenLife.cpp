// The platen life sequence: N forward passes with N - 1 reverse passes
// between them, the tape rewind motor running with each; every pass table
// gets the encoder count of each pulse of its pass.
#include <algorithm>
#include <vector>

#include "sim/printer/Machine.h"
#include "protocol/PlatenLifeRecord.h"

namespace sim::mech {

using namespace protocol;

namespace {
constexpr int32_t kMaxPasses = 16;

struct Pass {
    PassDescriptor d;
    uint8_t* table = nullptr;
};

bool readPasses(RequestContext& ctx, const char* what, uint32_t address, int32_t count, std::vector<Pass>& passes)
{
    passes.clear();
    if (count == 0)
        return true;
    const uint8_t* raw = ctx.in(what, address, size_t(count) * sizeof(PassDescriptor));
    if (!raw)
        return ctx.refuse(QLatin1String(what));
    for (int32_t i = 0; i < count; ++i) {
        Pass pass;
        std::memcpy(&pass.d, raw + size_t(i) * sizeof(PassDescriptor), sizeof(PassDescriptor));
        if (!motion::checkRange(ctx, "pass entries", pass.d.entries, 0, motion::kMaxPulses))
            return false;
        if (pass.d.entries > 0) {
            pass.table = ctx.out("pass table", pass.d.table, size_t(pass.d.entries) * 4);
            if (!pass.table)
                return ctx.refuse("pass table");
        }
        passes.push_back(pass);
    }
    return true;
}
} // namespace

bool platenLife(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<PlatenLifeRecord>();
    motion::MoveProfile forward, reverse, rewindF, rewindR;
    const bool useReverse = p.useReverse != 0;
    if (!motion::checkRange(ctx, "passes", p.passes, 1, kMaxPasses) ||
        !motion::checkRange(ctx, "forward passes", p.forwardPassCount, p.passes, kMaxPasses) ||
        !motion::checkRange(ctx, "reverse passes", p.reversePassCount, p.passes - 1, kMaxPasses) ||
        !motion::readMotorBlock(ctx, "forward platen", p.forward, forward) ||
        (useReverse && !motion::readMotorBlock(ctx, "reverse platen", p.reverse, reverse)) ||
        !motion::readSecondMotorBlock(ctx, "forward tape rewind", p.rewindForward, rewindF) ||
        !motion::readSecondMotorBlock(ctx, "reverse tape rewind", p.rewindReverse, rewindR))
        return false;

    std::vector<Pass> fwdPasses, revPasses;
    if (!readPasses(ctx, "forward pass descriptors", p.forwardPasses, p.forwardPassCount, fwdPasses) ||
        !readPasses(ctx, "reverse pass descriptors", p.reversePasses, p.reversePassCount, revPasses))
        return false;

    const double ratio = m.state.real(stateKey::PlatenEncoderRatio);
    auto perPulse = [&](const MotorBlock& b, bool clutch) {
        if (b.vref < motion::kStallVref)
            return 0.0;
        return ratio / motion::microsteps(b.stepMode) * (1.0 - m.slip(-0.004, 0.004) - (clutch ? 0.005 : 0.0));
    };
    auto fill = [](Pass& pass, int64_t pulses, double per) {
        const int64_t n = std::min<int64_t>(pass.d.entries, pulses);
        for (int64_t i = 0; i < n; ++i)
            RequestContext::putWord(pass.table, size_t(i), motion::counts(double(i + 1), per));
        // A pass that did not move reads 0.
        if (pulses == 0 && pass.table)
            RequestContext::putWord(pass.table, 0, 0);
    };

    double ms = 0;
    double mm = 0;
    for (int32_t i = 0; i < p.passes; ++i) {
        const double f = perPulse(p.forward, p.forwardClutch != 0);
        fill(fwdPasses[size_t(i)], forward.pulses(), f);
        ms += std::max(forward.durationMs(), rewindF.durationMs());
        mm += f > 0 ? motion::kMmPerPlatenStep / motion::microsteps(p.forward.stepMode) * double(forward.pulses()) : 0;
        if (i + 1 < p.passes) {
            const double r = useReverse ? perPulse(p.reverse, p.reverseClutch != 0) : 0.0;
            fill(revPasses[size_t(i)], useReverse ? reverse.pulses() : 0, r);
            if (useReverse) {
                ms += std::max(reverse.durationMs(), rewindR.durationMs());
                mm -= r > 0 ? motion::kMmPerPlatenStep / motion::microsteps(p.reverse.stepMode) * double(reverse.pulses()) : 0;
            }
        }
    }
    ctx.machineMs += ms;
    m.mediaPositionMm += mm;
    m.state.add(stateKey::PlatenMoves, p.passes + (useReverse ? p.passes - 1 : 0));
    m.state.add(stateKey::PlatenPulses, forward.pulses() * p.passes + (useReverse ? reverse.pulses() * (p.passes - 1) : 0));
    return true;
}

} // namespace sim::mech
