#include "vantor/framework/TestRun.h"

#include "platform/Clock.h"
#include "protocol/CommandChannel.h"
#include "vantor/framework/TestDefinition.h"

namespace vantor {

DriverRef openDriver()
{
    return std::make_shared<platform::DeviceHandle>(protocol::openPrinter());
}

QStringList runStartLines(const TestRun& run)
{
    QStringList lines{QStringLiteral("== Start =="), platform::formatTimeStamp(platform::clock().localTime())};
    lines += run.headerLines();
    return lines;
}

QStringList runEndLines()
{
    return {QStringLiteral("== End =="), QStringLiteral(" ")};
}

QString checkTotalCycle(int32_t cycles)
{
    return cycles < 1 ? QStringLiteral("\"Total Cycle\" must greater than 0.\n") : QString();
}

} // namespace vantor
