// The media jam sequence: feed a number of copies of a length of media,
// cutting each when asked. The simulated path never jams; injected faults
// stand in for jams.
#include "sim/printer/Machine.h"
#include "protocol/MediaJamRecord.h"

namespace sim::mech {

using namespace protocol;

bool mediaJam(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto r = c.recordAs<MediaJamRecord>();
    if (!motion::checkRange(ctx, "media length", r.length, 0, INT32_MAX) ||
        !motion::checkRange(ctx, "copies", r.copies, 0, INT32_MAX) || !motion::checkRange(ctx, "end cut", r.endCut, 0, 1))
        return false;
    // 100 mm/s feed and 250 ms per cut.
    const double feedMs = double(r.length) * 25.4 / 100.0 * 1000.0;
    ctx.machineMs += double(r.copies) * (feedMs + (r.endCut ? 250.0 : 0.0));
    m.mediaPositionMm += 25.4 * double(r.length) * double(r.copies);
    m.state.add(stateKey::InchesFed, int64_t(r.length) * r.copies);
    m.state.add(stateKey::MediaJamRuns, 1);
    if (r.endCut) {
        m.state.add(stateKey::EndCutterCuts, r.copies);
        m.state.add(stateKey::CutsMade, r.copies);
    }
    return true;
}

} // namespace sim::mech
