#include "vantor/screens/fiducial/FiducialRun.h"

#include <algorithm>

#include "platform/CallerMemory.h"
#include "protocol/CommandChannel.h"
#include "protocol/ConverterItems.h"
#include "protocol/RequestCodes.h"
#include "protocol/SensorItems.h"
#include "vantor/driver/MotorGroup.h"
#include "vantor/framework/SpeedGroup.h"

namespace vantor::fiducial {

using protocol::AxisMoveParams;
using protocol::SampleBlock;

namespace {

// Step mode, run speed, ramps and pulse count of one axis. Returns an empty
// string or why the axis cannot move.
QString fillAxis(AxisMoveParams& a, const SpeedSettings& speed, int32_t stepMode, int32_t totalPulses,
                 const QString& group, protocol::RecordTables& tables)
{
    const driver::MoveRamps r = driver::loadMoveRamps(motorGroupOf(speed, stepMode), tables);
    if (!r.hasSpeed)
        return QStringLiteral("File in \"Ramp Up Profile\" of %1 has no value\n").arg(group);
    a.stepMode = stepMode;
    a.runSpeed = r.speed;
    a.rampUpTable = r.rampUpTable;
    a.rampUpCount = r.rampUpEntries;
    a.rampDownTable = r.rampDownTable;
    a.rampDownCount = r.rampDownEntries;
    const std::optional<int32_t> constant = constantPhase(totalPulses, int64_t(r.rampUpEntries) + r.rampDownEntries);
    if (!constant)
        return constantPhaseOverflow(group);
    a.pulseCount = *constant;
    return {};
}

// One 32-bit word per pulse, owned by the record.
void fillSamples(SampleBlock& s, int32_t word4, int32_t colorBit, int32_t pulses, protocol::RecordTables& tables)
{
    s.mode = 1;
    s.word4 = word4;
    s.word8 = colorBit;
    s.count = pulses;
    s.buffer = pulses > 0 ? tables.newTable<int32_t>(size_t(pulses)).address() : 0;
}

QString validateFiducial(const CFiducialSettings& v)
{
    return CheckFiducialValues(v);
}

PreparedRun prepareHeadless(const CFiducialSettings& v, const DriverRef& driver)
{
    // The dialog shows the emitter values it read at opening and sends the
    // chosen colour's; without a dialog they are read here.
    ColorBytes dac{};
    ReadEmitterDacs(*driver, dac);
    return PrepareFiducialRun(v, dac, driver);
}

} // namespace

QString CheckFiducialValues(const CFiducialSettings& v)
{
    QString m;
    if (v.colorType < 0 || v.colorType >= kColors)
        m += QStringLiteral("\"Emitter\" must be Red, Green or Blue.\n");
    // The sample buffers take one word per pulse; the distances go as read.
    m += checkPulseRange(v.totalPulses, QStringLiteral("Total No. of Pulses"), kCrosswebGroup);
    m += checkPulseRange(v.downwebTotalPulses, QStringLiteral("Total No. of Pulses"), kDownwebGroup);
    if (v.crossweb.initialSpeedType != 0)
        m += checkSpeedGroup(v.crossweb, kCrosswebGroup, SpeedCheck::RampUpValue);
    if (v.downweb.initialSpeedType != 0)
        m += checkSpeedGroup(v.downweb, kDownwebGroup, SpeedCheck::RampUpValue);
    return m;
}

QString BuildFiducialRecords(const CFiducialSettings& v, const ColorBytes& dac, FiducialRecords& out)
{
    // Every block at its reset values with the constant words it is sent
    // with; the previous run's tables and buffers are released.
    out.params.reset();
    protocol::FiducialTestParams& p = out.params.record();
    if (v.colorType < 0 || v.colorType >= kColors)
        return QStringLiteral("\"Emitter\" must be Red, Green or Blue.\n");
    const int color = v.colorType;
    const int32_t bit = protocol::colorBit(color);

    QString why = fillAxis(p.crossWeb, v.crossweb, v.stepMode, v.totalPulses, kCrosswebGroup, out.params);
    if (why.isEmpty())
        why = fillAxis(p.downWeb, v.downweb, v.downwebStepMode, v.downwebTotalPulses, kDownwebGroup, out.params);
    if (!why.isEmpty()) {
        out.params.reset();
        return why;
    }
    const bool byStep = v.downwebRunType == 1; // radios "Encoder" 0, "Step" 1
    fillSamples(p.downWebSampling, byStep ? 1 : 0, bit, v.downwebTotalPulses, out.params);
    fillSamples(p.crossWebSampling, 1, bit, v.totalPulses, out.params);
    p.homeDistance = v.homeDistance;
    p.downWebRunByEncoder = byStep ? 0 : 1;
    p.markDistance = v.downwebMarkDistance;

    // The driver reads the cut file by this path: UTF-16LE, 0-terminated.
    const std::u16string path = v.cutFile.toStdU16String();
    platform::CallerBuffer& text = out.params.newBuffer((path.size() + 1) * 2);
    for (size_t i = 0; i < path.size(); ++i) {
        text.data()[2 * i] = uint8_t(path[i] & 0xFF);
        text.data()[2 * i + 1] = uint8_t(path[i] >> 8);
    }
    p.cutFilePath = text.address();

    p.colorBit = bit;
    p.crossWebOffset = v.crosswebOffset[size_t(color)];
    p.downWebOffset = v.downwebOffset[size_t(color)];
    p.dacValue = dac[size_t(color)];
    out.params.setCommand(protocol::target::TestRun, protocol::cmd::testRun::Fiducial);
    return {};
}

QString FiducialResultLine(int cycle, bool ok)
{
    return ok ? QStringLiteral("%1. Run fiducial test - OK ").arg(cycle)
              : QStringLiteral("%1. Run fiducial test - FAIL ").arg(cycle);
}

FiducialRun::FiducialRun(DriverRef driver, std::unique_ptr<FiducialRecords> records)
    : m_driver(std::move(driver)), m_records(std::move(records))
{
}

void FiducialRun::cycle(int cycle, int, RunSink& sink)
{
    const bool ok = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_TEST_RUN, m_records->block());
    sink.addLine(FiducialResultLine(cycle, ok));
}

PreparedRun PrepareFiducialRun(const CFiducialSettings& v, const ColorBytes& dac, const DriverRef& driver)
{
    auto records = std::make_unique<FiducialRecords>();
    const QString why = BuildFiducialRecords(v, dac, *records);
    if (!why.isEmpty())
        return PreparedRun::refuse(why);
    return PreparedRun::of(std::make_unique<FiducialRun>(driver, std::move(records)));
}

const TestDefinition<CFiducialSettings> kFiducialTest{validateFiducial, false, prepareHeadless};

// --- emitter and detector requests ---------------------------------------------

QString WriteResultLine(bool ok)
{
    return ok ? QStringLiteral("Write To EEPROM - SUCCESS ") : QStringLiteral("Write To EEPROM - FAIL ");
}

bool WriteEmitterDacs(platform::DeviceHandle& handle, const ColorBytes& values)
{
    // Param points at one byte holding the value.
    platform::CallerRecord<uint8_t> value;
    protocol::CommandBlock block;
    bool ok = true;
    for (int c = 0; c < kColors; ++c) {
        *value = values[size_t(c)];
        ok = protocol::sendCommand(handle, protocol::IOCTL_PRN_REGISTER, block, protocol::kEmitterItemByColor[c],
                                   protocol::cmd::reg::Write, value.address()) &&
             ok;
    }
    return ok;
}

namespace {
bool readTriple(platform::DeviceHandle& handle, uint32_t code, uint32_t target, uint32_t command, ColorBytes& out)
{
    protocol::ColorTriple t;
    protocol::CommandBlock block;
    const bool ok = protocol::sendCommand(handle, code, block, target, command, 0, &t, sizeof t);
    out = ok ? ColorBytes{t.red, t.green, t.blue} : ColorBytes{};
    return ok;
}
} // namespace

bool ReadEmitterDacs(platform::DeviceHandle& handle, ColorBytes& out)
{
    return readTriple(handle, protocol::IOCTL_PRN_REGISTER, protocol::settingItem::FiducialEmitterDacs,
                      protocol::cmd::reg::ReadSetting, out);
}

bool ReadDetector(platform::DeviceHandle& handle, ColorBytes& out)
{
    return readTriple(handle, protocol::IOCTL_PRN_SENSOR_READ, protocol::sensorItem::FiducialDetector,
                      protocol::cmd::sensor::Read, out);
}

} // namespace vantor::fiducial
