#include "sim/printer/MotionModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sim::motion {

namespace {
// A ramp entry of 0 pps would never end; the driver runs it at 1 pps.
inline double pulseMs(uint32_t rate) { return 1000.0 / double(std::max<uint32_t>(rate, 1)); }
} // namespace

int microsteps(int32_t stepMode)
{
    switch (stepMode) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    case 3: return 8;
    default: return 0;
    }
}

double MoveProfile::msForPulses(int64_t n) const
{
    double ms = 0;
    int64_t left = std::max<int64_t>(n, 0);
    for (size_t i = 0; i < up.size() && left > 0; ++i, --left)
        ms += pulseMs(up[i]);
    const int64_t constant = std::min(left, constantPulses);
    if (constant > 0)
        ms += 1000.0 * double(constant) / double(std::max(speed, 1));
    left -= std::max<int64_t>(constant, 0);
    for (size_t i = 0; i < down.size() && left > 0; ++i, --left)
        ms += pulseMs(down[i]);
    if (left > 0)
        ms += 1000.0 * double(left) / double(std::max(speed, 1));
    return ms;
}

double MoveProfile::finalRate() const
{
    if (!down.empty())
        return std::max<uint32_t>(down.back(), 1);
    if (constantPulses > 0)
        return std::max(speed, 1);
    if (!up.empty())
        return std::max<uint32_t>(up.back(), 1);
    return 0;
}

bool checkRange(RequestContext& ctx, const char* what, int64_t value, int64_t lo, int64_t hi)
{
    if (value >= lo && value <= hi)
        return true;
    return ctx.refuse(QStringLiteral("%1 %2 outside %3..%4").arg(QLatin1String(what)).arg(value).arg(lo).arg(hi));
}

bool checkLevel(RequestContext& ctx, int32_t levelCode) { return checkRange(ctx, "current level", levelCode, 0, 3); }

double levelFraction(int32_t levelCode)
{
    static constexpr double kLevel[] = {1.0, 0.38, 0.71, 1.0};
    return levelCode >= 0 && levelCode <= 3 ? kLevel[levelCode] : 0.0;
}

bool checkStepMode(RequestContext& ctx, const char* what, int32_t stepMode)
{
    if (microsteps(stepMode))
        return true;
    return ctx.refuse(QStringLiteral("%1: step mode %2").arg(QLatin1String(what)).arg(stepMode));
}

bool readMove(RequestContext& ctx, const char* what, uint32_t upTable, int64_t upCount, uint32_t downTable,
              int64_t downCount, int64_t constantPulses, int64_t speed, int64_t preHold, int64_t postHold,
              MoveProfile& move)
{
    const QString w = QLatin1String(what);
    if (constantPulses < 0)
        return ctx.refuse(w + QStringLiteral(": ramps longer than the move (constant phase %1)").arg(constantPulses));
    if (constantPulses > 0 && speed < 1)
        return ctx.refuse(w + QStringLiteral(": constant speed %1").arg(speed));
    if (speed < 0 || speed > 1'000'000)
        return ctx.refuse(w + QStringLiteral(": constant speed %1").arg(speed));
    if (!checkRange(ctx, "hold time", preHold, 0, kMaxHoldMs) || !checkRange(ctx, "hold time", postHold, 0, kMaxHoldMs))
        return false;
    if (upCount < 0 || downCount < 0 || upCount + downCount + constantPulses > kMaxPulses)
        return ctx.refuse(w + QStringLiteral(": pulse counts %1/%2/%3").arg(upCount).arg(constantPulses).arg(downCount));
    const QByteArray upLabel = (w + " ramp-up table").toLatin1();
    const QByteArray downLabel = (w + " ramp-down table").toLatin1();
    if (!ctx.readWords(upLabel.constData(), upTable, upCount, move.up))
        return ctx.refuse(w + ": ramp-up table");
    if (!ctx.readWords(downLabel.constData(), downTable, downCount, move.down))
        return ctx.refuse(w + ": ramp-down table");
    move.constantPulses = constantPulses;
    move.speed = int32_t(speed);
    move.preHold = int32_t(preHold);
    move.postHold = int32_t(postHold);
    return true;
}

bool readMotorBlock(RequestContext& ctx, const char* what, const protocol::MotorBlock& b, MoveProfile& move)
{
    return checkStepMode(ctx, what, b.stepMode) &&
           readMove(ctx, what, b.rampUpTable, b.rampUpEntries, b.rampDownTable, b.rampDownEntries, b.constantPulses,
                    b.constantSpeed, b.preHold, b.postHold, move);
}

bool readSecondMotorBlock(RequestContext& ctx, const char* what, const protocol::SecondMotorBlock& b,
                          MoveProfile& move)
{
    return checkStepMode(ctx, what, b.stepMode) &&
           readMove(ctx, what, b.rampUpTable, b.rampUpEntries, b.rampDownTable, b.rampDownEntries, b.constantPulses,
                    b.constantSpeed, 0, b.postHold, move);
}

int32_t counts(double pulses, double countsPerPulse)
{
    const double c = std::round(pulses * countsPerPulse);
    return int32_t(std::clamp<double>(c, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

} // namespace sim::motion
