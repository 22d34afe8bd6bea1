// The test dialog base against the simulated printer (time scale 0), a gated
// fake printer and no printer at all. Time is a manual clock throughout.
#include "ui/testing/TestApp.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <cstring>
#include <thread>

#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "platform/testing/RecordingDevice.h"
#include "sim/printer/SimulatedDevices.h"
#include "ui/Resources.h"
#include "ui/ResultList.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"
#include "protocol/CommandChannel.h"
#include "protocol/DriverRecord.h"
#include "protocol/PlatenMoveParams.h"
#include "protocol/RequestCodes.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"
#include "vantor/settings/TestSettingsStore.h"

using namespace std::chrono_literals;
using namespace vantor;
using ui::testing::DialogHarness;
using ui::testing::processUntil;

namespace {

constexpr int IDD_FRAMEWORK_TEST = 300, IDC_PULSES = 1050, IDC_PROFILE = 1051, IDC_BROWSE_PROFILE = 1052;
const QString kTimeLine = QStringLiteral("02/01/2026 03:04:05"); // the manual clock's start

QApplication& app() { return ui::testing::testApp(); }

// A platen-like test: one platen move per cycle, its run built from the
// bound copy of the "Platen" record.
class CycleRun : public TestRun {
public:
    CycleRun(DriverRef driver, int32_t pulses, bool batch) : m_driver(std::move(driver)), m_batch(batch)
    {
        m_move->platen.direction = 1;
        m_move->platen.constantPulses = pulses;
        m_move->platen.constantSpeed = 1000;
        m_move->word140 = 1;
        m_move.setCommand(protocol::target::Platen, protocol::cmd::motion::PlatenMove);
    }
    void cycle(int cycle, int, RunSink& sink) override
    {
        int32_t count = 0;
        const bool ok = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_MOTION, m_move.block(), &count, 4);
        if (m_batch) {
            QStringList lines;
            for (int i = 0; i < 3000; ++i)
                lines << QStringLiteral("%1,%2").arg(cycle).arg(i);
            sink.addLines(std::move(lines));
        }
        sink.addLine(ok ? QStringLiteral("%1. Total encode = %2 ").arg(cycle).arg(count)
                        : QStringLiteral("%1. Run Platen - FAIL").arg(cycle));
    }

private:
    DriverRef m_driver;
    bool m_batch;
    protocol::DriverRecord<protocol::PlatenMoveParams> m_move;
};

QString validatePulses(const CPlatenSettings& r)
{
    return r.totalPulses < 1 ? QStringLiteral("\"Total No. of Pulses\" must greater than 0.\n") : QString();
}
// Set by the tests before RUN; read only while the run is prepared.
bool g_refuseBuild = false;
bool g_batch = false;
PreparedRun prepareCycle(const CPlatenSettings& r, const DriverRef& driver)
{
    if (g_refuseBuild)
        return PreparedRun::refuse(QStringLiteral("File in \"Ramp Up Profile\" of Platen not exist\n"));
    return PreparedRun::of(std::make_unique<CycleRun>(driver, r.totalPulses, g_batch));
}
const TestDefinition<CPlatenSettings> kCycleTest{&validatePulses, true, &prepareCycle};

class CycleDlg : public TestDialog<CPlatenSettings> {
public:
    CycleDlg() : TestDialog(IDD_FRAMEWORK_TEST, kCycleTest)
    {
        g_refuseBuild = false;
        g_batch = false;
        bind(IDC_PULSES, m_values.totalPulses);
        bind(IDC_PROFILE, m_values.speed.rampUpProfile);
        bindBrowse(IDC_BROWSE_PROFILE, IDC_PROFILE);
    }
    using CTestDlg::addLine;

    std::atomic<bool> closing{false};
    std::atomic<bool> overdue{false};

protected:
    void onClosing() override { closing = true; }
    void onCloseOverdue() override { overdue = true; }
};

// Each request holds at the gate until the test releases it.
class GatedPrinter : public platform::testing::RecordingDevice {
public:
    GatedPrinter() { gated = true; }
};

class FrameworkTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    platform::ManualClock clock;
    platform::ScopedClock scopedClock{clock};
    std::unique_ptr<ScopedSettingsContext> settings;
    ui::testing::ScopedPromptRecorder prompts;
    sim::SimulatedDevices devices;
    QString iniPath;

    void SetUp() override
    {
        app();
        auto r = ui::parseResourceFile(QStringLiteral(FRAMEWORK_TEST_RC));
        ASSERT_TRUE(r.ok()) << r.error.toString().toStdString();
        ui::Resources::setBuiltin(std::move(*r.script));
        platform::setDeviceRoot(dir.filePath(QStringLiteral("device")));
        // Saves replace an existing file only: give them one.
        iniPath = dir.filePath(QStringLiteral("Vantor.ini"));
        QFile f(iniPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        settings = std::make_unique<ScopedSettingsContext>(iniPath);
    }
    void TearDown() override
    {
        sim::unregisterSimulatedDevices(devices);
        platform::unregisterDevice(QStringLiteral("PRN1:"));
        settings.reset();
        platform::setDeviceRoot(QString());
    }

    void startSimulator()
    {
        sim::SimConfig c;
        c.timeScale = 0.0;
        devices = sim::registerSimulatedDevices(c);
    }
    std::shared_ptr<GatedPrinter> startGated()
    {
        auto p = std::make_shared<GatedPrinter>();
        platform::registerDevice(QStringLiteral("PRN1:"), p);
        return p;
    }

    // Moves virtual time on in small steps until `done` holds: the worker
    // may begin its idle wait after any one step.
    bool advanceUntil(const std::function<bool()>& done)
    {
        // A real deadline that only trips on a hang, not a count of steps:
        // a loaded machine may keep the worker from a core for a while.
        for (auto deadline = std::chrono::steady_clock::now() + 60s; std::chrono::steady_clock::now() < deadline;) {
            ui::testing::processEvents();
            if (done())
                return true;
            clock.advance(10ms);
            std::this_thread::sleep_for(50us);
        }
        return done();
    }
    static bool ended(DialogHarness& h) { return !h.listItems(IDC_RESULT_LIST).isEmpty() && h.listItems(IDC_RESULT_LIST).last() == " "; }
    static QStringList afterLast(const QStringList& lines, const QString& marker)
    {
        return lines.mid(lines.lastIndexOf(marker) + 1);
    }
    bool runCycles(DialogHarness& h, int cycles)
    {
        const qsizetype before = h.listItems(IDC_RESULT_LIST).count(QStringLiteral(" "));
        return h.setText(IDC_TOTAL_CYCLE, QString::number(cycles)) && h.click(IDC_RUN) &&
               processUntil([&] { return h.listItems(IDC_RESULT_LIST).count(QStringLiteral(" ")) == before + 1; });
    }
    // A key of the platen section as Vantor.ini holds it now.
    int saved(const char* key)
    {
        CSettingsFile f;
        if (!f.Load(iniPath))
            return -999;
        f.SetSection(QStringLiteral("Platen"));
        return f.GetInt(QString::fromLatin1(key), -1);
    }
    static QRegularExpression encodeLine(int n)
    {
        return QRegularExpression(QStringLiteral("^%1\\. Total encode = \\d+ $").arg(n));
    }
};

} // namespace

TEST_F(FrameworkTest, RunsFramedByStartTimeEndAndSpace)
{
    startSimulator();
    CycleDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_PULSES, "200"));
    ASSERT_TRUE(h.setText(IDC_PAUSE, "250"));
    ASSERT_TRUE(runCycles(h, 3));

    QStringList lines = h.listItems(IDC_RESULT_LIST);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], "== Start ==");
    EXPECT_EQ(lines[1], kTimeLine);
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(encodeLine(n).match(lines[1 + n]).hasMatch()) << lines[1 + n].toStdString();
    EXPECT_EQ(lines[5], "== End ==");
    EXPECT_EQ(lines[6], " ");
    EXPECT_TRUE(processUntil([&] { return h.text(IDC_CYCLE) == "3"; }));
    EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), "3");
    EXPECT_EQ(dlg.listCurrent(IDC_RESULT_LIST), 6); // the last line is selected

    // RUN stays disabled until the worker's idle wait times out.
    EXPECT_FALSE(h.enabled(IDC_RUN));
    EXPECT_TRUE(advanceUntil([&] { return h.enabled(IDC_RUN); }));

    // A one-cycle run, after the three: numbering starts at 1 again.
    ASSERT_TRUE(runCycles(h, 1));
    lines = afterLast(h.listItems(IDC_RESULT_LIST), QStringLiteral("== Start =="));
    ASSERT_EQ(lines.size(), 4);
    // The clock has moved on: the time line says so.
    EXPECT_EQ(lines[0], platform::formatTimeStamp(clock.localTime()));
    EXPECT_NE(lines[0], kTimeLine);
    EXPECT_TRUE(encodeLine(1).match(lines[1]).hasMatch()) << lines[1].toStdString();
    EXPECT_EQ(lines.mid(2), (QStringList{"== End ==", " "}));
    EXPECT_TRUE(processUntil([&] { return h.text(IDC_CYCLE) == "1"; }));
    EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), "4");
    EXPECT_EQ(GetTestSettings<CPlatenSettings>()->cumulativeCycle, 4);
    h.pressEscape();
}

TEST_F(FrameworkTest, ValidationListsEveryFailureInOneBoxAndStartsNothing)
{
    startSimulator();
    CycleDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, ""));
    ASSERT_TRUE(h.setText(IDC_PULSES, "0"));
    ASSERT_TRUE(h.setText(IDC_PAUSE, "70"));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_EQ(prompts.count(), 1u);
    const auto box = prompts.boxes().front().ask;
    EXPECT_EQ(box.text, "\"Total Cycle\" must greater than 0.\n\"Total No. of Pulses\" must greater than 0.\n");
    EXPECT_EQ(box.caption, "Vantor");
    EXPECT_EQ(box.buttons, ui::MsgButtons::Ok);

    // Total alone at 0 is refused too; nothing reached the record or the list.
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, "0"));
    ASSERT_TRUE(h.setText(IDC_PULSES, "10"));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_EQ(prompts.count(), 2u);
    EXPECT_EQ(prompts.texts().back(), "\"Total Cycle\" must greater than 0.\n");
    ui::testing::processEvents();
    EXPECT_TRUE(h.listItems(IDC_RESULT_LIST).isEmpty());
    EXPECT_TRUE(h.enabled(IDC_RUN));
    EXPECT_EQ(GetTestSettings<CPlatenSettings>()->pause, 0);
    EXPECT_EQ(GetTestSettings<CPlatenSettings>()->totalPulses, 0);

    // A test may still refuse the run while preparing it: that refusal
    // changes nothing either (record, "Cycle:", list), and RUN stays.
    g_refuseBuild = true;
    const int cycleBefore = GetTestSettings<CPlatenSettings>()->cycle;
    dlg.setText(IDC_CYCLE, QStringLiteral("7"));
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, "2"));
    ASSERT_TRUE(h.click(IDC_RUN));
    EXPECT_EQ(prompts.texts().back(), "File in \"Ramp Up Profile\" of Platen not exist\n");
    EXPECT_TRUE(h.enabled(IDC_RUN));
    EXPECT_TRUE(h.listItems(IDC_RESULT_LIST).isEmpty());
    EXPECT_EQ(h.text(IDC_CYCLE), "7");
    EXPECT_EQ(GetTestSettings<CPlatenSettings>()->cycle, cycleBefore);
    EXPECT_EQ(GetTestSettings<CPlatenSettings>()->totalPulses, 0);
    h.pressEscape();
}

TEST_F(FrameworkTest, StopFinishesTheCycleInProgressAndWritesNoEnd)
{
    auto printer = startGated();
    CycleDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.setText(IDC_PULSES, "50"));
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, "10"));
    ASSERT_TRUE(h.click(IDC_RUN));
    platform::waitOne(printer->entered, platform::kInfinite);
    printer->release(); // cycle 1 done
    platform::waitOne(printer->entered, platform::kInfinite);
    ASSERT_TRUE(h.click(IDC_STOP)); // while cycle 2 is inside its request
    printer->release();
    ASSERT_TRUE(processUntil([&] { return h.text(IDC_CYCLE) == "2"; }));
    EXPECT_FALSE(h.enabled(IDC_RUN));

    ASSERT_TRUE(advanceUntil([&] { return h.enabled(IDC_RUN); }));
    EXPECT_EQ(printer->count(), 2);
    EXPECT_EQ(h.listItems(IDC_RESULT_LIST),
              (QStringList{"== Start ==", kTimeLine, "1. Total encode = 1234 ", "2. Total encode = 1234 "}));
    EXPECT_EQ(h.text(IDC_CYCLE), "2");
    EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), "2");

    // Reset and Clear.
    ASSERT_TRUE(h.click(IDC_RESET));
    EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), "0");
    EXPECT_EQ(GetTestSettings<CPlatenSettings>()->cumulativeCycle, 0);
    ASSERT_TRUE(h.click(IDC_CLEAR));
    EXPECT_TRUE(h.listItems(IDC_RESULT_LIST).isEmpty());
    h.pressEscape();
}

TEST_F(FrameworkTest, DriverAbsentFailsEveryCycleAndBatchLinesArrive)
{
    // No PRN1: at all.
    CycleDlg dlg;
    g_batch = true;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.setText(IDC_PULSES, "5"));
    ASSERT_TRUE(runCycles(h, 2));
    const QStringList lines = h.listItems(IDC_RESULT_LIST);
    ASSERT_EQ(lines.size(), 2 + 2 * 3001 + 2);
    EXPECT_EQ(lines[2], "1,0");
    EXPECT_EQ(lines[3001], "1,2999");
    EXPECT_EQ(lines[3002], "1. Run Platen - FAIL");
    EXPECT_EQ(lines[6003], "2. Run Platen - FAIL");
    EXPECT_EQ(lines.mid(6004), (QStringList{"== End ==", " "}));
    EXPECT_EQ(dlg.listCurrent(IDC_RESULT_LIST), int(lines.size()) - 1);
    h.pressEscape();
}

TEST_F(FrameworkTest, CumulativeCountAndParametersOutliveTheDialogAndReachTheFile)
{
    startSimulator();
    {
        CycleDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.setText(IDC_PULSES, "120"));
        ASSERT_TRUE(h.setText(IDC_PAUSE, "-40")); // counts as no pause
        ASSERT_TRUE(runCycles(h, 3));
        EXPECT_TRUE(processUntil([&] { return h.text(IDC_CUMULATIVE_CYCLE) == "3"; }));
        h.pressEscape();
        EXPECT_TRUE(h.ended());
        EXPECT_EQ(h.endCode(), ui::IDCANCEL);
        EXPECT_TRUE(dlg.runner().workerEnded());
    }
    EXPECT_EQ(saved("CumulativeCycle"), 3);
    EXPECT_EQ(saved("cycle"), 3);
    EXPECT_EQ(saved("pause"), -40);
    EXPECT_EQ(saved("TotalPulses"), 120);
    {
        CycleDlg dlg;
        DialogHarness h(dlg);
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), "3");
        EXPECT_EQ(h.text(IDC_TOTAL_CYCLE), "3");
        EXPECT_EQ(h.text(IDC_PULSES), "120");
        ASSERT_TRUE(runCycles(h, 2));
        EXPECT_TRUE(processUntil([&] { return h.text(IDC_CUMULATIVE_CYCLE) == "5"; }));
        ASSERT_TRUE(h.click(IDC_RESET));
        h.pressEscape();
    }
    EXPECT_EQ(saved("CumulativeCycle"), 0);
    EXPECT_EQ(saved("cycle"), 2);
}

TEST_F(FrameworkTest, SaveToFileWritesAnsiLinesWithCrLfAndSaysWhenItCannot)
{
    startSimulator();
    CycleDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.setText(IDC_PULSES, "10"));
    ASSERT_TRUE(runCycles(h, 1));
    dlg.addLine(QStringLiteral("Température 25°"));
    const QStringList lines = h.listItems(IDC_RESULT_LIST);
    ASSERT_EQ(lines.size(), 6);

    const QString path = dir.filePath(QStringLiteral("result.txt"));
    prompts.answerFile(path);
    ASSERT_TRUE(h.click(IDC_SAVE_TO_FILE));
    ASSERT_EQ(prompts.fileDialogs().size(), 1u);
    const ui::FileDialogRequest ask = prompts.fileDialogs().front().ask;
    EXPECT_TRUE(ask.save);
    EXPECT_EQ(ask.filter, "Text (*.txt)|*.txt|All Files (*.*)|*.*||");
    EXPECT_EQ(ask.defaultExtension, "txt");
    EXPECT_TRUE(ask.overwritePrompt);
    EXPECT_TRUE(ask.hideReadOnly);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray expected;
    for (int i = 0; i < 5; ++i)
        expected += lines[i].toLatin1() + "\r\n";
    expected += QByteArray("Temp\xE9rature 25\xB0\r\n");
    EXPECT_EQ(f.readAll(), expected);

    EXPECT_EQ(prompts.count(), 0u);

    // A path that cannot be created: nothing written, and the operator is told.
    const QString bad = dir.filePath(QStringLiteral("no-such-folder/result.txt"));
    prompts.answerFile(bad);
    ASSERT_TRUE(h.click(IDC_SAVE_TO_FILE));
    EXPECT_FALSE(QFile::exists(bad));
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.texts().front(), "Couldn't save the results to " + bad + ".");
    EXPECT_EQ(prompts.boxes().front().ask.icon, ui::MsgIcon::Warning);
    // Cancelled: nothing at all.
    prompts.cancelFile();
    ASSERT_TRUE(h.click(IDC_SAVE_TO_FILE));
    EXPECT_EQ(prompts.fileDialogs().size(), 3u);
    EXPECT_EQ(prompts.count(), 1u);
    h.pressEscape();
}

TEST_F(FrameworkTest, CumulativeCountStopsAtTheLargestTheFileHolds)
{
    settings.reset();
    {
        QFile f(iniPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Platen]\r\nCumulativeCycle=2147483645\r\n");
    }
    settings = std::make_unique<ScopedSettingsContext>(iniPath);
    ASSERT_TRUE(LoadSettingsFile(iniPath));
    startSimulator();
    {
        CycleDlg dlg;
        DialogHarness h(dlg);
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), "2147483645");
        ASSERT_TRUE(h.setText(IDC_PULSES, "10"));
        ASSERT_TRUE(runCycles(h, 4));
        EXPECT_TRUE(processUntil([&] { return h.text(IDC_CYCLE) == "4"; }));
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), "2147483647");
        h.pressEscape();
    }
    EXPECT_EQ(saved("CumulativeCycle"), 2147483647);
}

TEST_F(FrameworkTest, BrowsePutsTheChosenPathIntoItsEditAndEnterDoesNotClose)
{
    CycleDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.setText(IDC_PROFILE, "old.txt"));
    prompts.answerFile(QStringLiteral("/profiles/PlatenRampUp.txt"));
    ASSERT_TRUE(h.click(IDC_BROWSE_PROFILE));
    EXPECT_EQ(h.text(IDC_PROFILE), "/profiles/PlatenRampUp.txt");
    const ui::FileDialogRequest ask = prompts.fileDialogs().front().ask;
    EXPECT_FALSE(ask.save);
    EXPECT_EQ(ask.filter, "All Files (*.*)|*.*||");
    EXPECT_TRUE(ask.defaultExtension.isEmpty());
    EXPECT_TRUE(ask.overwritePrompt);
    EXPECT_TRUE(ask.hideReadOnly);
    prompts.cancelFile();
    ASSERT_TRUE(h.click(IDC_BROWSE_PROFILE));
    EXPECT_EQ(h.text(IDC_PROFILE), "/profiles/PlatenRampUp.txt");

    // Enter in an edit reaches neither the default button (RUN) nor OK.
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, "2"));
    ASSERT_TRUE(h.setText(IDC_PULSES, "5"));
    dlg.setFocus(IDC_TOTAL_CYCLE);
    h.pressEnter();
    ui::testing::processEvents();
    EXPECT_FALSE(h.ended());
    EXPECT_TRUE(h.listItems(IDC_RESULT_LIST).isEmpty());
    EXPECT_TRUE(h.enabled(IDC_RUN));
    EXPECT_EQ(prompts.count(), 0u);
    h.closeBox();
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(h.endCode(), ui::IDCANCEL);
    EXPECT_TRUE(dlg.closing.load());
}

TEST_F(FrameworkTest, ClosingDuringASlowRequestWaitsItOutAndDropsItsLateReports)
{
    auto printer = startGated();
    auto dlg = std::make_unique<CycleDlg>();
    ui::MessagePort port = dlg->port();
    {
        DialogHarness h(*dlg);
        ASSERT_TRUE(h.setText(IDC_PULSES, "50"));
        ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, "5"));
        ASSERT_TRUE(h.click(IDC_RUN));
        platform::waitOne(printer->entered, platform::kInfinite); // cycle 1 never seems to end

        std::atomic<int64_t> waited{0};
        std::thread time([&] {
            while (!dlg->closing.load())
                std::this_thread::yield();
            const auto start = clock.now();
            while (!dlg->overdue.load()) { // the three 5-second waits pass
                clock.advance(10ms);
                std::this_thread::yield();
            }
            waited = (clock.now() - start).count();
            printer->release(); // and now the request returns
        });
        h.pressEscape(); // returns only once the worker has ended
        time.join();
        EXPECT_GE(waited.load(), 15000);
        EXPECT_TRUE(h.ended());
        EXPECT_TRUE(dlg->runner().workerEnded());
        // The cycle's line came after the dialog stopped taking messages.
        EXPECT_EQ(h.listItems(IDC_RESULT_LIST), (QStringList{"== Start ==", kTimeLine}));
    }
    dlg.reset();
    EXPECT_FALSE(port.post(WM_ADD_LINE, 0, 0, ui::Payload::of(QStringLiteral("late"))));
    // The cycle still counts, in the record and in the file.
    EXPECT_EQ(GetTestSettings<CPlatenSettings>()->cumulativeCycle, 1);
    EXPECT_EQ(saved("CumulativeCycle"), 1);
    EXPECT_EQ(printer->count(), 1);
}
