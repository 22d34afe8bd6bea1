#include "vantor/screens/motion/XYCutterRecords.h"

#include <algorithm>
#include <cstring>

#include "protocol/RequestCodes.h"
#include "vantor/driver/MotorGroup.h"
#include "vantor/framework/SpeedGroup.h"

namespace vantor::motion {

using protocol::AxisMoveParams;
using protocol::PulseDriveParams;

namespace {

// Built once, shared by every dialog and the headless runner.
const QString kAxisNames[] = {QStringLiteral("Cross Web"), QStringLiteral("Down Web"), QStringLiteral("Pinch")};
const QString kLifeTestNames[] = {QStringLiteral("Homing Test"), QStringLiteral("Aging Test"),
                                  QStringLiteral("Pinch Test")};
const QString kNoName;

// XY targets and commands.
constexpr uint32_t kTargetCrossWeb = 8;
constexpr uint32_t kTargetDownWeb = 9;
constexpr uint32_t kTargetPinch = 10;
constexpr uint32_t kTargetLife = 35;
constexpr uint32_t kCmdCrossWeb = 38;
constexpr uint32_t kCmdDownWeb = 14;
constexpr uint32_t kCmdPinch = 15;
constexpr uint32_t kCmdAging = 21;
constexpr uint32_t kCmdHoming = 22;
constexpr uint32_t kCmdLifePinch = 23;

QString noSpeed(const QString& group)
{
    return QStringLiteral("File in \"Ramp Up Profile\" of %1 has no value\n").arg(group);
}

// Speed, ramps, step mode and Vref byte of one axis. Returns the ramps'
// pulse count, or -1 when a ramp-up choice gives no run speed.
int64_t fillAxis(AxisMoveParams& a, const SpeedSettings& speed, int32_t stepMode, int32_t vref,
                 protocol::RecordTables& tables)
{
    const driver::MoveRamps r = driver::loadMoveRamps(motorGroupOf(speed, stepMode), tables);
    if (!r.hasSpeed)
        return -1;
    a.runSpeed = r.speed;
    a.rampUpTable = r.rampUpTable;
    a.rampUpCount = r.rampUpEntries;
    a.rampDownTable = r.rampDownTable;
    a.rampDownCount = r.rampDownEntries;
    a.stepMode = stepMode;
    a.vref = uint8_t(XYClamp(vref, 1, 255));
    return int64_t(r.rampUpEntries) + r.rampDownEntries;
}

QString checkPulses(const QString& field, const QString& group, int32_t value)
{
    if (value >= 0 && value <= kXYMaxPulses)
        return {};
    return QStringLiteral("\"%1\" of %2 must be between 0 and %3.\n").arg(field, group).arg(kXYMaxPulses);
}

} // namespace

const QString& XYCutterAxisName(int axis)
{
    return axis >= 0 && axis < 3 ? kAxisNames[axis] : kNoName;
}

const QString& XYCutterLifeTestName(int test)
{
    return test >= 0 && test < 3 ? kLifeTestNames[test] : kNoName;
}

QString XYAxisGroupName(int axis)
{
    return XYCutterAxisName(axis);
}

int32_t XYClamp(int32_t value, int32_t lo, int32_t hi)
{
    return std::clamp(value, lo, hi);
}

int32_t XYLevelCode(const QString& currentLevel)
{
    bool ok = false;
    const int percent = currentLevel.trimmed().toInt(&ok);
    return ok ? protocol::currentLevel::fromPercent(percent) : 0;
}

// --- CXYCutterDlg ---------------------------------------------------------

const protocol::CommandBlock& XYCutterRecords::block() const
{
    switch (axis) {
    case kXYDownWeb: return downWeb.block();
    case kXYPinch: return pinch.block();
    default: return crossWeb.block();
    }
}

QString CheckXYCutterPulses(const CXYCutterSettings& values)
{
    if (values.axis == kXYCrossWeb)
        return checkPulses(QStringLiteral("Total No. of Pulses"), XYAxisGroupName(kXYCrossWeb),
                           values.crossweb.totalPulses);
    return {};
}

QString BuildXYCutterRecords(const CXYCutterSettings& values, XYCutterRecords& out)
{
    out.axis = values.axis;
    out.crossWeb.reset();
    out.downWeb.reset();
    out.pinch.reset();
    out.samples.reset(); // the previous run's samples are not needed any more
    const int32_t force = XYClamp(values.force, 0, 255);

    if (values.axis == kXYCrossWeb || values.axis == kXYDownWeb) {
        const bool cross = values.axis == kXYCrossWeb;
        const XYAxisValues& v = cross ? values.crossweb : values.downweb;
        const QString group = XYAxisGroupName(values.axis);
        AxisMoveParams& a = cross ? out.crossWeb->move.axis : out.downWeb->axis;
        protocol::RecordTables& tables = cross ? static_cast<protocol::RecordTables&>(out.crossWeb)
                                               : static_cast<protocol::RecordTables&>(out.downWeb);
        const int64_t ramps = fillAxis(a, v.speed, v.stepMode, v.vref, tables);
        if (ramps < 0)
            return noSpeed(group);
        const std::optional<int32_t> constant = constantPhase(v.totalPulses, ramps);
        if (!constant)
            return constantPhaseOverflow(group);
        a.pulseCount = *constant;
        a.direction = v.direction;
        if (cross) {
            out.crossWeb->move.forwardAfterUnblocked = 0;
            out.crossWeb->move.forwardAfterBlocked = 0;
            out.crossWeb->move.force = force;
            protocol::SampleBlock& s = out.crossWeb->sampling;
            s.mode = 1;
            s.word4 = 1;
            s.word8 = 3;
            s.count = v.totalPulses;
            out.samples = platform::CallerTable<int32_t>(size_t(std::max(v.totalPulses, 0)));
            s.buffer = out.samples.address();
            out.crossWeb.setCommand(kTargetCrossWeb, kCmdCrossWeb);
        } else {
            out.downWeb->force = force;
            out.downWeb.setCommand(kTargetDownWeb, kCmdDownWeb);
        }
        return {};
    }

    PulseDriveParams& d = out.pinch->drive;
    d.sequence = values.pinchSequence;
    d.levelCode = XYLevelCode(values.currentLevel);
    d.dutyCycle = XYClamp(values.dutyCycle, 1, 100);
    d.period = values.period;
    d.duration = values.duration;
    d.delayAfterTrigger = values.pinchDelay;
    d.secondDelayAfterTrigger = values.dePinchDelay;
    out.pinch->force = force;
    out.pinch.setCommand(kTargetPinch, kCmdPinch);
    return {};
}

QString XYCutterResultLine(int cycle, int axis, bool ok)
{
    return ok ? QStringLiteral("%1. Run %2 motor - OK ").arg(cycle).arg(XYCutterAxisName(axis))
              : QStringLiteral("%1. Run %2 motor - FAIL").arg(cycle).arg(XYCutterAxisName(axis));
}

QStringList XYCutterSampleLines(int cycle, const int32_t* samples, qsizetype count, qsizetype firstNumber)
{
    QStringList lines;
    lines.reserve(count);
    const QString prefix = QString::number(cycle) + QStringLiteral(". ");
    for (qsizetype i = 0; i < count; ++i)
        lines.append(prefix + QString::number(firstNumber + i) + QStringLiteral(" [") + QString::number(samples[i]) +
                     QLatin1Char(']'));
    return lines;
}

// --- CXYCutterLifeDlg -----------------------------------------------------

QString CheckXYLifeVref(const CXYCutterLifeSettings& values)
{
    if (values.tapeRewindVref < 1 || values.tapeRewindVref > 255)
        return QStringLiteral("\"Tape Rewind Vref\" must be between 1 and 255.\n");
    return {};
}

QString BuildXYLifeRecords(const CXYCutterLifeSettings& values, int test, XYLifeRecords& out)
{
    out.test = test;
    out.life.reset(); // every block at its reset values, header words 2
    out.samples.reset();
    out.cutFilePath.reset();
    protocol::XYLifeParams& p = out.life.record();
    const int32_t force = XYClamp(values.force, 0, 255);

    auto fillPinch = [&] {
        PulseDriveParams& d = p.pinch.drive;
        d.levelCode = XYLevelCode(values.currentLevel);
        d.dutyCycle = XYClamp(values.dutyCycle, 1, 100);
        d.period = values.periodInUS;
        d.delayAfterTrigger = values.pinchAfterTriggered;
        d.secondDelayAfterTrigger = values.dePinchAfterTriggered;
        p.pinch.force = force;
    };
    auto fillCrossWeb = [&]() -> bool {
        // Direction and pulse count keep their reset values: the sequence moves by itself.
        if (fillAxis(p.crossWeb.axis, values.crossweb, values.stepMode, values.crosswebVref, out.life) < 0)
            return false;
        p.crossWeb.forwardAfterUnblocked = values.forwardUnblocked;
        p.crossWeb.forwardAfterBlocked = values.forwardBlocked;
        return true;
    };

    switch (test) {
    case kXYHoming:
        if (!fillCrossWeb())
            return noSpeed(kXYLifeCrossweb);
        out.life.setCommand(kTargetLife, kCmdHoming);
        return {};
    case kXYAging: {
        if (!fillCrossWeb())
            return noSpeed(kXYLifeCrossweb);
        p.crossWeb.force = force;
        if (fillAxis(p.downWeb.axis, values.downweb, values.downwebStepMode, values.downwebVref, out.life) < 0)
            return noSpeed(kXYLifeDownweb);
        p.downWebRunByEncoder = values.downwebRunBy == 0 ? 1 : 0; // radios "Encoder", "Step"
        p.downWeb.force = force;
        if (!driver::fillSecondMotorBlock(p.tapeRewind, motorGroupOf(values.tapeRewind, values.tapeRewindStepMode),
                                          out.life))
            return noSpeed(kXYLifeTapeRewind);
        p.tapeRewind.vref = uint8_t(XYClamp(values.tapeRewindVref, 1, 255));
        fillPinch();
        out.samples = platform::CallerTable<int32_t>(protocol::kXYAgingSamples);
        p.sampleCount = protocol::kXYAgingSamples;
        p.sampleBuffer = out.samples.address();
        // The driver reads the cut file by this path.
        const std::u16string path = values.cutFile.toStdU16String();
        out.cutFilePath = platform::CallerBuffer((path.size() + 1) * 2);
        uint8_t* bytes = out.cutFilePath.data();
        for (size_t i = 0; i < path.size(); ++i) {
            bytes[2 * i] = uint8_t(path[i] & 0xFF);
            bytes[2 * i + 1] = uint8_t(path[i] >> 8);
        }
        p.cutFilePath = out.cutFilePath.address();
        out.life.setCommand(kTargetLife, kCmdAging);
        return {};
    }
    case kXYLifePinch:
        fillPinch();
        out.life.setCommand(kTargetLife, kCmdLifePinch, out.life.addressOf(&p.pinch));
        return {};
    default: return QStringLiteral("Unknown XY cutter life test %1\n").arg(test);
    }
}

QString XYLifeResultLine(int cycle, int test, bool ok)
{
    return ok ? QStringLiteral("%1. Run %2 - OK ").arg(cycle).arg(XYCutterLifeTestName(test))
              : QStringLiteral("%1. Run %2 - FAIL").arg(cycle).arg(XYCutterLifeTestName(test));
}

QString XYEncoderLine(int sample, int32_t value)
{
    return QStringLiteral("%1. Encoder [%2]").arg(sample).arg(value);
}

} // namespace vantor::motion
