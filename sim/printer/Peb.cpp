// The PEB values (print line to sensors and cutters, XY home offset,
// cross-web print offset): one store that both programs read and write,
// through the engineering requests (45 calibrate, 46 and 64 save, 47 read
// all) and the user program's own (PEB record, cross-web offset).
// Calibrating an item measures it again on this unit.
#include "protocol/Calibration.h"
#include "protocol/SensorItems.h"
#include "sim/printer/Factory.h"
#include "sim/printer/Machine.h"

namespace sim::mech {

using namespace protocol;

namespace {

int32_t value(const Machine& m, uint32_t item) { return int32_t(m.state.integer(itemKey(stateKey::PebPrefix, item))); }

PebRecord record(const Machine& m)
{
    PebRecord r;
    r.printlineToXYCut = value(m, pebItem::PrintlineToXYCut);
    r.printlineToEndCutter = uint32_t(value(m, pebItem::PrintlineToEndCutter));
    r.upstreamCenterNotchToPrintline = uint32_t(value(m, pebItem::UpstreamCenterNotch));
    r.downstreamCenterNotchToPrintline = uint32_t(value(m, pebItem::DownstreamCenterNotch));
    r.upstreamGapToPrintline = uint32_t(value(m, pebItem::UpstreamGap));
    r.downstreamGapToPrintline = uint32_t(value(m, pebItem::DownstreamGap));
    r.upstreamSideNotchToPrintline = uint32_t(value(m, pebItem::UpstreamSideNotch));
    r.downstreamSideNotchToPrintline = uint32_t(value(m, pebItem::DownstreamSideNotch));
    r.xyHomeToTapeCenter = value(m, pebItem::XYHomeToTapeCenter);
    return r;
}

} // namespace

bool pebCalibrate(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const PebCalibrationItem& entry = kPebCalibrationItems[c.block.Target - kFirstPebCalibrateTarget];
    if (!m.needDoorClosed(ctx, "PEB calibration"))
        return false;
    // The sensor distances are found by feeding labels past the sensors;
    // the cutter lines and offsets by cutting and printing marks.
    if (!m.needMedia(ctx, "PEB calibration"))
        return false;
    const int32_t measured = pebUnitValue(m.seed, entry.saveTarget) + int32_t(m.rng.between(-2, 2));
    m.state.setInteger(itemKey(stateKey::PebPrefix, entry.saveTarget), measured);
    ctx.machineMs += 1500.0;
    m.mediaPositionMm += 80.0;
    return true;
}

bool pebSave(Machine& m, Call& c)
{
    const auto v = c.recordAs<int32_t>();
    m.state.setInteger(itemKey(stateKey::PebPrefix, c.block.Target), v);
    // The user program reads the stored value back into its word.
    if (c.outLen == 4)
        c.answer(v);
    c.ctx.machineMs += 5.0;
    return true;
}

bool pebRead(Machine& m, Call& c)
{
    c.answer(record(m));
    c.ctx.machineMs += 2.0;
    return true;
}

bool userPeb(Machine& m, Call& c)
{
    c.answer(record(m));
    return true;
}

bool userCrossWebOffset(Machine& m, Call& c)
{
    c.answer(value(m, pebItem::CrossWebPrintOffset));
    return true;
}

} // namespace sim::mech
