#pragma once
// The media jam test without widgets: the record a run sends (target 11,
// command 35) and one cycle's request and line.
#include <QString>
#include <cstdint>

#include "protocol/DriverRecord.h"
#include "protocol/MediaJamRecord.h"
#include "vantor/framework/TestDefinition.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::sensor {

// "%d. Run media jam test - OK" / "- FAIL".
QString MediaJamLine(int cycle, bool ok);

class MediaJamRun : public TestRun {
public:
    MediaJamRun(DriverRef driver, const CMediaJamSettings& values);
    void cycle(int cycle, int totalCycles, RunSink& sink) override;
    const protocol::DriverRecord<protocol::MediaJamRecord>& record() const { return m_record; }

private:
    DriverRef m_driver;
    protocol::DriverRecord<protocol::MediaJamRecord> m_record;
};

PreparedRun PrepareMediaJam(const CMediaJamSettings& values, const DriverRef& driver);

extern const TestDefinition<CMediaJamSettings> kMediaJamTest;

} // namespace vantor::sensor
