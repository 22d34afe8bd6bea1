#include "vantor/screens/sensor/MediaJamRun.h"

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"

namespace vantor::sensor {

QString MediaJamLine(int cycle, bool ok)
{
    return QStringLiteral("%1. Run media jam test - %2").arg(cycle).arg(ok ? QStringLiteral("OK") : QStringLiteral("FAIL"));
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

// No value is checked, "Total Cycle:" neither (0 runs one cycle): the
// driver answers for what the operator typed.
const TestDefinition<CMediaJamSettings> kMediaJamTest{nullptr, false, &PrepareMediaJam};

} // namespace vantor::sensor
