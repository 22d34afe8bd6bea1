#include "ui/testing/TestApp.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <array>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "TapeRewindTestDevice.h"
#include "platform/Clock.h"
#include "sim/printer/SimulatedDevices.h"
#include "protocol/RequestCodes.h"
#include "ui/testing/DialogHarness.h"
#include "vantor/app/CVantorDlg.h"
#include "ui/testing/PromptRecorder.h"
#include "vantor/res/VantorResources.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/screens/motion/CTapeRewindDlg.h"

using namespace std::chrono_literals;
using tape_rewind_test::RecordingPrinter;
using ui::testing::DialogHarness;
using ui::testing::processUntil;

namespace {

QApplication& app() { return ui::testing::testApp(); }

const QString kStart = QStringLiteral("== Start ==");
const QString kEnd = QStringLiteral("== End ==");
const QString kTimeLine = QStringLiteral("02/01/2026 03:04:05"); // the manual clock's start

struct TapeRewindDlgTest : ::testing::Test {
    QTemporaryDir dir;
    QString iniPath;
    platform::ManualClock clock;
    platform::ScopedClock clockScope{clock};
    std::unique_ptr<ScopedSettingsContext> settings;
    ui::testing::ScopedPromptRecorder prompts;
    std::shared_ptr<RecordingPrinter> printer = std::make_shared<RecordingPrinter>();

    void SetUp() override
    {
        app();
        vantor::installBuiltinResources();
        iniPath = dir.filePath(QStringLiteral("Vantor.ini"));
        QFile f(iniPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)); // saves only replace an existing file
        f.close();
        settings = std::make_unique<ScopedSettingsContext>(iniPath);
        platform::registerDevice(QStringLiteral("PRN1:"), printer);
    }
    void TearDown() override
    {
        platform::unregisterDevice(QStringLiteral("PRN1:"));
        settings.reset();
    }

    CTapeRewindSettings& record(int mode)
    {
        return *GetTestSettings<CTapeRewindSettings>(CTapeRewindSettings::IndexOfMode(mode));
    }
    QString profile(const char* name, const QByteArray& text)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }

    static QStringList lines(DialogHarness& h) { return h.listItems(IDC_RESULT_LIST); }
    static bool ended(DialogHarness& h) { return lines(h).contains(QStringLiteral(" ")); }
    // Until RUN is usable again: the worker goes idle one (virtual) second
    // after the run event is cleared.
    bool waitIdle(DialogHarness& h)
    {
        return processUntil([&] {
            if (h.enabled(IDC_RUN))
                return true;
            clock.advance(50ms);
            return false;
        });
    }
    void close(DialogHarness& h)
    {
        h.pressEscape();
        EXPECT_TRUE(h.ended());
    }
};

} // namespace

TEST_F(TapeRewindDlgTest, EachModeShowsItsCaptionAndControls)
{
    struct Expect {
        const char* caption;
        bool vref, capture, pulses, wait;
    };
    const Expect expect[] = {
        {"TAPE REWIND TEST", true, false, true, false},
        {"TAPE ROLL TIGHTNESS TEST", false, true, true, false},
        {"TAPE OVERSHOOT TEST", false, false, false, true},
    };
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(mode);
        CTapeRewindDlg dlg(mode);
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_EQ(dlg.windowTitle(), QString::fromLatin1(expect[mode].caption));
        for (int id : {IDC_TR_VREF_LABEL, IDC_TR_VREF, IDC_TR_VREF_VALUE})
            EXPECT_EQ(h.visible(id), expect[mode].vref) << id;
        for (int id : {IDC_TR_CAPTURE_LABEL, IDC_TR_CAPTURE}) {
            EXPECT_EQ(h.visible(id), expect[mode].capture) << id;
            EXPECT_EQ(h.enabled(id), expect[mode].capture) << id;
        }
        for (int id : {IDC_TR_PULSES_LABEL, IDC_TR_PULSES}) {
            EXPECT_EQ(h.visible(id), expect[mode].pulses) << id;
            EXPECT_EQ(h.enabled(id), expect[mode].pulses) << id;
        }
        for (int id : {IDC_TR_WAIT_LABEL, IDC_TR_WAIT})
            EXPECT_EQ(h.visible(id), expect[mode].wait) << id;
        EXPECT_EQ(h.text(IDC_CYCLE), QStringLiteral("0"));
        EXPECT_TRUE(h.enabled(IDC_RUN));
        close(h);
    }
}

TEST_F(TapeRewindDlgTest, ControlsShowTheRecordAndFollowTheEnableRules)
{
    CTapeRewindSettings& r = record(0);
    r.speed.initialSpeedType = 1;
    r.speed.rampUpProfile = QStringLiteral("up.txt");
    r.speed.constantSpeed = 900;
    r.vref = 7;
    r.totalPulses = 1500;
    r.stepMode = 2;
    r.tension = 1;
    r.postHold = 30;
    r.cycle = 4;
    r.pause = 100;
    r.cumulativeCycle = 12;
    // The dialog loads the record from the store, which holds these values.
    r.Save();

    CTapeRewindDlg dlg(0);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.radioIndex(IDC_TR_CONSTANT), 1);
    EXPECT_EQ(h.text(IDC_TR_CONSTANT_SPEED), QStringLiteral("900"));
    EXPECT_EQ(h.text(IDC_TR_RAMP_UP_PATH), QStringLiteral("up.txt"));
    EXPECT_EQ(h.sliderPos(IDC_TR_VREF), 7);
    EXPECT_EQ(h.text(IDC_TR_VREF_VALUE), QStringLiteral("  7"));
    EXPECT_EQ(h.text(IDC_TR_PULSES), QStringLiteral("1500"));
    EXPECT_EQ(h.radioIndex(IDC_TR_FULL), 2);
    EXPECT_EQ(h.radioIndex(IDC_TR_LOW), 1);
    EXPECT_EQ(h.text(IDC_TR_POST_HOLD), QStringLiteral("30"));
    EXPECT_EQ(h.text(IDC_TOTAL_CYCLE), QStringLiteral("4"));
    EXPECT_EQ(h.text(IDC_PAUSE), QStringLiteral("100"));
    EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QStringLiteral("12"));

    EXPECT_EQ(h.text(IDC_TR_WAIT_LABEL), QStringLiteral("Wait To Read Encoder\nAfter Ramp Down (ms):"));
    EXPECT_EQ(h.text(IDC_TR_CAPTURE_LABEL), QStringLiteral("Capture Encoder From:"));
    EXPECT_EQ(h.text(IDC_TR_USE_RAMP_DOWN), QStringLiteral(" Ramp Down Profile:"));
    EXPECT_EQ(h.text(IDC_TR_VREF_LABEL), QStringLiteral("VRef :"));
    EXPECT_EQ(h.text(IDC_TR_QUARTER), QStringLiteral("1/4 "));

    // Ramp-up chosen: constant box off, its Browse on; ramp-down unchecked.
    EXPECT_FALSE(h.enabled(IDC_TR_CONSTANT_SPEED));
    EXPECT_TRUE(h.enabled(IDC_TR_RAMP_UP_BROWSE));
    EXPECT_FALSE(h.enabled(IDC_TR_RAMP_DOWN_BROWSE));
    ASSERT_TRUE(h.click(IDC_TR_CONSTANT));
    EXPECT_TRUE(h.enabled(IDC_TR_CONSTANT_SPEED));
    EXPECT_FALSE(h.enabled(IDC_TR_RAMP_UP_BROWSE));
    ASSERT_TRUE(h.click(IDC_TR_USE_RAMP_DOWN));
    EXPECT_TRUE(h.enabled(IDC_TR_RAMP_DOWN_BROWSE));
    ASSERT_TRUE(h.click(IDC_TR_USE_RAMP_DOWN));
    EXPECT_FALSE(h.enabled(IDC_TR_RAMP_DOWN_BROWSE));

    // The slider runs 1..255 and its label follows it as "%3d".
    ASSERT_TRUE(h.setSliderPos(IDC_TR_VREF, 300));
    EXPECT_EQ(h.sliderPos(IDC_TR_VREF), 255);
    EXPECT_EQ(h.text(IDC_TR_VREF_VALUE), QStringLiteral("255"));
    ASSERT_TRUE(h.setSliderPos(IDC_TR_VREF, 42));
    EXPECT_EQ(h.text(IDC_TR_VREF_VALUE), QStringLiteral(" 42"));

    // Browse puts the chosen path into the read-only box.
    prompts.answerFile(QStringLiteral("/profiles/down.txt"));
    ASSERT_TRUE(h.click(IDC_TR_USE_RAMP_DOWN));
    ASSERT_TRUE(h.click(IDC_TR_RAMP_DOWN_BROWSE));
    EXPECT_EQ(h.text(IDC_TR_RAMP_DOWN_PATH), QStringLiteral("/profiles/down.txt"));
    ASSERT_EQ(prompts.fileDialogs().size(), 1u);
    EXPECT_EQ(prompts.fileDialogs()[0].ask.filter, QStringLiteral("All Files (*.*)|*.*||"));
    close(h);
}

TEST_F(TapeRewindDlgTest, TwoCycleRunListsEncoderLinesAndEndsAgainstTheSimulator)
{
    platform::unregisterDevice(QStringLiteral("PRN1:"));
    sim::SimConfig config;
    config.timeScale = 0;
    config.keyboardPresent = false;
    config.stateFile = dir.filePath(QStringLiteral("state.ini"));
    sim::SimulatedDevices devices = sim::registerSimulatedDevices(config);
    ASSERT_TRUE(devices.printer);

    CTapeRewindSettings& r = record(0);
    r.speed.constantSpeed = 800;
    r.vref = 200;
    r.totalPulses = 2000;
    r.stepMode = 2;
    r.cycle = 2;
    r.Save();
    {
        CTapeRewindDlg dlg(0);
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_RUN));
        EXPECT_FALSE(h.enabled(IDC_RUN));
        ASSERT_TRUE(processUntil([&] { return ended(h); }));
        const QStringList l = lines(h);
        ASSERT_EQ(l.size(), 6) << l.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(l[0], kStart);
        EXPECT_EQ(l[1], kTimeLine);
        const QRegularExpression ok(QStringLiteral("^(\\d)\\. Tape Rewind - OK \\(Encoder (-?\\d+)\\)$"));
        for (int i = 0; i < 2; ++i) {
            const auto m = ok.match(l[2 + i]);
            ASSERT_TRUE(m.hasMatch()) << l[2 + i].toStdString();
            EXPECT_EQ(m.captured(1).toInt(), i + 1);
            EXPECT_GT(m.captured(2).toInt(), 0); // the simulated spool turned
        }
        EXPECT_EQ(l[4], kEnd);
        EXPECT_EQ(l[5], QStringLiteral(" "));
        EXPECT_TRUE(processUntil([&] { return h.text(IDC_CYCLE) == QStringLiteral("2"); }));
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QStringLiteral("2"));
        EXPECT_TRUE(waitIdle(h));
        close(h);
    }
    sim::unregisterSimulatedDevices(devices);
    EXPECT_TRUE(prompts.texts().isEmpty());
}

TEST_F(TapeRewindDlgTest, EachModeSendsItsCommandAndRecordBytes)
{
    const std::array<uint32_t, 3> kCommands = {11, 26, 25};
    const QString up = profile("up.txt", "300\n600\n900\n");
    const QString down = profile("down.txt", "900\n300\n");
    for (int mode = 0; mode < 3; ++mode) {
        CTapeRewindSettings& r = record(mode);
        r.speed = {1, 500, up, 1, down};
        r.vref = 100;             // kept by mode 0 only
        r.totalPulses = 5000;     // mode 2: in the hidden box, never sent
        r.captureEncoderFrom = 1200;
        r.waitToRead = 250;
        r.stepMode = 3;
        r.tension = 1;
        r.postHold = 40;
        r.cycle = 1;
        r.Save();
    }
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(mode);
        const size_t before = printer->requests().size();
        CTapeRewindDlg dlg(mode);
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_RUN));
        ASSERT_TRUE(processUntil([&] { return ended(h); }));
        EXPECT_TRUE(waitIdle(h));
        close(h);

        const auto requests = printer->requests();
        ASSERT_EQ(requests.size(), before + 1);
        const RecordingPrinter::Request& q = requests.back();
        EXPECT_EQ(q.code, protocol::IOCTL_PRN_MOTION);
        EXPECT_EQ(q.inLen, 12u);
        EXPECT_EQ(q.outLen, 4u);
        EXPECT_EQ(q.block.Target, 6u);
        EXPECT_EQ(q.block.Command, kCommands[size_t(mode)]);
        ASSERT_TRUE(q.recordResolved);
        const protocol::TapeRewindRecord& b = q.record;
        EXPECT_EQ(b.mode, 1);
        EXPECT_EQ(b.stepMode, 3);
        EXPECT_EQ(b.constantSpeed, 900);
        EXPECT_EQ(b.postHold, 40);
        EXPECT_EQ(b.rampUpEntries, 3);
        EXPECT_EQ(b.rampDownEntries, 2);
        EXPECT_EQ(b.constantPulses, mode == 2 ? 0 : 5000 - 3 - 2);
        EXPECT_EQ(b.captureEncoderFrom, mode == 1 ? 1200 : 0);
        EXPECT_EQ(b.waitToRead, mode == 2 ? 250 : 0);
        EXPECT_EQ(b.vref, mode == 0 ? 100 : 255);
        EXPECT_EQ(b.word8, 0);
        EXPECT_EQ(b.word20, 0);
        EXPECT_EQ(b.word40, 0);
        EXPECT_EQ(lines(h).value(2),
                  QStringLiteral("1. %1 - OK (Encoder %2)")
                      .arg(vantor::motion::TapeRewindTestName(mode))
                      .arg(RecordingPrinter::encoderOf(int(requests.size()))));
    }
}

TEST_F(TapeRewindDlgTest, TotalOfZeroStillRunsOneCycle)
{
    record(1).cycle = 0;
    record(1).Save();
    CTapeRewindDlg dlg(1);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("0")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(processUntil([&] { return ended(h); }));
    EXPECT_TRUE(prompts.texts().isEmpty()); // no "Total Cycle" check here
    EXPECT_EQ(lines(h), QStringList({kStart, kTimeLine,
                                     QStringLiteral("1. Tape Roll Tightness - OK (Encoder %1)").arg(RecordingPrinter::encoderOf(1)),
                                     kEnd, QStringLiteral(" ")}));
    EXPECT_EQ(printer->requests().size(), 1u);
    EXPECT_TRUE(waitIdle(h));
    close(h);
}

TEST_F(TapeRewindDlgTest, FailedRequestsAreCountedAndTheRunGoesOn)
{
    printer->failRequest(2);
    CTapeRewindDlg dlg(2);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("3")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(processUntil([&] { return ended(h); }));
    const QStringList l = lines(h);
    ASSERT_EQ(l.size(), 7);
    EXPECT_EQ(l[2], QStringLiteral("1. Tape Overshoot - OK (Encoder %1)").arg(RecordingPrinter::encoderOf(1)));
    EXPECT_EQ(l[3], QStringLiteral("2. Tape Overshoot - FAIL"));
    EXPECT_EQ(l[4], QStringLiteral("3. Tape Overshoot - OK (Encoder %1)").arg(RecordingPrinter::encoderOf(3)));
    EXPECT_EQ(l[5], kEnd);
    EXPECT_TRUE(processUntil([&] { return h.text(IDC_CYCLE) == QStringLiteral("3"); }));
    EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QStringLiteral("3"));

    // A second run numbers from 1 again; the cumulative count goes on.
    ASSERT_TRUE(waitIdle(h));
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("1")));
    ASSERT_TRUE(h.click(IDC_CLEAR));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(processUntil([&] { return ended(h); }));
    EXPECT_EQ(lines(h).value(2), QStringLiteral("1. Tape Overshoot - OK (Encoder %1)").arg(RecordingPrinter::encoderOf(4)));
    EXPECT_TRUE(processUntil([&] { return h.text(IDC_CUMULATIVE_CYCLE) == QStringLiteral("4"); }));
    EXPECT_EQ(h.text(IDC_CYCLE), QStringLiteral("1"));
    EXPECT_TRUE(waitIdle(h));
    close(h);
    EXPECT_EQ(record(2).cumulativeCycle, 4);
}

TEST_F(TapeRewindDlgTest, StopMidRunWritesNoEndAndFreesRunAgain)
{
    printer->holdRequest(2);
    CTapeRewindDlg dlg(0);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("5")));
    ASSERT_TRUE(h.click(IDC_RUN));
    printer->waitHeld(); // the worker is inside the second request
    ASSERT_TRUE(h.click(IDC_STOP));
    printer->release();
    ASSERT_TRUE(processUntil([&] { return h.text(IDC_CYCLE) == QStringLiteral("2"); }));
    ASSERT_TRUE(waitIdle(h));
    const QStringList l = lines(h);
    EXPECT_EQ(l.size(), 4) << l.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(l.value(3), QStringLiteral("2. Tape Rewind - OK (Encoder %1)").arg(RecordingPrinter::encoderOf(2)));
    EXPECT_FALSE(l.contains(kEnd));
    EXPECT_EQ(printer->requests().size(), 2u);
    EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QStringLiteral("2"));
    close(h);
}

TEST_F(TapeRewindDlgTest, RampUpProfileWithoutEntriesRefusesTheRun)
{
    record(0).speed.initialSpeedType = 1;
    record(0).speed.rampUpProfile = profile("blank.txt", "\n");
    record(0).cycle = 2;
    record(0).Save();
    CTapeRewindDlg dlg(0);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_RUN));
    EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral("File in \"Ramp Up Profile\" of Tape Rewind has no value\n")}));
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].ask.caption, QStringLiteral("Vantor"));
    EXPECT_TRUE(lines(h).isEmpty());
    EXPECT_TRUE(h.enabled(IDC_RUN));
    EXPECT_TRUE(printer->requests().empty());

    // With a file that has entries the same dialog runs.
    ASSERT_TRUE(h.click(IDC_TR_CONSTANT));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(processUntil([&] { return ended(h); }));
    EXPECT_EQ(printer->requests().size(), 2u);
    EXPECT_TRUE(waitIdle(h));
    close(h);
}

TEST_F(TapeRewindDlgTest, ClosingStoresTheValuesButNeverTheTension)
{
    {
        CTapeRewindDlg dlg(1);
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_EQ(h.radioIndex(IDC_TR_LOW), 0); // Low at program start
        ASSERT_TRUE(h.click(IDC_TR_HIGH));
        ASSERT_TRUE(h.setText(IDC_TR_PULSES, QStringLiteral("2500")));
        ASSERT_TRUE(h.setText(IDC_TR_CAPTURE, QStringLiteral("900")));
        ASSERT_TRUE(h.setText(IDC_PAUSE, QStringLiteral("75")));
        close(h);
    }
    CSettingsFile file;
    ASSERT_TRUE(file.Load(iniPath));
    const QString section = QStringLiteral("Tape Roll Tightness");
    for (const char* key : {"InitialSpeedType", "ConstantSpeed", "RampUpProfile", "UseRampDown", "RampDownProfile",
                            "TotalPulses", "CaptureEncoderFrom", "StepMode", "PostHold", "pause", "cycle",
                            "CumulativeCycle"})
        EXPECT_TRUE(file.HasKey(section, QString::fromLatin1(key))) << key;
    for (const char* key : {"Vref", "WaitToRead", "Tension"})
        EXPECT_FALSE(file.HasKey(section, QString::fromLatin1(key))) << key;
    EXPECT_FALSE(file.HasSection(QStringLiteral("Tape Rewind"))); // no other section written
    file.SetSection(section);
    EXPECT_EQ(file.GetInt(QStringLiteral("CaptureEncoderFrom"), -1), 900);
    EXPECT_EQ(file.GetInt(QStringLiteral("pause"), -1), 75);

    // Reopened in the same program run: the tension is still High.
    CTapeRewindDlg dlg(1);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.radioIndex(IDC_TR_LOW), 1);
    EXPECT_EQ(h.text(IDC_TR_PULSES), QStringLiteral("2500"));
    close(h);
}

TEST_F(TapeRewindDlgTest, MenuButtonsOpenTheirModes)
{
    const struct {
        int button;
        int mode;
        const char* caption;
    } rows[] = {
        {1000, 0, "TAPE REWIND TEST"},
        {1015, 1, "TAPE ROLL TIGHTNESS TEST"},
        {1013, 2, "TAPE OVERSHOOT TEST"},
    };
    vantor::CVantorDlg menu;
    DialogHarness h(menu);
    ASSERT_TRUE(h.open());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        int mode = -1;
        QString caption;
        // The screen runs modally inside the click: look at it from the
        // event loop, then close it as the operator would.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dlg = qobject_cast<CTapeRewindDlg*>(w);
                if (dlg && dlg->isCreated() && dlg->isVisible() && !dlg->hasEnded()) {
                    mode = dlg->mode();
                    caption = dlg->windowTitle();
                    dlg->command(ui::IDCANCEL);
                }
            }
        });
        poll.start(1);
        ASSERT_TRUE(h.click(row.button));
        poll.stop();
        EXPECT_EQ(mode, row.mode);
        EXPECT_EQ(caption, QString::fromLatin1(row.caption));
    }
    h.pressEscape();
}

TEST_F(TapeRewindDlgTest, SectionWithoutVrefRunsAtTheLowestSliderStep)
{
    // The file has no "Vref": the load gives 0, which the 1..255 slider
    // cannot show; label and request both take the slider's 1.
    EXPECT_EQ(record(0).vref, 255); // before the first load
    CTapeRewindDlg dlg(0);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(record(0).vref, 0);
    EXPECT_EQ(h.sliderPos(IDC_TR_VREF), 1);
    EXPECT_EQ(h.text(IDC_TR_VREF_VALUE), QStringLiteral("  1"));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(processUntil([&] { return ended(h); }));
    ASSERT_EQ(printer->requests().size(), 1u);
    EXPECT_EQ(printer->requests()[0].record.vref, 1);
    EXPECT_TRUE(waitIdle(h));
    close(h);
}
