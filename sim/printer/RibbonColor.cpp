// The ribbon colour run: the ribbon advances past the colour sensor while
// the driver samples it, and the measurement log goes to the file the
// record names (below the device root): a header on the first cycle of a
// run, then one block of red, green, blue samples per cycle.
#include <algorithm>
#include <cmath>
#include <QFile>

#include "platform/CodePage.h"
#include "protocol/RibbonColorParams.h"
#include "sim/printer/DeviceFiles.h"
#include "sim/printer/Machine.h"
#include "sim/printer/SensorModel.h"

namespace sim::mech {

using namespace protocol;

namespace {

constexpr int64_t kMaxSamples = 4000;
constexpr double kMmPerSample = 2.0;

bool optionalText(RequestContext& ctx, const char* label, uint32_t address, QString& text)
{
    text.clear();
    return address == 0 || ctx.readText(label, address, text, 512);
}

} // namespace

bool ribbonColorRun(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<RibbonColorParams>();
    motion::MoveProfile move;
    if (!motion::checkStepMode(ctx, "ribbon", p.stepMode) ||
        !motion::readMove(ctx, "ribbon", p.rampUpTable, p.rampUpCount, 0, 0, p.pulseCount, p.runSpeed, 0, 0, move) ||
        !motion::checkRange(ctx, "sensing per sample", p.sensingPerSample, 1, 1024) ||
        !motion::checkRange(ctx, "sampling delay", p.samplingDelay, 0, 3'600'000) ||
        !motion::checkRange(ctx, "first cycle", p.firstCycle, 0, 1))
        return false;
    QString logName, color, panel, lot, unit, emitter, detector;
    if (!ctx.readText("log file name", p.logFileName, logName, 1024))
        return ctx.refuse("log file name");
    if (!optionalText(ctx, "colour text", p.colorText, color) ||
        !optionalText(ctx, "panel length text", p.panelLengthText, panel) ||
        !optionalText(ctx, "lot number text", p.lotNumberText, lot) ||
        !optionalText(ctx, "unit number text", p.unitNumberText, unit) ||
        !optionalText(ctx, "emitter number text", p.emitterNumberText, emitter) ||
        !optionalText(ctx, "detector number text", p.detectorNumberText, detector))
        return ctx.refuse("header texts");
    if (!m.ribbonCartridge)
        return ctx.refuse("no ribbon cartridge");
    if (!m.needDoorClosed(ctx, "ribbon colour test"))
        return false;
    const QString path = files::outputPath(ctx, logName, "log file");
    if (path.isEmpty())
        return false;

    const bool stalled = p.vref < motion::kStallVref;
    const double movedMm =
        stalled ? 0.0 : double(move.pulses()) / motion::microsteps(p.stepMode) * motion::kMmPerPlatenStep;
    const int64_t samples = std::clamp<int64_t>(int64_t(movedMm / kMmPerSample), 1, kMaxSamples);

    const bool first = p.firstCycle == 1 || !QFile::exists(path);
    m.ribbonLogCycle = first ? 1 : m.ribbonLogCycle + 1;
    QString text;
    if (first) {
        text += QStringLiteral("Unit#: %1\r\nRibon Catridge Color: %2\r\nRibon Panel Length: %3\r\nRibon Lot Number: %4\r\n"
                               "Emitter#: %5\r\nDetector#: %6\r\nSensing Per Sampling: %7\r\nSampling Delay (ms): %8\r\n")
                    .arg(unit, color, panel, lot, emitter, detector)
                    .arg(p.sensingPerSample)
                    .arg(p.samplingDelay);
    }
    text += QStringLiteral("Cycle %1\r\nSample,Red,Green,Blue\r\n").arg(m.ribbonLogCycle);
    const double start = m.ribbonPositionMm;
    for (int64_t i = 0; i < samples; ++i) {
        double sum[3] = {};
        for (int32_t k = 0; k < p.sensingPerSample; ++k) {
            const ColorTriple r = sensors::colorReading(m, start + double(i) * movedMm / double(samples));
            sum[0] += r.red;
            sum[1] += r.green;
            sum[2] += r.blue;
        }
        const double n = p.sensingPerSample;
        text += QStringLiteral("%1,%2,%3,%4\r\n")
                    .arg(i + 1)
                    .arg(std::lround(sum[0] / n))
                    .arg(std::lround(sum[1] / n))
                    .arg(std::lround(sum[2] / n));
    }
    // The log is written here, inside the request: a request that fails
    // later leaves no half-written cycle, because nothing can fail after it.
    QFile f(path);
    if (!f.open(first ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::WriteOnly | QIODevice::Append))
        return ctx.refuse("log file " + logName + " cannot be written");
    const QByteArray bytes = platform::toAnsi(text);
    if (f.write(bytes) != bytes.size())
        return ctx.refuse("log file " + logName + " cannot be written");
    m.ribbonPositionMm += movedMm;
    ctx.machineMs += move.durationMs() + p.samplingDelay;
    m.state.add(stateKey::RibbonColorRuns, 1);
    return true;
}

} // namespace sim::mech
