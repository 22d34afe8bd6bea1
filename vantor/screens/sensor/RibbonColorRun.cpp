#include "vantor/screens/sensor/RibbonColorRun.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/driver/MotorGroup.h"
#include "vantor/framework/SpeedGroup.h"

namespace vantor::sensor {

namespace {
const QString kGroup = QStringLiteral("Ribbon Color");

// UTF-16LE with a 0 character after it, in a buffer of at least `chars` + 1
// characters.
void writeWide(platform::CallerBuffer& buffer, const QString& text)
{
    const std::u16string wide = text.toStdU16String();
    uint8_t* bytes = buffer.data();
    const size_t n = std::min(wide.size(), buffer.size() / 2 - 1);
    for (size_t i = 0; i < n; ++i) {
        bytes[2 * i] = uint8_t(wide[i] & 0xFF);
        bytes[2 * i + 1] = uint8_t(wide[i] >> 8);
    }
    bytes[2 * n] = 0;
    bytes[2 * n + 1] = 0;
}

platform::CallerBuffer& wideText(protocol::RecordTables& tables, const QString& text, qsizetype room = 0)
{
    platform::CallerBuffer& buffer = tables.newBuffer(size_t(std::max(text.size(), room) + 1) * 2);
    writeWide(buffer, text);
    return buffer;
}

// Whole "Total Cycle:" runs that a worker can count in an int.
int64_t sequenceCycles(int runs, int32_t perRun)
{
    return (int64_t(runs) + 1) * std::max<int64_t>(perRun, 1);
}
} // namespace

QString RibbonColorLogName(const QString& prefix, int run)
{
    return prefix + QString::number(run) + QStringLiteral(".txt");
}

QStringList RibbonColorLines(int cycle, bool ok)
{
    if (!ok)
        return {QStringLiteral("%1. Run Ribbon Color - FAIL").arg(cycle)};
    return {QStringLiteral("%1. Run Ribbon Color - OK ").arg(cycle), QStringLiteral("%1. log file is save.").arg(cycle)};
}

int RibbonColorRunCount(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == u'-' || t[end] == u'+'))
        ++end;
    const qsizetype digits = end;
    while (end < t.size() && t[end].isDigit() && t[end].unicode() < 128)
        ++end;
    if (end == digits || t[0] == u'-')
        return 0;
    int64_t n = 0;
    for (qsizetype i = digits; i < end && n <= INT_MAX; ++i)
        n = n * 10 + (t[i].unicode() - u'0');
    return int(std::min<int64_t>(n, INT_MAX));
}

QStringList RibbonColorHeader(const CRibbonColorSettings& v)
{
    return {QStringLiteral("Unit#: ") + v.unit,
            QStringLiteral("Run#: ") + v.run,
            QStringLiteral("Ribon Catridge Color: ") + v.color,
            QStringLiteral("Ribon Panel Length: ") + v.panelLength,
            QStringLiteral("Ribon Lot Number: ") + v.lotNumber,
            QStringLiteral("Emitter#: ") + v.emitterNumber,
            QStringLiteral("Detector#: ") + v.detectorNumber};
}

QString CheckRibbonColor(const CRibbonColorSettings& v)
{
    QString messages = checkSpeedGroup(v.speed, kGroup, SpeedCheck::RampUpValue);
    // The worker numbers every cycle of the sequence in an int.
    if (sequenceCycles(RibbonColorRunCount(v.run), v.cycle) > INT_MAX)
        messages += QStringLiteral("\"Run\" and \"Total Cycle\" of %1 make more cycles than can be counted.\n").arg(kGroup);
    return messages;
}

bool RibbonColorRun::build(const CRibbonColorSettings& v, QString& why)
{
    using namespace protocol;
    why = CheckRibbonColor(v);
    if (!why.isEmpty())
        return false;
    m_record.reset();
    driver::MotorGroupParams group;
    group.speedChoice = v.speed.initialSpeedType;
    group.constantSpeed = v.speed.constantSpeed;
    group.rampUpProfile = v.speed.rampUpProfile;
    const driver::MoveRamps ramps = driver::loadMoveRamps(group, m_record, /*withRampDown=*/false);
    if (!ramps.hasSpeed) {
        why = QStringLiteral("File in \"Ramp Up Profile\" of %1 has no value\n").arg(kGroup);
        return false;
    }
    const std::optional<int32_t> pulses = constantPhase(v.totalPulses, ramps.rampUpEntries);
    if (!pulses) {
        why = constantPhaseOverflow(kGroup);
        return false;
    }
    RibbonColorParams& p = m_record.record();
    p.stepMode = v.stepMode;
    p.word8 = 2;
    p.pulseCount = *pulses;
    p.runSpeed = ramps.speed;
    p.rampUpTable = ramps.rampUpTable;
    p.rampUpCount = ramps.rampUpEntries;
    p.vref = uint8_t(std::clamp<int32_t>(v.vref, 1, 255));
    p.word40 = 0;
    p.word44 = 2;
    p.word48 = 0;
    p.word52 = 0;
    p.word56 = 1000;
    p.samplingDelay = v.samplingDelay;
    p.sensingPerSample = v.sensingPerSample.trimmed().toInt(); // not a number: 0
    m_prefix = v.filePrefix;
    m_runs = RibbonColorRunCount(v.run);
    // Room for the longest run number, so the name is rewritten in place.
    m_logName = &wideText(m_record, RibbonColorLogName(m_prefix, 0), RibbonColorLogName(m_prefix, INT_MAX).size());
    p.logFileName = m_logName->address();
    p.colorText = wideText(m_record, v.color).address();
    p.panelLengthText = wideText(m_record, v.panelLength).address();
    p.lotNumberText = wideText(m_record, v.lotNumber).address();
    p.unitNumberText = wideText(m_record, v.unit).address();
    p.emitterNumberText = wideText(m_record, v.emitterNumber).address();
    p.detectorNumberText = wideText(m_record, v.detectorNumber).address();
    m_record.setCommand(target::RibbonColor, cmd::ribbonColor::Measure);
    m_header = RibbonColorHeader(v);
    return true;
}

int RibbonColorRun::cyclesFor(int totalCycles)
{
    m_perRun = std::max(totalCycles, 1);
    return int(std::min<int64_t>(sequenceCycles(m_runs, m_perRun), INT_MAX));
}

bool RibbonColorRun::pausesAfter(int cycle) const
{
    // The next run follows its "Completed Run" line at once.
    return cycle % m_perRun != 0;
}

void RibbonColorRun::setLogName(int run)
{
    writeWide(*m_logName, RibbonColorLogName(m_prefix, run));
}

void RibbonColorRun::cycle(int cycle, int, RunSink& sink)
{
    const int run = (cycle - 1) / m_perRun;
    const int counter = (cycle - 1) % m_perRun + 1;
    setLogName(run);
    m_record.record().firstCycle = counter == 1 ? 1 : 0;
    const bool ok = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_RIBBON_COLOR, m_record.block());
    for (QString& line : RibbonColorLines(counter, ok))
        sink.addLine(std::move(line));
    if (counter == m_perRun && run < m_runs) {
        sink.addLine(QStringLiteral("Completed Run: %1").arg(run));
        sink.addLine(QStringLiteral(" "));
    }
}

PreparedRun PrepareRibbonColor(const CRibbonColorSettings& values, const DriverRef& driver)
{
    auto run = std::make_unique<RibbonColorRun>(driver);
    QString why;
    if (!run->build(values, why))
        return PreparedRun::refuse(why);
    return PreparedRun::of(std::move(run));
}

const TestDefinition<CRibbonColorSettings> kRibbonColorTest{&CheckRibbonColor, false, &PrepareRibbonColor};

void RibbonColorReadings::queue(std::initializer_list<int> steps)
{
    std::lock_guard lock(m_lock);
    m_steps.insert(m_steps.end(), steps);
}

bool RibbonColorReadings::pending() const
{
    std::lock_guard lock(m_lock);
    return !m_steps.empty();
}

bool RibbonColorReadings::runOne(RunSink& sink)
{
    int step = 0;
    {
        std::lock_guard lock(m_lock);
        if (m_steps.empty())
            return false;
        step = m_steps.front();
        m_steps.pop_front();
    }
    using namespace protocol;
    switch (step) {
    case colorStep::Calibrate:
        calibrate();
        return true;
    case colorStep::ReadDacs: {
        const ColorTriple rgb = read(IOCTL_PRN_REGISTER, settingItem::ColorSensorDacs, cmd::reg::ReadSetting);
        sink.addLine(QStringLiteral("Calibration:%1,%2,%3").arg(rgb.red).arg(rgb.green).arg(rgb.blue));
        if (m_report)
            m_report(step, rgb);
        return true;
    }
    case colorStep::ReadColor: {
        const ColorTriple rgb = read(IOCTL_PRN_SENSOR_READ, sensorItem::ColorSensor, cmd::sensor::Read);
        sink.addLine(QStringLiteral("SensorRead:%1,%2,%3").arg(rgb.red).arg(rgb.green).arg(rgb.blue));
        if (m_report)
            m_report(step, rgb);
        return true;
    }
    default:
        return true;
    }
}

void RibbonColorReadings::calibrate()
{
    using namespace protocol;
    // Failures are not reported: the DAC read that follows shows the outcome.
    CommandBlock block;
    for (uint32_t item : {sensorItem::DownstreamCenterNotch, sensorItem::UpstreamCenterNotch, sensorItem::DownstreamGap,
                          sensorItem::UpstreamGap}) {
        uint8_t scratch[4] = {};
        sendCommand(*m_driver, IOCTL_PRN_SENSOR_READ, block, item, cmd::sensor::CalibrateColor, 0, scratch, sizeof scratch);
    }
    for (uint32_t item : {sensorItem::ColorSensor, sensorItem::FiducialDetector}) {
        ColorTriple scratch;
        sendCommand(*m_driver, IOCTL_PRN_SENSOR_READ, block, item, cmd::sensor::CalibrateColor, 0, &scratch, sizeof scratch);
    }
}

protocol::ColorTriple RibbonColorReadings::read(uint32_t code, uint32_t target, uint32_t command)
{
    protocol::ColorTriple rgb;
    protocol::CommandBlock block;
    if (!protocol::sendCommand(*m_driver, code, block, target, command, 0, &rgb, sizeof rgb))
        rgb = protocol::ColorTriple{};
    return rgb;
}

} // namespace vantor::sensor
