#include "vantor/screens/motion/EjectorRun.h"

#include <algorithm>

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/driver/MotorGroup.h"
#include "vantor/framework/SpeedGroup.h"

namespace vantor::motion {

namespace {
const QString kGroup = QStringLiteral("Ejector");

} // namespace

QString EjectorLine(int cycle, int32_t asked, int32_t counted, bool ok)
{
    return QStringLiteral("%1. Run %2 rev (actual run %3 rev) - %4")
        .arg(cycle)
        .arg(asked)
        .arg(counted)
        .arg(ok ? QStringLiteral("OK") : QStringLiteral("FAIL"));
}

QString CheckEjector(const CEjectorSettings& values)
{
    return checkSpeedGroup(values.speed, kGroup, SpeedCheck::RampUpValue);
}

bool EjectorRun::build(const CEjectorSettings& values, QString& why)
{
    using namespace protocol;
    m_move.reset();
    driver::MotorGroupParams group;
    group.speedChoice = values.speed.initialSpeedType;
    group.constantSpeed = values.speed.constantSpeed;
    group.rampUpProfile = values.speed.rampUpProfile;
    group.useRampDown = values.speed.useRampDown != 0;
    group.rampDownProfile = values.speed.rampDownProfile;
    const driver::MoveRamps ramps = driver::loadMoveRamps(group, m_move);
    if (!ramps.hasSpeed) {
        why = QStringLiteral("File in \"Ramp Up Profile\" of %1 has no value\n").arg(kGroup);
        return false;
    }
    const std::optional<int32_t> pulses =
        constantPhase(values.totalPulses, int64_t(ramps.rampDownEntries) + ramps.rampUpEntries);
    if (!pulses) {
        why = constantPhaseOverflow(kGroup);
        return false;
    }
    EjectorMoveParams& p = m_move.record();
    p.stepMode = values.stepMode;
    p.runSpeed = ramps.speed;
    p.pulseCount = *pulses;
    p.rampUpCount = ramps.rampUpEntries;
    p.rampDownCount = ramps.rampDownEntries;
    p.rampUpTable = ramps.rampUpTable;
    p.rampDownTable = ramps.rampDownTable;
    p.forwardAfterBlocked = values.forwardBlocked;
    p.forwardAfterUnblocked = values.forwardUnblocked;
    p.postHold = values.postHold;
    // The sliders' ranges: what a dialog shows is what a run sends.
    p.revolutions = std::clamp<int32_t>(values.rev, 1, 3);
    p.vref = uint8_t(std::clamp<int32_t>(values.vref, 1, 255));
    m_move.setCommand(target::Ejector, cmd::motion::EjectorMove);
    return true;
}

void EjectorRun::cycle(int cycle, int, RunSink& sink)
{
    int32_t counted = 0;
    const bool sent = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_MOTION, m_move.block(), &counted,
                                            sizeof counted);
    const int32_t asked = m_move->revolutions;
    sink.addLine(EjectorLine(cycle, asked, counted, sent && counted == asked));
    if (m_report)
        m_report(counted);
}

PreparedRun PrepareEjector(const CEjectorSettings& values, const DriverRef& driver)
{
    auto run = std::make_unique<EjectorRun>(driver);
    QString why;
    if (!run->build(values, why))
        return PreparedRun::refuse(why);
    return PreparedRun::of(std::move(run));
}

const TestDefinition<CEjectorSettings> kEjectorTest{&CheckEjector, false, &PrepareEjector};

} // namespace vantor::motion
