// The XY cutter life sequences: homing the knife carriage, an aging cycle
// that cuts a cut file (1000 encoder samples), and the pinch sequence.
#include <algorithm>
#include <cmath>
#include <QFile>

#include "platform/CallerMemory.h"
#include "platform/DevicePath.h"
#include "sim/printer/XYAxes.h"
#include "protocol/RequestCodes.h"
#include "protocol/XYLifeParams.h"

namespace sim::mech {

using namespace protocol;

namespace {

bool readPath(RequestContext& ctx, uint32_t address, QString& path)
{
    return ctx.readText("cut file path", address, path);
}

int countSegments(const QByteArray& text)
{
    int n = 0;
    for (const QByteArray& line : text.split('\n'))
        n += !line.trimmed().isEmpty();
    return std::max(n, 1);
}

bool homing(Machine& m, RequestContext& ctx, const XYLifeParams& p, int32_t& result)
{
    motion::MoveProfile move;
    if (!checkXYHeader(ctx, p.crossWeb.header, p.crossWeb.force) ||
        !motion::checkStepMode(ctx, "cross-web", p.crossWeb.axis.stepMode) ||
        !motion::readMove(ctx, "cross-web", p.crossWeb.axis.rampUpTable, p.crossWeb.axis.rampUpCount,
                          p.crossWeb.axis.rampDownTable, p.crossWeb.axis.rampDownCount, 0, p.crossWeb.axis.runSpeed, 0, 0,
                          move) ||
        !motion::checkRange(ctx, "forward steps after blocked", p.crossWeb.forwardAfterBlocked, 0, kCrossWebTravelSteps) ||
        !motion::checkRange(ctx, "forward steps after unblocked", p.crossWeb.forwardAfterUnblocked, 0, kCrossWebTravelSteps))
        return false;
    if (p.crossWeb.axis.vref < motion::kStallVref)
        return ctx.refuse("cross-web home not found");
    // Toward the sensor until it blocks, on by the set steps, back out until
    // it clears and on again by the unblocked steps.
    const int micro = motion::microsteps(p.crossWeb.axis.stepMode);
    const int64_t steps = m.crossWebPosition + p.crossWeb.forwardAfterBlocked + p.crossWeb.forwardAfterUnblocked;
    result = int32_t(steps);
    move.speed = std::max(move.speed, 1);
    ctx.machineMs += move.msForPulses(steps * micro);
    m.crossWebPosition = p.crossWeb.forwardAfterUnblocked;
    return true;
}

} // namespace

bool xyLife(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    if (c.block.Command == cmd::testRun::XYPinch) {
        double ms = 0;
        if (!pinchDrive(m, ctx, c.recordAs<PinchRecord>(), ms))
            return false;
        c.result = int32_t(ms);
        ctx.machineMs += ms;
        return true;
    }
    const auto p = c.recordAs<XYLifeParams>();
    if (c.block.Command == cmd::testRun::XYHoming) {
        int32_t steps = 0;
        if (!homing(m, ctx, p, steps))
            return false;
        c.result = steps;
        m.state.add(stateKey::XYMoves, 1);
        return true;
    }

    // Aging: pinch, cut the file's shape while the tape moves down-web, rewind.
    motion::MoveProfile cross, down, rewind;
    double pinchMs = 0;
    QString path;
    if (!checkXYHeader(ctx, p.crossWeb.header, p.crossWeb.force) ||
        !motion::checkStepMode(ctx, "cross-web", p.crossWeb.axis.stepMode) ||
        !motion::readMove(ctx, "cross-web", p.crossWeb.axis.rampUpTable, p.crossWeb.axis.rampUpCount,
                          p.crossWeb.axis.rampDownTable, p.crossWeb.axis.rampDownCount, 0, p.crossWeb.axis.runSpeed, 0, 0,
                          cross) ||
        !checkXYHeader(ctx, p.downWeb.header, p.downWeb.force) ||
        !motion::checkStepMode(ctx, "down-web", p.downWeb.axis.stepMode) ||
        !motion::readMove(ctx, "down-web", p.downWeb.axis.rampUpTable, p.downWeb.axis.rampUpCount,
                          p.downWeb.axis.rampDownTable, p.downWeb.axis.rampDownCount, 0, p.downWeb.axis.runSpeed, 0, 0,
                          down) ||
        !motion::readSecondMotorBlock(ctx, "tape rewind", p.tapeRewind, rewind) ||
        !motion::checkRange(ctx, "run by", p.downWebRunByEncoder, 0, 1) ||
        !motion::checkRange(ctx, "sample count", p.sampleCount, 0, 100000) || !pinchDrive(m, ctx, p.pinch, pinchMs))
        return false;
    if (!readPath(ctx, p.cutFilePath, path))
        return ctx.refuse("cut file path");
    QFile file(platform::userFilePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return ctx.refuse("cut file " + path + " not found");
    const int segments = countSegments(file.read(1 << 20));

    uint8_t* samples = nullptr;
    if (p.sampleCount > 0 && !(samples = ctx.out("aging samples", p.sampleBuffer, size_t(p.sampleCount) * 4)))
        return ctx.refuse("aging samples");
    // The knife sweeps across the tape once per segment of the cut file.
    const double centre = double(kCrossWebTravelSteps / 2 * kCrossWebCountsPerStep);
    const double amplitude = 300.0 * kCrossWebCountsPerStep;
    for (int32_t i = 0; i < p.sampleCount; ++i) {
        const double phase = double(i) * segments / std::max(p.sampleCount, 1);
        const double tri = 2.0 * std::abs(2.0 * (phase - std::floor(phase + 0.5)));
        const double value = centre + amplitude * (tri - 1.0) + double(m.rng.between(-1, 1));
        RequestContext::putWord(samples, size_t(i), int32_t(std::lround(value)));
    }
    c.result = segments;
    ctx.machineMs += pinchMs + segments * 150.0 + down.durationMs() + rewind.durationMs();
    m.crossWebPosition = kCrossWebTravelSteps / 2;
    m.state.add(stateKey::XYCuts, 1);
    m.state.add(stateKey::CutsMade, 1);
    return true;
}

} // namespace sim::mech
