#include "vantor/screens/motion/TapeRewindMove.h"

#include <algorithm>
#include <array>
#include <QFileInfo>

#include "platform/DevicePath.h"
#include "protocol/CommandChannel.h"
#include "vantor/driver/MotorGroup.h"
#include "vantor/driver/RampProfile.h"
#include "protocol/RequestCodes.h"
#include "vantor/framework/SpeedGroup.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::motion {

using namespace protocol;
using namespace vantor::driver;

namespace {
// Built at program start, shared by every dialog.
const std::array<QString, kTapeRewindModes> kTestNames = {
    QStringLiteral("Tape Rewind"),
    QStringLiteral("Tape Roll Tightness"),
    QStringLiteral("Tape Overshoot"),
};

int clampMode(int mode) { return mode < 0 || mode >= kTapeRewindModes ? kModeTapeRewind : mode; }
} // namespace

const QString& TapeRewindTestName(int mode) { return kTestNames[size_t(clampMode(mode))]; }

QString TapeRewindCaption(int mode)
{
    switch (clampMode(mode)) {
    case kModeRollTightness: return QStringLiteral("TAPE ROLL TIGHTNESS TEST");
    case kModeOvershoot: return QStringLiteral("TAPE OVERSHOOT TEST");
    default: return QStringLiteral("TAPE REWIND TEST");
    }
}

uint32_t TapeRewindCommand(int mode)
{
    switch (clampMode(mode)) {
    case kModeRollTightness: return cmd::motion::TapeRollTightness;
    case kModeOvershoot: return cmd::motion::TapeOvershoot;
    default: return cmd::motion::TapeRewind;
    }
}

QString CheckTapeRewindRun(const CTapeRewindSettings& v)
{
    const int mode = clampMode(v.Mode());
    const QString& name = TapeRewindTestName(mode);
    // The run speed is the profile's last entry; without one there is nothing
    // sensible to send.
    return checkSpeedGroup(v.speed, name, SpeedCheck::RampUpValue);
}

bool BuildTapeRewindMove(const CTapeRewindSettings& v, DriverRecord<TapeRewindRecord>& move)
{
    const int mode = clampMode(v.Mode());
    move.reset();
    MotorGroupParams group;
    applySpeed(group, v.speed);
    group.totalPulses = v.totalPulses;
    group.stepMode = v.stepMode;
    TapeRewindRecord& r = move.record();
    const bool hasSpeed = fillSecondMotorBlock(r, group, move);
    r.mode = v.tension;
    r.postHold = v.postHold;
    // In 64 bits, then as the driver's 32-bit word: ramps longer than the
    // move give a negative constant phase, which the driver is handed as is.
    const int64_t constant = int64_t(v.totalPulses) - r.rampUpEntries - r.rampDownEntries;
    switch (mode) {
    case kModeTapeRewind:
        r.constantPulses = int32_t(constant);
        r.vref = uint8_t(std::clamp(v.vref, 1, 255));
        break;
    case kModeRollTightness:
        r.constantPulses = int32_t(constant);
        r.captureEncoderFrom = v.captureEncoderFrom;
        break;
    case kModeOvershoot:
        r.waitToRead = v.waitToRead; // the pulse count stays 0
        break;
    }
    move.setCommand(target::TapeRewind, TapeRewindCommand(mode));
    return hasSpeed;
}

namespace {
class TapeRewindRun final : public TestRun {
public:
    TapeRewindRun(int mode, DriverRef driver) : m_mode(mode), m_driver(std::move(driver)) {}
    DriverRecord<TapeRewindRecord> move;

    void cycle(int cycle, int, RunSink& sink) override
    {
        sink.addLine(RunTapeRewindCycle(*m_driver, move.block(), m_mode, cycle));
    }

private:
    int m_mode;
    DriverRef m_driver;
};
} // namespace

PreparedRun PrepareTapeRewindRun(const CTapeRewindSettings& v, const DriverRef& driver)
{
    if (QString why = CheckTapeRewindRun(v); !why.isEmpty())
        return PreparedRun::refuse(why);
    auto run = std::make_unique<TapeRewindRun>(clampMode(v.Mode()), driver);
    // The profile may have changed since the check: still no run without a speed.
    if (!BuildTapeRewindMove(v, run->move))
        return PreparedRun::refuse(
            QStringLiteral("File in \"Ramp Up Profile\" of %1 has no value\n").arg(TapeRewindTestName(v.Mode())));
    return PreparedRun::of(std::move(run));
}

const TestDefinition<CTapeRewindSettings> kTapeRewindTest{nullptr, false, &PrepareTapeRewindRun};

QString TapeRewindResultLine(int cycle, int mode, bool ok, int32_t encoder)
{
    const QString& name = TapeRewindTestName(mode);
    if (ok)
        return QStringLiteral("%1. %2 - OK (Encoder %3)").arg(QString::number(cycle), name, QString::number(encoder));
    return QStringLiteral("%1. %2 - FAIL").arg(QString::number(cycle), name);
}

QString RunTapeRewindCycle(platform::DeviceHandle& handle, const CommandBlock& block, int mode, int cycle)
{
    int32_t encoder = 0;
    const bool ok = sendCommand(handle, IOCTL_PRN_MOTION, block, &encoder, sizeof encoder);
    return TapeRewindResultLine(cycle, mode, ok, encoder);
}

} // namespace vantor::motion
