#include "vantor/screens/motion/TapeRewindMove.h"

#include <array>
#include <QFileInfo>

#include "platform/DevicePath.h"
#include "protocol/CommandChannel.h"
#include "vantor/driver/MotorGroup.h"
#include "vantor/driver/RampProfile.h"
#include "protocol/RequestCodes.h"
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

TapeRewindValues TapeRewindValuesFrom(const CTapeRewindSettings& r)
{
    TapeRewindValues v;
    v.speedChoice = r.speed.initialSpeedType;
    v.constantSpeed = r.speed.constantSpeed;
    v.rampUpProfile = r.speed.rampUpProfile;
    v.useRampDown = r.speed.useRampDown != 0;
    v.rampDownProfile = r.speed.rampDownProfile;
    v.vref = r.vref;
    v.totalPulses = r.totalPulses;
    v.captureEncoderFrom = r.captureEncoderFrom;
    v.waitToRead = r.waitToRead;
    v.stepMode = r.stepMode;
    v.tension = r.tension;
    v.postHold = r.postHold;
    v.pause = r.pause;
    v.cycle = r.cycle;
    return v;
}

void StoreTapeRewindValues(const TapeRewindValues& v, CTapeRewindSettings& r)
{
    r.speed.initialSpeedType = v.speedChoice;
    r.speed.constantSpeed = v.constantSpeed;
    r.speed.rampUpProfile = v.rampUpProfile;
    r.speed.useRampDown = v.useRampDown ? 1 : 0;
    r.speed.rampDownProfile = v.rampDownProfile;
    r.vref = v.vref;
    r.totalPulses = v.totalPulses;
    r.captureEncoderFrom = v.captureEncoderFrom;
    r.waitToRead = v.waitToRead;
    r.stepMode = v.stepMode;
    r.tension = v.tension;
    r.postHold = v.postHold;
    r.pause = v.pause;
    r.cycle = v.cycle;
}

QString CheckTapeRewindRun(int mode, const TapeRewindValues& v)
{
    if (v.speedChoice == speedChoice::Constant)
        return {};
    const QString& name = TapeRewindTestName(mode);
    // The run speed is the profile's last entry; without one there is nothing
    // sensible to send.
    if (v.rampUpProfile.isEmpty())
        return QStringLiteral("\"Ramp Up Profile\" of %1 can not be empty\n").arg(name);
    if (!QFileInfo(platform::userFilePath(v.rampUpProfile)).isFile())
        return QStringLiteral("File in \"Ramp Up Profile\" of %1 not exist\n").arg(name);
    if (ReadRampProfile(v.rampUpProfile).empty())
        return QStringLiteral("File in \"Ramp Up Profile\" of %1 has no value\n").arg(name);
    return {};
}

bool BuildTapeRewindMove(int mode, const TapeRewindValues& v, DriverRecord<TapeRewindRecord>& move)
{
    mode = clampMode(mode);
    move.reset();
    MotorGroupParams group;
    group.speedChoice = v.speedChoice;
    group.constantSpeed = v.constantSpeed;
    group.rampUpProfile = v.rampUpProfile;
    group.useRampDown = v.useRampDown;
    group.rampDownProfile = v.rampDownProfile;
    group.totalPulses = v.totalPulses;
    group.stepMode = v.stepMode;
    TapeRewindRecord& r = move.record();
    const bool hasSpeed = fillSecondMotorBlock(r, group, move);
    r.mode = v.tension;
    r.postHold = v.postHold;
    switch (mode) {
    case kModeTapeRewind:
        r.constantPulses = v.totalPulses - r.rampUpEntries - r.rampDownEntries;
        r.vref = uint8_t(v.vref);
        break;
    case kModeRollTightness:
        r.constantPulses = v.totalPulses - r.rampUpEntries - r.rampDownEntries;
        r.captureEncoderFrom = v.captureEncoderFrom;
        break;
    case kModeOvershoot:
        r.waitToRead = v.waitToRead; // the pulse count stays 0
        break;
    }
    move.setCommand(target::TapeRewind, TapeRewindCommand(mode));
    return hasSpeed;
}

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
