// The user program's print path: dot width, prepare, job and image
// brackets, raster rows as plain writes, and busy while the head works
// through the rows of the last image (scaled like every machine time). Each
// image is captured in the spool folder as the rows came. Also the usage
// counters and the print head's resistor value.
#include <algorithm>
#include <cmath>

#include "platform/Clock.h"
#include "protocol/UserRequests.h"
#include "sim/printer/Machine.h"
#include "sim/printer/Spool.h"

namespace sim::mech {

using namespace protocol;

namespace {

// Longest image the simulator keeps: 1000 inches of rows.
constexpr uint32_t kMaxImageRows = 1000 * kRasterRowsPerInch;

int64_t nowMs() { return int64_t(platform::clock().now().count()); }

void finishImage(Machine& m)
{
    RasterPrint& r = m.raster;
    spool::RasterImage img;
    img.rows = r.rowCount;
    img.bytes = std::move(r.rows);
    spool::capture(m, img, QStringLiteral("raster"));
    spool::countPrint(m, r.rowCount, 100);
    const double ms = r.rowCount / kRowsPerSecond * 1000.0 * std::max(m.timeScale, 0.0);
    r.busyUntilMs = std::max(r.busyUntilMs, nowMs()) + int64_t(std::llround(ms));
    r.rows.clear();
    r.rowCount = 0;
    r.inImage = false;
}

} // namespace

bool dotWidth(Machine&, Call& c)
{
    c.answer(kDotWidth);
    return true;
}

bool printPrepare(Machine& m, Call& c)
{
    m.raster.prepared = true;
    c.ctx.machineMs += 200.0;
    return true;
}

bool jobBegin(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    if (!m.needDoorClosed(ctx, "print job") || !m.needMedia(ctx, "print job"))
        return false;
    if (!m.ribbonCartridge)
        return ctx.refuse("print job: no ribbon cartridge");
    if (m.raster.inImage)
        finishImage(m);
    m.raster.inJob = true;
    m.printHeadLoaded = true;
    m.state.add(stateKey::PrintJobs, 1);
    ctx.machineMs += 50.0;
    return true;
}

bool imageBegin(Machine& m, Call& c)
{
    if (!m.raster.inJob)
        return c.ctx.refuse("image begin outside a print job");
    if (m.raster.inImage)
        finishImage(m);
    m.raster.inImage = true;
    m.raster.rows.clear();
    m.raster.rowCount = 0;
    return true;
}

bool rasterRow(Machine& m, RequestContext& ctx, const uint8_t* row, uint32_t len)
{
    RasterPrint& r = m.raster;
    if (!r.inImage)
        return ctx.refuse("raster row outside an image");
    if (len != kDotWidth / 8)
        return ctx.refuse(QStringLiteral("raster row of %1 bytes, the head takes %2").arg(len).arg(kDotWidth / 8));
    if (r.rowCount >= kMaxImageRows)
        return ctx.refuse(QStringLiteral("image longer than %1 rows").arg(kMaxImageRows));
    r.rows.insert(r.rows.end(), row, row + len);
    ++r.rowCount;
    return true;
}

bool imageEnd(Machine& m, Call& c)
{
    if (!m.raster.inImage)
        return c.ctx.refuse("image end without image begin");
    finishImage(m);
    return true;
}

bool jobEnd(Machine& m, Call& c)
{
    if (!m.raster.inJob)
        return c.ctx.refuse("job end without job begin");
    if (m.raster.inImage)
        finishImage(m);
    m.raster.inJob = false;
    return true;
}

bool busy(Machine& m, Call& c)
{
    c.answer(uint32_t(nowMs() < m.raster.busyUntilMs ? 1 : 0));
    return true;
}

bool usage(Machine& m, Call& c)
{
    UsageRecord u;
    u.cutsMade = uint32_t(m.state.integer(stateKey::CutsMade));
    u.inchesPrinted =
        uint32_t(m.state.integer(stateKey::InchesPrinted) + m.state.integer(stateKey::RowsPrinted) / kRasterRowsPerInch);
    c.answer(u);
    return true;
}

bool headResistanceGet(Machine& m, Call& c)
{
    c.answer(uint32_t(m.state.integer(stateKey::PrintHeadResistance)));
    return true;
}

bool headResistanceSet(Machine& m, Call& c)
{
    const auto v = c.inputAs<int32_t>();
    if (v < kHeadResistanceMin || v > kHeadResistanceMax)
        return c.ctx.refuse(QStringLiteral("print head resistor value %1 outside %2 to %3")
                                .arg(v)
                                .arg(kHeadResistanceMin)
                                .arg(kHeadResistanceMax));
    m.state.setInteger(stateKey::PrintHeadResistance, v);
    return true;
}

} // namespace sim::mech
