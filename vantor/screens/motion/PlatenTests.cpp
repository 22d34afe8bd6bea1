#include "vantor/screens/motion/PlatenTests.h"

#include <algorithm>

#include "protocol/RequestCodes.h"
#include "vantor/framework/SpeedGroup.h"
#include "vantor/screens/motion/PlatenCycles.h"
#include "vantor/screens/motion/PlatenLines.h"

namespace vantor::platen {

namespace {

class PlatenMoveTestRun final : public TestRun {
public:
    enum Kind { Move, Sensor };
    PlatenMoveTestRun(Kind kind, DriverRef driver) : m_kind(kind), m_driver(std::move(driver)) {}
    PlatenMoveRun run;

    QStringList headerLines() const override
    {
        return m_kind == Sensor ? QStringList{kSensorColumnHeader} : QStringList{};
    }
    void cycle(int cycle, int totalCycles, RunSink& sink) override
    {
        if (m_kind == Sensor)
            platenSensorCycle(*m_driver, run, cycle, sink);
        else
            platenMoveCycle(*m_driver, run, cycle, totalCycles, sink);
    }

private:
    Kind m_kind;
    DriverRef m_driver;
};

class PlatenLifeTestRun final : public TestRun {
public:
    explicit PlatenLifeTestRun(DriverRef driver) : m_driver(std::move(driver)) {}
    PlatenLifeRun run;
    void cycle(int cycle, int, RunSink& sink) override { platenLifeCycle(*m_driver, run, cycle, sink); }

private:
    DriverRef m_driver;
};

QString validatePlaten(const CPlatenSettings& r) { return validatePlatenTest(platenMoveInput(r)); }
PreparedRun preparePlaten(const CPlatenSettings& r, const DriverRef& d) { return preparePlatenRun(platenMoveInput(r), d); }
PreparedRun preparePlatenSensor(const CPlatenSensorSettings&, const DriverRef& d)
{
    return preparePlatenSensorRun(platenSensorStartInput(), protocol::captureSensor::SideNotch, d);
}
PreparedRun preparePlatenLife(const CPlatenLifeSettings& r, const DriverRef& d)
{
    return preparePlatenLifeRun(platenLifeInput(r), d);
}

// Pulse counts beyond a motor, in the tests that check nothing else.
QString pulseRefusal(std::initializer_list<std::pair<int64_t, QString>> counts, const QString& group)
{
    QString why;
    for (const auto& [count, label] : counts)
        why += checkPulseRange(count, label, group);
    return why;
}

} // namespace

PlatenMoveInput platenMoveInput(const CPlatenSettings& r)
{
    PlatenMoveInput in;
    applySpeed(in.platen, r.speed);
    in.platen.direction = r.direction;
    in.platen.totalPulses = r.totalPulses;
    in.platen.stepMode = r.stepMode;
    in.platen.vref = uint8_t(std::clamp(r.vref, 1, 255));
    in.platen.preHold = r.preHold;
    in.platen.postHold = r.postHold;
    in.clutch = r.clutch != 0;
    in.encoderDetail = r.encoderInDetail != 0;
    applySpeed(in.tapeRewind, r.tapeRewind);
    in.tapeRewind.stepMode = r.tapeRewindStepMode;
    in.totalCycles = r.cycle;
    in.pause = r.pause;
    return in;
}

PreparedRun preparePlatenRun(const PlatenMoveInput& in, const DriverRef& driver)
{
    auto run = std::make_unique<PlatenMoveTestRun>(PlatenMoveTestRun::Move, driver);
    if (QString why = buildPlatenMove(run->run, in); !why.isEmpty())
        return PreparedRun::refuse(why);
    return PreparedRun::of(std::move(run));
}

const TestDefinition<CPlatenSettings> kPlatenTest{&validatePlaten, false, &preparePlaten};

PlatenMoveInput platenSensorStartInput()
{
    constexpr int kQuarterStep = 2;
    PlatenMoveInput in;
    in.platen.stepMode = kQuarterStep;
    in.encoderDetail = true;
    in.tapeRewind.stepMode = kQuarterStep;
    in.totalCycles = 1;
    in.pause = 500;
    return in;
}

PreparedRun preparePlatenSensorRun(const PlatenMoveInput& in, int sensor, const DriverRef& driver)
{
    if (QString why = pulseRefusal({{in.platen.totalPulses, QStringLiteral("Total No. of Pulses")}}, kPlatenGroup);
        !why.isEmpty())
        return PreparedRun::refuse(why);
    auto run = std::make_unique<PlatenMoveTestRun>(PlatenMoveTestRun::Sensor, driver);
    if (QString why = buildPlatenSensorMove(run->run, in, sensor); !why.isEmpty())
        return PreparedRun::refuse(why);
    return PreparedRun::of(std::move(run));
}

const TestDefinition<CPlatenSensorSettings> kPlatenSensorTest{nullptr, false, &preparePlatenSensor};

PlatenLifeInput platenLifeInput(const CPlatenLifeSettings& r)
{
    auto panel = [](const PlatenMoveSettings& s) {
        PlatenPanelInput p;
        applySpeed(p.move, s.speed);
        p.move.totalPulses = s.totalPulses;
        p.move.stepMode = s.stepMode;
        p.move.preHold = s.preHold;
        p.move.postHold = s.postHold;
        p.clutch = s.clutch != 0;
        return p;
    };
    PlatenLifeInput in;
    in.forward = panel(r.forward);
    in.useReverse = r.useReversePlaten != 0;
    in.reverse = panel(r.reverse);
    applySpeed(in.tapeRewind, r.tapeRewind);
    in.tapeRewind.stepMode = r.tapeRewindStepMode;
    in.tapeRewindReversePulses = r.tapeRewindReverseTotalPulses;
    in.passes = std::clamp(r.multiPass, 1, 4);
    in.totalCycles = r.cycle;
    in.pause = r.pause;
    return in;
}

PreparedRun preparePlatenLifeRun(const PlatenLifeInput& in, const DriverRef& driver)
{
    QString why = pulseRefusal({{in.forward.move.totalPulses, QStringLiteral("Total No. of Pulses")}},
                               kForwardPanelCaption);
    if (in.useReverse)
        why += pulseRefusal({{in.reverse.move.totalPulses, QStringLiteral("Total No. of Pulses")}},
                            kReversePanelCaption);
    if (!why.isEmpty())
        return PreparedRun::refuse(why);
    auto run = std::make_unique<PlatenLifeTestRun>(driver);
    if (QString refusal = buildPlatenLife(run->run, in); !refusal.isEmpty())
        return PreparedRun::refuse(refusal);
    return PreparedRun::of(std::move(run));
}

const TestDefinition<CPlatenLifeSettings> kPlatenLifeTest{nullptr, false, &preparePlatenLife};

} // namespace vantor::platen
