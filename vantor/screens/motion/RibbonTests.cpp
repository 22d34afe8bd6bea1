#include "vantor/screens/motion/RibbonTests.h"

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/screens/motion/RibbonRecords.h"

namespace vantor::ribbon {

using protocol::DriverRecord;
using protocol::RibbonMoveEntry;
using protocol::RibbonTensionParams;

namespace {

namespace cmd = protocol::cmd::motion;
namespace tgt = protocol::target;

// Sends an entry with command 4, target 2 into `out` (4 bytes).
bool sendEntry(platform::DeviceHandle& h, DriverRecord<RibbonMoveEntry>& e, int32_t& out)
{
    e.setCommand(tgt::RibbonDrive, cmd::RibbonMove);
    return protocol::sendCommand(h, protocol::IOCTL_PRN_MOTION, e.block(), &out, sizeof out);
}

class TensionRun final : public TestRun {
public:
    explicit TensionRun(DriverRef d) : m_driver(std::move(d)) {}
    DriverRecord<RibbonTensionParams> rec;
    TensionBuild build;

    void cycle(int n, int, RunSink& sink) override
    {
        int32_t out = 0;
        if (build.slipClutch) {
            rec.setCommand(tgt::RibbonTension, cmd::RibbonTensionSlipClutch);
            const bool ok = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_MOTION, rec.block(), &out, sizeof out);
            sink.addLine(lines::tensionSlipClutch(n, ok, build.trackEncoder, out));
        } else {
            rec.setCommand(tgt::RibbonTension, cmd::RibbonTension);
            const bool ok = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_MOTION, rec.block());
            sink.addLine(lines::tensionOnly(n, ok));
        }
    }

private:
    DriverRef m_driver;
};

class AdvanceRun final : public TestRun {
public:
    explicit AdvanceRun(DriverRef d) : m_driver(std::move(d)) {}
    DriverRecord<RibbonMoveEntry> entries[3];
    AdvanceBuild build;
    std::function<void()> phTriggered;

    void cycle(int n, int, RunSink& sink) override
    {
        int32_t out = 0; // once per cycle: the three requests share it
        if (build.moves[0]) {
            const bool ok = sendEntry(*m_driver, entries[0], out);
            sink.addLine(lines::rockerArmCc(n, ok));
            if (ok && phTriggered)
                phTriggered();
        }
        if (build.moves[1])
            sink.addLine(lines::rockerArmC(n, sendEntry(*m_driver, entries[1], out)));
        if (build.moves[2]) {
            const bool ok = sendEntry(*m_driver, entries[2], out);
            sink.addLine(lines::slipClutch(n, ok, build.trackEncoder, out));
        }
    }

private:
    DriverRef m_driver;
};

class DriveRun final : public TestRun {
public:
    explicit DriveRun(DriverRef d) : m_driver(std::move(d)) {}
    DriverRecord<RibbonMoveEntry> a, b;
    DriveBuild build;

    void cycle(int n, int, RunSink& sink) override
    {
        int32_t out = 0;
        if (build.advance) {
            const bool ok = sendEntry(*m_driver, a, out);
            sink.addLine(lines::driveAdvance(n, ok, build.trackEncoder, out));
        }
        if (build.reverse) {
            const bool ok = sendEntry(*m_driver, b, out);
            sink.addLine(lines::driveReverse(n, ok, build.trackEncoder, out));
        }
    }

private:
    DriverRef m_driver;
};

class ToPlatenRun final : public TestRun {
public:
    explicit ToPlatenRun(DriverRef d) : m_driver(std::move(d)) {}
    DriverRecord<RibbonMoveEntry> a, b;
    ToPlatenBuild build;

    void cycle(int n, int, RunSink& sink) override
    {
        int32_t out = 0;
        if (build.sequence || !build.reverse) {
            const bool ok = sendEntry(*m_driver, a, out);
            sink.addLine(lines::platenAdvance(n, ok, build.trackEncoder, out, build.sequence));
        }
        if (build.sequence || build.reverse) {
            const bool ok = sendEntry(*m_driver, b, out);
            sink.addLine(lines::platenReverse(n, ok, build.trackEncoder, out));
        }
    }

private:
    DriverRef m_driver;
};

template <class Run>
PreparedRun finish(std::unique_ptr<Run> run, const Refusals& r)
{
    if (!r.empty())
        return PreparedRun::refuse(r.text);
    return PreparedRun::of(std::move(run));
}

PreparedRun prepareTension(const CRibbonTensionSettings& s, const DriverRef& d)
{
    auto run = std::make_unique<TensionRun>(d);
    Refusals r;
    run->build = buildTension(run->rec, s, r);
    return finish(std::move(run), r);
}

PreparedRun prepareAdvance(const CRibbonAdvanceSettings& s, const DriverRef& d)
{
    auto run = std::make_unique<AdvanceRun>(d);
    Refusals r;
    run->build = buildAdvance(run->entries, s, r);
    if (!run->build.any())
        return PreparedRun::refuse(kNothingToRun);
    return finish(std::move(run), r);
}

PreparedRun prepareDrive(const CRibbonDriveSettings& s, const DriverRef& d)
{
    auto run = std::make_unique<DriveRun>(d);
    Refusals r;
    run->build = buildDrive(run->a, run->b, s, r);
    if (!run->build.any())
        return PreparedRun::refuse(kDriveNothingToRun);
    return finish(std::move(run), r);
}

PreparedRun prepareToPlaten(const CRibbonToPlatenSettings& s, const DriverRef& d)
{
    auto run = std::make_unique<ToPlatenRun>(d);
    Refusals r;
    run->build = buildToPlaten(run->a, run->b, s, r);
    return finish(std::move(run), r);
}

} // namespace

// No box is validated (a total below 1 still runs one cycle).
const TestDefinition<CRibbonTensionSettings> kRibbonTensionTest{nullptr, false, prepareTension};
const TestDefinition<CRibbonAdvanceSettings> kRibbonAdvanceTest{nullptr, false, prepareAdvance};
const TestDefinition<CRibbonDriveSettings> kRibbonDriveTest{nullptr, false, prepareDrive};
const TestDefinition<CRibbonToPlatenSettings> kRibbonToPlatenTest{nullptr, false, prepareToPlaten};

void setPhTriggered(PreparedRun& r, std::function<void()> onTriggered)
{
    if (auto* run = dynamic_cast<AdvanceRun*>(r.run.get()))
        run->phTriggered = std::move(onTriggered);
}

} // namespace vantor::ribbon
