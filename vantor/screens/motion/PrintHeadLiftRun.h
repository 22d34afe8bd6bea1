#pragma once
// The print head lift test without widgets: its checks, the lift record
// (target 0, command 44) and one cycle, whose moving duration comes back as
// the request's returned byte count.
#include <cstdint>
#include <QString>

#include "protocol/DriverRecord.h"
#include "protocol/HeadLiftParams.h"
#include "vantor/framework/TestDefinition.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::motion {

// "Homing" and "Activate Print Head" run exactly one cycle.
bool HeadLiftSingleCycle(int32_t testType);


class PrintHeadLiftRun : public TestRun {
public:
    explicit PrintHeadLiftRun(DriverRef driver) : m_driver(std::move(driver)) {}

    void build(const CPrintHeadLiftSettings& values);
    void cycle(int cycle, int totalCycles, RunSink& sink) override;

    const protocol::DriverRecord<protocol::HeadLiftParams>& lift() const { return m_lift; }

private:
    DriverRef m_driver;
    protocol::DriverRecord<protocol::HeadLiftParams> m_lift;
};

PreparedRun PreparePrintHeadLift(const CPrintHeadLiftSettings& values, const DriverRef& driver);

extern const TestDefinition<CPrintHeadLiftSettings> kPrintHeadLiftTest;

} // namespace vantor::motion
