#include "vantor/screens/motion/XYCutterRun.h"

#include <algorithm>

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/framework/SpeedGroup.h"

namespace vantor::motion {

namespace {

QString validateXYCutter(const CXYCutterSettings& v)
{
    return CheckXYCutterPulses(v);
}

PreparedRun prepareXYCutter(const CXYCutterSettings& v, const DriverRef& driver)
{
    if (v.axis == kXYCrossWeb || v.axis == kXYDownWeb) {
        const XYAxisValues& axis = v.axis == kXYCrossWeb ? v.crossweb : v.downweb;
        if (axis.speed.initialSpeedType != 0) {
            const QString why = checkSpeedGroup(axis.speed, XYAxisGroupName(v.axis), SpeedCheck::RampUpValue);
            if (!why.isEmpty())
                return PreparedRun::refuse(why);
        }
    }
    auto records = std::make_unique<XYCutterRecords>();
    const QString why = BuildXYCutterRecords(v, *records);
    if (!why.isEmpty())
        return PreparedRun::refuse(why);
    return PreparedRun::of(std::make_unique<XYCutterRun>(driver, std::move(records)));
}

QString validateXYLife(const CXYCutterLifeSettings& v)
{
    return CheckXYLifeVref(v);
}

PreparedRun prepareXYLife(const CXYCutterLifeSettings& v, const DriverRef& driver)
{
    QString why;
    auto check = [&](const SpeedSettings& speed, const QString& group) {
        if (speed.initialSpeedType != 0)
            why += checkSpeedGroup(speed, group, SpeedCheck::RampUpValue);
    };
    if (v.testType == kXYHoming || v.testType == kXYAging)
        check(v.crossweb, kXYLifeCrossweb);
    if (v.testType == kXYAging) {
        check(v.downweb, kXYLifeDownweb);
        check(v.tapeRewind, kXYLifeTapeRewind);
    }
    if (!why.isEmpty())
        return PreparedRun::refuse(why);
    auto records = std::make_unique<XYLifeRecords>();
    why = BuildXYLifeRecords(v, v.testType, *records);
    if (!why.isEmpty())
        return PreparedRun::refuse(why);
    return PreparedRun::of(std::make_unique<XYLifeRun>(driver, std::move(records)));
}

} // namespace

const TestDefinition<CXYCutterSettings> kXYCutterTest{validateXYCutter, false, prepareXYCutter};
// The life test checks its tape rewind "VRef:" only: a "Total Cycle:" of 0 runs one cycle.
const TestDefinition<CXYCutterLifeSettings> kXYCutterLifeTest{validateXYLife, false, prepareXYLife};

XYCutterRun::XYCutterRun(DriverRef driver, std::unique_ptr<XYCutterRecords> records)
    : m_driver(std::move(driver)), m_records(std::move(records))
{
}

void XYCutterRun::cycle(int cycle, int, RunSink& sink)
{
    const bool ok = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_MOTION, m_records->block());
    sink.addLine(XYCutterResultLine(cycle, m_records->axis, ok));
    if (!ok || m_records->axis != kXYCrossWeb)
        return;
    const auto& samples = m_records->samples;
    // One list; it reaches the result list in batches so the window keeps up.
    for (qsizetype from = 0; from < qsizetype(samples.count()); from += kLineBatch) {
        const qsizetype n = std::min<qsizetype>(kLineBatch, qsizetype(samples.count()) - from);
        sink.addLines(XYCutterSampleLines(cycle, samples.data() + from, n, from + 1));
    }
}

XYLifeRun::XYLifeRun(DriverRef driver, std::unique_ptr<XYLifeRecords> records)
    : m_driver(std::move(driver)), m_records(std::move(records))
{
}

void XYLifeRun::cycle(int cycle, int, RunSink& sink)
{
    int32_t out = 0;
    const bool ok = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_TEST_RUN, m_records->block(), &out, sizeof out);
    sink.addLine(XYLifeResultLine(cycle, m_records->test, ok));
    if (!ok || m_records->test != kXYAging)
        return;
    const auto& samples = m_records->samples;
    for (size_t i = 0; i < samples.count(); ++i)
        sink.addLine(XYEncoderLine(int(i + 1), samples[i]));
}

} // namespace vantor::motion
