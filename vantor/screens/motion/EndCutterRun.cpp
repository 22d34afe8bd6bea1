#include "vantor/screens/motion/EndCutterRun.h"

#include <algorithm>

#include "protocol/AxisMoveParams.h"
#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/framework/SpeedGroup.h"
#include "vantor/screens/motion/CurrentLevel.h"
#include "vantor/screens/motion/EjectorRun.h"

namespace vantor::motion {

EndCutterRun::EndCutterRun(DriverRef driver) : m_driver(std::move(driver)) {}

void EndCutterRun::build(const CEndCutterSettings& values)
{
    m_params.reset(); // frees the previous result word
    protocol::EndCutterParams& p = m_params.record();
    p.platen.constantPulses = values.totalPulses;
    p.platen.constantSpeed = values.constantSpeed;
    p.cutter.levelCode = levelCode(values.currentLevel);
    p.cutter.frequency = values.frequency;
    p.cutter.dutyCycle = std::clamp<int32_t>(values.dutyCycle, 1, 100);
    p.eject.pulseCount = values.ejectTotalPulses;
    m_result = &m_params.newTable<int32_t>(1);
    p.cutter.resultWord = m_result->address();
}

void EndCutterRun::cycle(int cycle, int totalCycles, RunSink& sink)
{
    using namespace protocol;
    platform::DeviceHandle& driver = *m_driver;
    const uint32_t loadBlock = m_params.addressOf(&m_params->load);
    if (cycle == 1) {
        CommandBlock load{target::PrintHead, cmd::motion::LoadPrintHead, loadBlock};
        if (!sendCommand(driver, IOCTL_PRN_MOTION, load))
            sink.addLine(QStringLiteral("1. Load PH - FAIL"));
    }
    // A driver that fails, or writes nothing, must not show the previous
    // cycle's duration as this one's.
    (*m_result)[0] = 0;
    m_params.setCommand(target::EndCutter, cmd::motion::EndCutterCut);
    if (sendCommand(driver, IOCTL_PRN_MOTION, m_params.block())) {
        sink.addLine(QStringLiteral("%1. Run motor - OK ").arg(cycle));
        sink.addLine(QStringLiteral("%1. Moving duration %2ms").arg(cycle).arg(resultWord()));
    } else {
        sink.addLine(QStringLiteral("%1. Run motor - FAIL").arg(cycle));
    }
    if (cycle >= totalCycles || m_stop->load()) {
        CommandBlock unload{target::PrintHead, cmd::motion::UnloadPrintHead, loadBlock};
        if (!sendCommand(driver, IOCTL_PRN_MOTION, unload))
            sink.addLine(QStringLiteral("%1. Unload PH - FAIL").arg(cycle));
    }
}

PreparedRun PrepareEndCutter(const CEndCutterSettings& values, const DriverRef& driver)
{
    auto run = std::make_unique<EndCutterRun>(driver);
    run->build(values);
    return PreparedRun::of(std::move(run));
}

// Nothing is checked: a level that is no item goes as code 0, and the
// driver answers for it.
const TestDefinition<CEndCutterSettings> kEndCutterTest{nullptr, false, &PrepareEndCutter};

} // namespace vantor::motion
