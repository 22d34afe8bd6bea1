// The ribbon runs against the simulated printer and a failing one: requests,
// record bytes as sent, and the result lines of whole runs.
#include <gtest/gtest.h>

#include "PlatenTestSupport.h"
#include "platform/Trace.h"
#include "protocol/RequestCodes.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/screens/motion/RibbonTests.h"
#include "vantor/settings/CSettingsFile.h"

using namespace vantor::ribbon;
using platentest::RecordingSink;

namespace {

class RibbonRunTest : public platentest::PlatenFixture {
protected:
    CSettingsFile file;

    // Runs `total` cycles of the prepared run on a worker; the lines after
    // the two start lines.
    QStringList runLines(vantor::PreparedRun p, int total)
    {
        EXPECT_TRUE(bool(p)) << p.refusal.toStdString();
        if (!p)
            return {};
        RecordingSink sink;
        vantor::TestRunner runner(sink);
        runner.start();
        runner.run(std::move(p.run), total, 0);
        EXPECT_TRUE(sink.waitForEnd());
        runner.close();
        return sink.lines();
    }
};

TEST_F(RibbonRunTest, TensionWithSlipClutchSendsCommand6WithItsRecord)
{
    startPrinter();
    const QString traceFile = hostFile(QStringLiteral("trace.txt"));
    platform::trace::setFile(traceFile);
    CRibbonTensionSettings s(file);
    s.frequency = 1000;
    s.duration = 20;
    s.slipClutch.speed.constantSpeed = 800;
    s.slipClutch.totalPulses = 400;
    s.platen.speed.constantSpeed = 600;
    s.platen.totalPulses = 200;
    s.trackEncoder = 1;
    const QStringList lines = runLines(kRibbonTensionTest.prepare(s, vantor::openDriver()), 2);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("1,Ribbon Tension and Slip Clutch,OK,"))) << lines[0].toStdString();
    EXPECT_NE(lines[0], QStringLiteral("1,Ribbon Tension and Slip Clutch,OK,-"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2,Ribbon Tension and Slip Clutch,OK,")));
    EXPECT_EQ(lines.mid(2), (QStringList{QStringLiteral("== End =="), QStringLiteral(" ")}));
    platform::trace::setFile(QString());
    const QByteArray sent = tracedRecord(readFile(traceFile), 120, 1);
    ASSERT_EQ(sent.size(), 120);
    platentest::Bytes want(120);
    want.word(0, 1).word(8, 2).word(12, 50).word(16, 1000).word(20, 20);
    want.word(24, 1).word(28, 2).word(32, 2).word(36, 400).word(40, 800).byte(56, 255);
    want.word(60, 1).word(76, 200).word(80, 600).byte(100, 255);
    EXPECT_EQ(sent.toHex(), want.b.toHex());
}

struct LineCase {
    const char* name;
    bool fail;
    int trackEncoder;
    QStringList want;
};

TEST_F(RibbonRunTest, TensionOnlyLines)
{
    for (const LineCase& c : {LineCase{"ok", false, 1, {"1,Ribbon Tension Only,OK,-"}},
                              LineCase{"fail", true, 1, {"1,Ribbon Tension Only,FAIL,-"}}}) {
        startPrinter();
        if (c.fail)
            failCommand(protocol::cmd::motion::RibbonTension);
        CRibbonTensionSettings s(file);
        s.slipClutch.enabled = 0;
        s.trackEncoder = c.trackEncoder;
        EXPECT_EQ(runLines(kRibbonTensionTest.prepare(s, vantor::openDriver()), 0).mid(0, 1), c.want) << c.name;
        stopPrinter();
    }
}

TEST_F(RibbonRunTest, AdvanceRunsTheCheckedMovesInOrderAndCountsPhTriggers)
{
    startPrinter();
    CRibbonAdvanceSettings s(file);
    s.counterClockwise.speed.constantSpeed = 500;
    s.clockwise.speed.constantSpeed = 500;
    s.clockwise.totalPulses = 100;
    s.slipClutch.speed.constantSpeed = 500;
    s.slipClutch.totalPulses = 100;
    s.usePlaten = 0;
    auto p = kRibbonAdvanceTest.prepare(s, vantor::openDriver());
    std::atomic<int> triggers{0};
    setPhTriggered(p, [&] { ++triggers; });
    const QStringList lines = runLines(std::move(p), 2);
    EXPECT_EQ(lines, (QStringList{"1,Rocker Arm (cc),OK,-", "1,Rocker Arm (c),OK,-", "1,Slip Clutch,OK,-",
                                  "2,Rocker Arm (cc),OK,-", "2,Rocker Arm (c),OK,-", "2,Slip Clutch,OK,-",
                                  "== End ==", " "}));
    EXPECT_EQ(triggers, 2);

    // A failing driver: every move FAILs, the run goes on, no trigger counted.
    failCommand(protocol::cmd::motion::RibbonMove);
    auto f = kRibbonAdvanceTest.prepare(s, vantor::openDriver());
    setPhTriggered(f, [&] { ++triggers; });
    EXPECT_EQ(runLines(std::move(f), 1),
              (QStringList{"1,Rocker Arm (cc),FAIL,-", "1,Rocker Arm (c),FAIL,-", "1,Slip Clutch,FAIL,-", "== End ==",
                           " "}));
    EXPECT_EQ(triggers, 2);

    s.counterClockwise.enabled = s.clockwise.enabled = s.slipClutch.enabled = 0;
    EXPECT_EQ(kRibbonAdvanceTest.prepare(s, vantor::openDriver()).refusal, kNothingToRun);
}

TEST_F(RibbonRunTest, DriveBothMovesShareTheCycleNumber)
{
    startPrinter();
    CRibbonDriveSettings s(file);
    EXPECT_EQ(kRibbonDriveTest.prepare(s, vantor::openDriver()).refusal, kDriveNothingToRun);
    s.advance.enabled = s.reverse.enabled = 1;
    s.advance.speed.constantSpeed = s.reverse.speed.constantSpeed = 400;
    s.advance.totalPulses = s.reverse.totalPulses = 200;
    const QStringList lines = runLines(kRibbonDriveTest.prepare(s, vantor::openDriver()), 2);
    EXPECT_EQ(lines, (QStringList{"1,Ribbon Advance ,OK,-", "1,Ribbon Reverse ,OK,-", "2,Ribbon Advance ,OK,-",
                                  "2,Ribbon Reverse ,OK,-", "== End ==", " "}));
    s.trackEncoder = 1;
    const QStringList tracked = runLines(kRibbonDriveTest.prepare(s, vantor::openDriver()), 1);
    ASSERT_GE(tracked.size(), 2);
    EXPECT_TRUE(tracked[0].startsWith("1,Ribbon Advance ,") && tracked[0].endsWith(", OK,-")) << tracked[0].toStdString();
    EXPECT_NE(tracked[0], QStringLiteral("1,Ribbon Advance ,0, OK,-")); // the simulated encoder moved
}

TEST_F(RibbonRunTest, ToPlatenSequenceAdvanceFirstWhateverTheDirection)
{
    startPrinter();
    CRibbonToPlatenSettings s(file);
    s.ribbon.speed.constantSpeed = s.platen.speed.constantSpeed = 400;
    s.ribbon.totalPulses = s.platen.totalPulses = 200;
    s.runInSequence = 1;
    for (int direction : {0, 1}) {
        s.direction = direction;
        EXPECT_EQ(runLines(kRibbonToPlatenTest.prepare(s, vantor::openDriver()), 1),
                  (QStringList{"1,Ribbon Advance w/ Platen,OK,-", "1,Ribbon Reverse w/ Platen,OK,-", "== End ==", " "}));
    }
    s.runInSequence = 0;
    s.direction = 1;
    EXPECT_EQ(runLines(kRibbonToPlatenTest.prepare(s, vantor::openDriver()), 1),
              (QStringList{"1,Ribbon Reverse w/ Platen,OK,-", "== End ==", " "}));
    failCommand(protocol::cmd::motion::RibbonMove);
    s.runInSequence = 1;
    EXPECT_EQ(runLines(kRibbonToPlatenTest.prepare(s, vantor::openDriver()), 1),
              (QStringList{"1,Ribbon Advance w/ Platen ,FAIL,-", "1,Ribbon Reverse w/ Platen,FAIL,-", "== End ==", " "}));
}

TEST_F(RibbonRunTest, RampUpWithoutValueRefusesTheRun)
{
    CRibbonDriveSettings s(file);
    s.reverse.enabled = 1;
    s.reverse.speed.initialSpeedType = 1;
    s.reverse.speed.rampUpProfile = profile(QStringLiteral("blank.txt"), "\n\n");
    const auto p = kRibbonDriveTest.prepare(s, vantor::openDriver());
    EXPECT_FALSE(bool(p));
    EXPECT_EQ(p.refusal, QStringLiteral("File in \"Ramp Up Profile\" of Ribbon Reverse has no value\n"));
}

} // namespace
