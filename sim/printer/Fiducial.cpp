// The fiducial test run: the sensor head sweeps across the tape looking for
// the printed mark with the chosen emitter colour, then the tape runs
// down-web past a row of marks; both sweeps sample the detector's channel of
// that colour at every pulse into the caller's sample buffers.
#include <algorithm>
#include <cmath>
#include <QFile>

#include "platform/DevicePath.h"
#include "protocol/FiducialTestParams.h"
#include "sim/printer/Machine.h"
#include "sim/printer/SensorModel.h"
#include "sim/printer/XYAxes.h"

namespace sim::mech {

using namespace protocol;

namespace {

constexpr double kMarkReflectance = 0.12;

uint8_t channel(const ColorTriple& t, int32_t colorBit)
{
    return colorBit == 1 ? t.red : colorBit == 2 ? t.green : t.blue;
}

bool checkSampleBlock(RequestContext& ctx, const char* what, const SampleBlock& s)
{
    return motion::checkRange(ctx, what, s.count, 0, motion::kMaxPulses);
}

} // namespace

bool fiducialRun(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<FiducialTestParams>();
    motion::MoveProfile cross, down, rewind;
    if (!motion::checkRange(ctx, "record header", p.crossWebHeader, kXYRecordHeader, kXYRecordHeader) ||
        !motion::checkRange(ctx, "record header", p.middleHeader, kXYRecordHeader, kXYRecordHeader) ||
        !motion::checkRange(ctx, "record header", p.downWebHeader, kXYRecordHeader, kXYRecordHeader) ||
        !readAxis(ctx, "cross-web", p.crossWeb, cross) || !readAxis(ctx, "down-web", p.downWeb, down) ||
        !motion::readSecondMotorBlock(ctx, "tape rewind", p.tapeRewind, rewind) ||
        !checkSampleBlock(ctx, "cross-web sample count", p.crossWebSampling) ||
        !checkSampleBlock(ctx, "down-web sample count", p.downWebSampling) ||
        !motion::checkRange(ctx, "run by encoder", p.downWebRunByEncoder, 0, 1) ||
        !motion::checkRange(ctx, "home distance", p.homeDistance, 0, motion::kMaxPulses) ||
        !motion::checkRange(ctx, "mark distance", p.markDistance, 0, motion::kMaxPulses))
        return false;
    if (p.colorBit != 1 && p.colorBit != 2 && p.colorBit != 4)
        return ctx.refuse(QStringLiteral("emitter colour bit %1").arg(p.colorBit));
    QString cutFile;
    if (!ctx.readText("cut file path", p.cutFilePath, cutFile))
        return ctx.refuse("cut file path");
    if (!cutFile.isEmpty() && !QFile::exists(platform::userFilePath(cutFile)))
        return ctx.refuse("cut file " + cutFile + " not found");
    if (!m.needMedia(ctx, "fiducial test"))
        return false;

    uint8_t* crossSamples = nullptr;
    uint8_t* downSamples = nullptr;
    if (p.crossWebSampling.count > 0 &&
        !(crossSamples = ctx.out("cross-web samples", p.crossWebSampling.buffer, size_t(p.crossWebSampling.count) * 4)))
        return ctx.refuse("cross-web samples");
    if (p.downWebSampling.count > 0 &&
        !(downSamples = ctx.out("down-web samples", p.downWebSampling.buffer, size_t(p.downWebSampling.count) * 4)))
        return ctx.refuse("down-web samples");

    // Across: the mark sits in the middle tenth of the sweep, shifted by the
    // colour's cross-web offset.
    const int64_t nc = p.crossWebSampling.count;
    const double markFrom = 0.45 * double(nc) + p.crossWebOffset;
    const double markTo = 0.55 * double(nc) + p.crossWebOffset;
    for (int64_t i = 0; i < nc; ++i) {
        const bool onMark = double(i) >= markFrom && double(i) < markTo;
        const ColorTriple r = sensors::fiducialReading(m, onMark ? kMarkReflectance : sensors::tapeReflectance(m));
        RequestContext::putWord(crossSamples, size_t(i), channel(r, p.colorBit));
    }
    // Down the web: a mark every mark distance, a tenth of it long, shifted
    // by the down-web offset.
    const int64_t nd = p.downWebSampling.count;
    const int64_t period = std::max<int64_t>(p.markDistance, 1);
    const int64_t width = std::max<int64_t>(period / 10, 1);
    for (int64_t i = 0; i < nd; ++i) {
        const int64_t phase = ((i - p.downWebOffset) % period + period) % period;
        const bool onMark = p.markDistance > 0 && phase < width;
        const ColorTriple r = sensors::fiducialReading(m, onMark ? kMarkReflectance : sensors::tapeReflectance(m));
        RequestContext::putWord(downSamples, size_t(i), channel(r, p.colorBit));
    }

    const int downMicro = motion::microsteps(p.downWeb.stepMode);
    const double fedMm = double(down.pulses()) / downMicro * motion::kMmPerPlatenStep;
    m.mediaPositionMm += fedMm;
    cross.speed = std::max(cross.speed, 1);
    ctx.machineMs += cross.durationMs() + cross.msForPulses(p.homeDistance) + down.durationMs() + rewind.durationMs();
    m.state.add(stateKey::FiducialRuns, 1);
    m.state.add(stateKey::InchesFed, int64_t(fedMm / 25.4));
    return true;
}

} // namespace sim::mech
