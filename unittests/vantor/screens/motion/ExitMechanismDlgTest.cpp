// The ejector, end cutter and print head lift dialogs driven as an operator
// would, against a recording PRN1:.
#include "ui/testing/TestApp.h"
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <thread>

#include "ExitMechanismTestDevice.h"
#include "platform/Clock.h"
#include "protocol/EndCutterParams.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"
#include "vantor/res/VantorResources.h"
#include "vantor/res/resource.h"
#include "vantor/screens/motion/CEjectorDlg.h"
#include "vantor/screens/motion/CEndCutterDlg.h"
#include "vantor/screens/motion/CPrintHeadLiftDlg.h"
#include "vantor/settings/TestSettingsStore.h"

using namespace std::chrono_literals;
using exit_test::Answer;
using exit_test::RecordingPrinter;
using exit_test::Request;
using ui::testing::DialogHarness;
using ui::testing::processUntil;

namespace {

struct ExitDlgTest : ::testing::Test {
    QTemporaryDir dir;
    platform::ManualClock clock;
    platform::ScopedClock clockScope{clock};
    std::unique_ptr<ScopedSettingsContext> settings;
    ui::testing::ScopedPromptRecorder prompts;
    std::shared_ptr<RecordingPrinter> printer = std::make_shared<RecordingPrinter>(sizeof(protocol::EndCutterParams));

    void SetUp() override
    {
        ui::testing::testApp();
        vantor::installBuiltinResources();
        const QString ini = dir.filePath(QStringLiteral("Vantor.ini"));
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)); // saves only replace an existing file
        f.close();
        settings = std::make_unique<ScopedSettingsContext>(ini);
        platform::registerDevice(QStringLiteral("PRN1:"), printer);
    }
    void TearDown() override
    {
        platform::unregisterDevice(QStringLiteral("PRN1:"));
        settings.reset();
    }
    // A fresh PRN1: that keeps `recordBytes` bytes of each request's record.
    void usePrinter(size_t recordBytes)
    {
        platform::unregisterDevice(QStringLiteral("PRN1:"));
        printer = std::make_shared<RecordingPrinter>(recordBytes);
        platform::registerDevice(QStringLiteral("PRN1:"), printer);
    }
    static QStringList lines(DialogHarness& h) { return h.listItems(IDC_RESULT_LIST); }
    static bool runEnds(DialogHarness& h)
    {
        return processUntil([&] { return lines(h).contains(QStringLiteral(" ")); });
    }
    bool waitIdle(DialogHarness& h)
    {
        return processUntil([&] {
            if (h.enabled(IDC_RUN))
                return true;
            clock.advance(50ms);
            return false;
        });
    }
    // The result lines after "== Start ==" and the time line, without the end.
    static QStringList cycleLines(DialogHarness& h)
    {
        QStringList l = lines(h).mid(2);
        l.removeAll(QStringLiteral("== End =="));
        l.removeAll(QStringLiteral(" "));
        return l;
    }
};

} // namespace

TEST_F(ExitDlgTest, EjectorModesCaptionsAndTheMinimumSensorRow)
{
    for (int mode : {0, 1}) {
        CEjectorDlg dlg(mode);
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_EQ(dlg.windowTitle(), mode == 0 ? QStringLiteral("EJECTOR TEST") : QStringLiteral("EJECT LIFE TEST"));
        EXPECT_EQ(h.visible(IDC_EJ_MIN_CHANGE_LABEL), mode == 1);
        EXPECT_EQ(h.visible(IDC_EJ_MIN_CHANGE), mode == 1);
        EXPECT_EQ(h.text(IDC_EJ_TOTAL_REV), QStringLiteral("0"));
        EXPECT_EQ(h.text(IDC_EJ_VREF_VALUE), QStringLiteral("  1")); // the section's default Vref
        h.pressEscape();
    }
}

TEST_F(ExitDlgTest, EjectorRevPerCycleStopsAtThree)
{
    usePrinter(sizeof(protocol::EjectorMoveParams));
    CEjectorDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.sliderPos(IDC_EJ_REV), 1);
    h.setSliderPos(IDC_EJ_REV, 7);
    EXPECT_EQ(h.sliderPos(IDC_EJ_REV), 3);
    EXPECT_EQ(h.text(IDC_EJ_REV_VALUE), QStringLiteral("  3"));
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("1")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(runEnds(h));
    EXPECT_EQ(exit_test::recordOf<protocol::EjectorMoveParams>(printer->requests().at(0)).revolutions, 3);
    h.pressEscape();
    EXPECT_EQ(GetTestSettings<CEjectorSettings>()->rev, 3); // stored when the dialog closes
}

TEST_F(ExitDlgTest, EjectorShortCountFailsAndStillAddsToTotalRev)
{
    GetTestSettings<CEjectorSettings>()->rev = 3;
    GetTestSettings<CEjectorSettings>()->Save(); // the dialog loads its section from the file
    printer->respond([](int, const Request&) { return Answer{true, 2, 0}; });
    CEjectorDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("2")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(runEnds(h));
    EXPECT_EQ(cycleLines(h), (QStringList{"1. Run 3 rev (actual run 2 rev) - FAIL",
                                          "2. Run 3 rev (actual run 2 rev) - FAIL"}));
    ASSERT_TRUE(processUntil([&] { return h.text(IDC_EJ_TOTAL_REV) == QStringLiteral("4"); }));
    // A new run starts "Total Rev:" at 0 again.
    ASSERT_TRUE(waitIdle(h));
    printer->respond([](int, const Request&) { return Answer{true, 3, 0}; });
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("1")));
    ASSERT_TRUE(h.click(IDC_RUN));
    EXPECT_EQ(h.text(IDC_EJ_TOTAL_REV), QStringLiteral("0"));
    ASSERT_TRUE(processUntil([&] { return h.text(IDC_EJ_TOTAL_REV) == QStringLiteral("3"); }));
    h.pressEscape();
}

TEST_F(ExitDlgTest, EjectorRampUpChoiceWithoutValueIsRefused)
{
    const QString blank = dir.filePath(QStringLiteral("blank.txt"));
    QFile f(blank);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    auto* r = GetTestSettings<CEjectorSettings>();
    r->speed.initialSpeedType = 1;
    r->speed.rampUpProfile = blank;
    r->Save();
    CEjectorDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_RUN));
    EXPECT_EQ(prompts.texts(), QStringList{"File in \"Ramp Up Profile\" of Ejector has no value\n"});
    EXPECT_TRUE(lines(h).isEmpty());
    EXPECT_TRUE(printer->requests().empty());
    h.pressEscape();
}

TEST_F(ExitDlgTest, EndCutterRunOfThree)
{
    auto* r = GetTestSettings<CEndCutterSettings>();
    r->currentLevel = QStringLiteral("71");
    r->dutyCycle = 40;
    r->Save();
    {
    CEndCutterDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.comboItems(IDC_EC_LEVEL), (QStringList{"38", "71", "100"}));
    EXPECT_EQ(h.comboIndex(IDC_EC_LEVEL), 1);
    EXPECT_EQ(h.text(IDC_EC_DUTY_VALUE), QStringLiteral(" 40"));
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("3")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(runEnds(h));
    EXPECT_EQ(cycleLines(h), (QStringList{"1. Run motor - OK ", "1. Moving duration 0ms", "2. Run motor - OK ",
                                          "2. Moving duration 0ms", "3. Run motor - OK ", "3. Moving duration 0ms"}));
    const auto requests = printer->requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests.front().block.Command, 1u);
    EXPECT_EQ(requests.back().block.Command, 2u);
    EXPECT_EQ(exit_test::recordOf<protocol::EndCutterParams>(requests[1]).cutter.levelCode, 2);
    EXPECT_EQ(h.text(IDC_CYCLE), QStringLiteral("3"));
    // Nothing chosen in the list when the dialog closes: "100" is stored.
    dlg.setComboIndex(IDC_EC_LEVEL, -1);
    h.pressEscape();
    }
    EXPECT_EQ(GetTestSettings<CEndCutterSettings>()->currentLevel, QStringLiteral("100"));
}

TEST_F(ExitDlgTest, EndCutterStopUnloadsAfterTheCycleInProgress)
{
    printer->holdRequest(3); // the cut of cycle 2
    CEndCutterDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("5")));
    ASSERT_TRUE(h.click(IDC_RUN));
    printer->waitHeld();
    ASSERT_TRUE(h.click(IDC_STOP));
    printer->release();
    ASSERT_TRUE(waitIdle(h));
    const auto requests = printer->requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[3].block.Command, 2u);
    EXPECT_FALSE(lines(h).contains(QStringLiteral("== End ==")));
    // The next run has its own, clear flag: it loads again and runs to its end.
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("2")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(processUntil([&] { return lines(h).count(QStringLiteral(" ")) == 1; }));
    EXPECT_EQ(printer->requests().size(), 8u);
    h.pressEscape();
}

TEST_F(ExitDlgTest, PrintHeadLiftTestTypeLocksTotalCycle)
{
    GetTestSettings<CPrintHeadLiftSettings>()->cycle = 5;
    GetTestSettings<CPrintHeadLiftSettings>()->testType = 1; // "Homing", applied at opening too
    GetTestSettings<CPrintHeadLiftSettings>()->totalPulses = 777;
    GetTestSettings<CPrintHeadLiftSettings>()->Save();
    {
    printer->respond([](int, const Request&) { return Answer{true, 0, 321}; });
    CPrintHeadLiftDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.text(IDC_TOTAL_CYCLE), QStringLiteral("1"));
    EXPECT_FALSE(h.enabled(IDC_TOTAL_CYCLE));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(runEnds(h));
    EXPECT_EQ(cycleLines(h), QStringList{"1. Run motor - OK - 321 ms "});
    EXPECT_EQ(printer->requests().size(), 1u);
    ASSERT_TRUE(waitIdle(h));
    ASSERT_TRUE(h.click(IDC_PHL_FULL_CYCLE));
    EXPECT_TRUE(h.enabled(IDC_TOTAL_CYCLE));
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("3")));
    ASSERT_TRUE(h.click(IDC_PHL_ACTIVATE));
    EXPECT_EQ(h.text(IDC_TOTAL_CYCLE), QStringLiteral("1"));
    EXPECT_FALSE(h.enabled(IDC_TOTAL_CYCLE));
    h.pressEscape();
    }
    EXPECT_EQ(GetTestSettings<CPrintHeadLiftSettings>()->testType, 2);
    EXPECT_EQ(GetTestSettings<CPrintHeadLiftSettings>()->totalPulses, 777);
}

TEST_F(ExitDlgTest, EachDialogGoesAwayWhileItsWorkerIsInsideARequest)
{
    for (int which = 0; which < 3; ++which) {
        SCOPED_TRACE(which);
        usePrinter(sizeof(protocol::SequenceBlock));
        printer->holdRequest(1);
        std::unique_ptr<vantor::CTestDlg> dlg;
        if (which == 0)
            dlg = std::make_unique<CEjectorDlg>();
        else if (which == 1)
            dlg = std::make_unique<CEndCutterDlg>();
        else
            dlg = std::make_unique<CPrintHeadLiftDlg>();
        {
            DialogHarness h(*dlg);
            ASSERT_TRUE(h.open());
            ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("1")));
            ASSERT_TRUE(h.click(IDC_RUN));
            printer->waitHeld();
        }
        // Let the request return once the dialog is being destroyed; the
        // worker must not reach the dialog from then on (the sanitizer builds
        // catch a stray access).
        std::atomic<bool> destroying{false};
        std::thread releaser([&destroying, p = printer] {
            while (!destroying.load())
                std::this_thread::yield();
            p->release();
        });
        destroying = true;
        dlg.reset();
        releaser.join();
        EXPECT_GE(printer->requests().size(), 1u);
    }
}
