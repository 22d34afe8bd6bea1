#include "vantor/screens/sensor/MediaJamRun.h"

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"

namespace vantor::sensor {

namespace {
QString rangeMessage(int32_t value, const char* field, int32_t max)
{
    if (value >= 0 && value <= max)
        return {};
    return QStringLiteral("\"%1\" of Media Jam must be 0 to %2\n").arg(QLatin1String(field)).arg(max);
}
} // namespace

QString MediaJamLine(int cycle, bool ok)
{
    return QStringLiteral("%1. Run media jam test - %2").arg(cycle).arg(ok ? QStringLiteral("OK") : QStringLiteral("FAIL"));
}

QString CheckMediaJam(const CMediaJamSettings& values)
{
    return rangeMessage(values.length, "Media Length (in)", kMaxMediaLength) +
           rangeMessage(values.copies, "Copies", kMaxCopies);
}

MediaJamRun::MediaJamRun(DriverRef driver, const CMediaJamSettings& values) : m_driver(std::move(driver))
{
    protocol::MediaJamRecord& r = m_record.record();
    r.length = values.length;
    r.copies = values.copies;
    r.endCut = values.endCut ? 1 : 0;
    m_record.setCommand(protocol::target::Sequence, protocol::cmd::motion::MediaJam);
}

void MediaJamRun::cycle(int cycle, int, RunSink& sink)
{
    const bool ok = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_MOTION, m_record.block());
    sink.addLine(MediaJamLine(cycle, ok));
}

PreparedRun PrepareMediaJam(const CMediaJamSettings& values, const DriverRef& driver)
{
    return PreparedRun::of(std::make_unique<MediaJamRun>(driver, values));
}

const TestDefinition<CMediaJamSettings> kMediaJamTest{&CheckMediaJam, false, &PrepareMediaJam};

} // namespace vantor::sensor
