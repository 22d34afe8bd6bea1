#include "vantor/screens/motion/PrintHeadLiftRun.h"

#include <algorithm>

#include "protocol/AxisMoveParams.h"
#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/screens/motion/CurrentLevel.h"

namespace vantor::motion {

bool HeadLiftSingleCycle(int32_t testType)
{
    return testType == protocol::headLiftTest::Homing || testType == protocol::headLiftTest::ActivatePrintHead;
}

void PrintHeadLiftRun::build(const CPrintHeadLiftSettings& values)
{
    m_lift.reset();
    protocol::HeadLiftParams& p = m_lift.record();
    p.testType = values.testType;
    p.drive.dutyCycle = std::clamp<int32_t>(values.dutyCycle, 1, 100);
    p.drive.period = values.frequency;
    p.drive.levelCode = levelCode(values.currentLevel);
    p.drive.delayAfterTrigger = values.delay;
    m_lift.setCommand(protocol::target::PrintHead, protocol::cmd::motion::PrintHeadLift);
}

void PrintHeadLiftRun::cycle(int cycle, int, RunSink& sink)
{
    uint32_t ms = 0;
    if (protocol::sendCountedCommand(*m_driver, protocol::IOCTL_PRN_MOTION, m_lift.block(), ms))
        sink.addLine(QStringLiteral("%1. Run motor - OK - %2 ms ").arg(cycle).arg(ms));
    else
        sink.addLine(QStringLiteral("%1. Run motor - FAIL").arg(cycle));
}

PreparedRun PreparePrintHeadLift(const CPrintHeadLiftSettings& values, const DriverRef& driver)
{
    auto run = std::make_unique<PrintHeadLiftRun>(driver);
    run->build(values);
    return PreparedRun::of(std::move(run));
}

// Nothing is checked: the level code and the test type go as read.
const TestDefinition<CPrintHeadLiftSettings> kPrintHeadLiftTest{nullptr, false, &PreparePrintHeadLift};

} // namespace vantor::motion
