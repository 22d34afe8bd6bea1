// The ribbon colour test: its run sequence and record as sent, its checks,
// and the dialog driven as an operator would, against a recording PRN1: or
// the simulated printer.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <climits>
#include <optional>
#include <thread>

#include "RibbonColorTestDevice.h"
#include "platform/DevicePath.h"
#include "platform/testing/RecordingDevice.h"
#include "protocol/SensorItems.h"
#include "unittests/vantor/testing/ScreenFixture.h"
#include "vantor/driver/RampProfile.h"
#include "vantor/res/resource.h"
#include "vantor/screens/sensor/CRibbonColorDlg.h"
#include "vantor/screens/sensor/RibbonColorRun.h"

using namespace std::chrono_literals;
using namespace vantor::sensor;
using ribbon_color_test::ColorPrinter;
using ribbon_color_test::Request;
using ui::testing::DialogHarness;

namespace {

const QString kPrefix = QStringLiteral("\\Hard Disk\\Results\\RibbonColor");

class RibbonColor : public vantor::testing::ScreenFixture {
protected:
    std::shared_ptr<ColorPrinter> printer;

    void useColorPrinter()
    {
        stopPrinter();
        printer = std::make_shared<ColorPrinter>();
        platform::registerDevice(QStringLiteral("PRN1:"), printer);
    }
    // The starter values, as the dialog would hand them over.
    static CRibbonColorSettings starter() { return *FetchTestSettings<CRibbonColorSettings>(); }

    // The lines a headless run writes after "== Start ==", the time and the header.
    QStringList runLines(const CRibbonColorSettings& v, int cycles)
    {
        return runHeadless(PrepareRibbonColor(v, vantor::openDriver()), cycles).mid(9);
    }
    bool ready(DialogHarness& h)
    {
        return advanceUntil([&] { return h.enabled(IDC_RC_READ) && h.enabled(IDC_RUN); });
    }
    // Waits for the run's "== End ==" and its " ".
    bool runEnded(DialogHarness& h, int ends = 1)
    {
        return advanceUntil([&] {
            const QStringList l = results(h);
            return l.count(QStringLiteral("== End ==")) == ends && l.last() == QStringLiteral(" ");
        });
    }
    static QStringList fromStart(QStringList lines)
    {
        return lines.mid(lines.indexOf(QStringLiteral("== Start ==")));
    }
};

QStringList ok(int cycle)
{
    return RibbonColorLines(cycle, true);
}

} // namespace

// "Run:" n gives n + 1 runs of "Total Cycle:" cycles, run r logging to
// "<prefix><r>.txt", the first cycle of each run flagged.
TEST_F(RibbonColor, RunsCyclesLogNamesAndFirstCycleWords)
{
    struct Case {
        const char* run;
        int total;
        QStringList names;
        std::vector<int32_t> first;
        QStringList lines;
    };
    const QStringList end{"== End ==", " "};
    const QStringList completed0{"Completed Run: 0", " "};
    const QStringList completed1{"Completed Run: 1", " "};
    const Case cases[] = {
        {"", 2, {"P0.txt", "P0.txt"}, {1, 0}, ok(1) + ok(2) + end},
        {"0", 2, {"P0.txt", "P0.txt"}, {1, 0}, ok(1) + ok(2) + end},
        {"1", 1, {"P0.txt", "P1.txt"}, {1, 1}, ok(1) + completed0 + ok(1) + end},
        {" 2 ", 2, {"P0.txt", "P0.txt", "P1.txt", "P1.txt", "P2.txt", "P2.txt"}, {1, 0, 1, 0, 1, 0},
         ok(1) + ok(2) + completed0 + ok(1) + ok(2) + completed1 + ok(1) + ok(2) + end},
        // "Total Cycle:" is not checked: 0 runs one cycle per run.
        {"1", 0, {"P0.txt", "P1.txt"}, {1, 1}, ok(1) + completed0 + ok(1) + end},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("Run: '") + c.run + "', Total Cycle: " + std::to_string(c.total));
        useColorPrinter();
        CRibbonColorSettings v = starter();
        v.filePrefix = QStringLiteral("P");
        v.run = QString::fromLatin1(c.run);
        v.cycle = c.total;
        EXPECT_EQ(CheckRibbonColor(v), QString());
        EXPECT_EQ(runLines(v, c.total), c.lines);
        QStringList names;
        std::vector<int32_t> first;
        for (const Request& r : printer->runs()) {
            names << r.logName;
            first.push_back(r.record.firstCycle);
        }
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(first, c.first);
    }
}

TEST_F(RibbonColor, FailedCycleIsReportedAndTheSequenceGoesOn)
{
    useColorPrinter();
    printer->succeed = false;
    CRibbonColorSettings v = starter();
    v.run = QStringLiteral("1");
    EXPECT_EQ(runLines(v, 1), (QStringList{"1. Run Ribbon Color - FAIL", "Completed Run: 0", " ",
                                          "1. Run Ribbon Color - FAIL", "== End ==", " "}));
}

// The next run follows its "Completed Run" line without the pause.
TEST_F(RibbonColor, NoPauseBetweenRuns)
{
    CRibbonColorSettings v = starter();
    v.run = QStringLiteral("1");
    RibbonColorRun run(vantor::openDriver());
    QString why;
    ASSERT_TRUE(run.build(v, why)) << why.toStdString();
    ASSERT_EQ(run.cyclesFor(2), 4);
    EXPECT_TRUE(run.pausesAfter(1));
    EXPECT_FALSE(run.pausesAfter(2));
    EXPECT_TRUE(run.pausesAfter(3));
}

TEST_F(RibbonColor, RecordAsSentWithConstantSpeed)
{
    useColorPrinter();
    CRibbonColorSettings v = starter();
    v.speed.initialSpeedType = 0;
    v.emitterNumber = QStringLiteral("E-1");
    v.detectorNumber = QStringLiteral("D-2");
    v.vref = 77;
    const QStringList all = runHeadless(PrepareRibbonColor(v, vantor::openDriver()), 1);
    EXPECT_EQ(all.mid(2, 7), (QStringList{"Unit#: 1", "Run#: 0", "Ribon Catridge Color: Black",
                                          "Ribon Panel Length: 6.0", "Ribon Lot Number: L0001", "Emitter#: E-1",
                                          "Detector#: D-2"}));
    ASSERT_EQ(printer->runs().size(), 1u);
    const Request r = printer->runs()[0];
    EXPECT_EQ(r.code, 0x1E2024u);
    EXPECT_EQ(r.block.Target, 36u);
    EXPECT_EQ(r.block.Command, 28u);
    EXPECT_EQ(r.outLen, 0u);
    ASSERT_TRUE(r.hasRecord);
    const protocol::RibbonColorParams& p = r.record;
    EXPECT_EQ(p.word0, 0);
    EXPECT_EQ(p.stepMode, 2);
    EXPECT_EQ(p.word8, 2);
    EXPECT_EQ(p.pulseCount, 2000);
    EXPECT_EQ(p.runSpeed, 400);
    EXPECT_EQ(p.rampUpTable, 0u);
    EXPECT_EQ(p.rampUpCount, 0);
    EXPECT_EQ(p.word28, 0);
    EXPECT_EQ(p.vref, 77);
    EXPECT_EQ(p.word36, 0);
    EXPECT_EQ(p.word40, 0);
    EXPECT_EQ(p.word44, 2);
    EXPECT_EQ(p.word48, 0);
    EXPECT_EQ(p.word52, 0);
    EXPECT_EQ(p.word56, 1000);
    EXPECT_EQ(p.samplingDelay, 10);
    EXPECT_EQ(p.sensingPerSample, 4);
    EXPECT_EQ(r.logName, kPrefix + QStringLiteral("0.txt"));
    EXPECT_EQ(r.texts, (QStringList{"Black", "6.0", "L0001", "1", "E-1", "D-2"}));
    EXPECT_EQ(p.firstCycle, 1);
}

TEST_F(RibbonColor, RampUpRecordTakesTheProfilesLastEntryAndCount)
{
    CRibbonColorSettings v = starter();
    v.speed.initialSpeedType = 1;
    const vantor::driver::RampTable ramp = vantor::driver::ReadRampProfile(v.speed.rampUpProfile);
    ASSERT_GT(ramp.count(), 0u);
    RibbonColorRun run(vantor::openDriver());
    QString why;
    ASSERT_TRUE(run.build(v, why)) << why.toStdString();
    const protocol::RibbonColorParams& p = run.record().record();
    EXPECT_EQ(p.rampUpCount, int32_t(ramp.count()));
    EXPECT_EQ(p.pulseCount, 2000 - int32_t(ramp.count()));
    EXPECT_EQ(p.runSpeed, int32_t(ramp[ramp.count() - 1]));
    const uint8_t* table = platform::CallerMemory::instance().resolve(p.rampUpTable, ramp.count() * 4);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(std::memcmp(table, ramp.data(), ramp.count() * 4), 0);
}

TEST_F(RibbonColor, ValuesThatCannotMakeACycleAreRefused)
{
    const QString emptyProfile = QStringLiteral("\\Hard Disk\\Profiles\\Empty.txt");
    QFile f(platform::hostPath(emptyProfile));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    struct Case {
        const char* what;
        std::function<void(CRibbonColorSettings&)> change;
        QString message;
    };
    const Case cases[] = {
        {"starter values", [](CRibbonColorSettings&) {}, QString()},
        {"ramp-up without a file",
         [](CRibbonColorSettings& v) {
             v.speed.initialSpeedType = 1;
             v.speed.rampUpProfile.clear();
         },
         "\"Ramp Up Profile\" of Ribbon Color can not be empty\n"},
        {"ramp-up file missing",
         [](CRibbonColorSettings& v) {
             v.speed.initialSpeedType = 1;
             v.speed.rampUpProfile = QStringLiteral("\\Hard Disk\\Profiles\\Nowhere.txt");
         },
         "File in \"Ramp Up Profile\" of Ribbon Color not exist\n"},
        {"ramp-up file empty",
         [&](CRibbonColorSettings& v) {
             v.speed.initialSpeedType = 1;
             v.speed.rampUpProfile = emptyProfile;
         },
         "File in \"Ramp Up Profile\" of Ribbon Color has no value\n"},
        // Sent as typed: the driver answers for these.
        {"negative pulses", [](CRibbonColorSettings& v) { v.totalPulses = -1; }, QString()},
        {"sensing not an item", [](CRibbonColorSettings& v) { v.sensingPerSample = QStringLiteral("3"); }, QString()},
        {"negative sampling delay", [](CRibbonColorSettings& v) { v.samplingDelay = -1; }, QString()},
        {"run not a number", [](CRibbonColorSettings& v) { v.run = QStringLiteral("two"); }, QString()},
        {"many runs", [](CRibbonColorSettings& v) { v.run = QStringLiteral("1000"); }, QString()},
        {"runs times cycles beyond a count",
         [](CRibbonColorSettings& v) {
             v.run = QStringLiteral("999");
             v.cycle = INT_MAX / 2;
         },
         "\"Run\" and \"Total Cycle\" of Ribbon Color make more cycles than can be counted.\n"},
        {"a run count past an int",
         [](CRibbonColorSettings& v) { v.run = QStringLiteral("99999999999"); },
         "\"Run\" and \"Total Cycle\" of Ribbon Color make more cycles than can be counted.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CRibbonColorSettings v = starter();
        c.change(v);
        EXPECT_EQ(CheckRibbonColor(v), c.message);
        const vantor::PreparedRun prepared = PrepareRibbonColor(v, vantor::openDriver());
        EXPECT_EQ(bool(prepared), c.message.isEmpty());
        EXPECT_EQ(prepared.refusal, c.message);
    }
}

TEST(RibbonColorRunCount, ReadAsTheProgramReadsANumber)
{
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"  ", 0}, {"abc", 0}, {"-1", 0}, {"-7x", 0}, {"3", 3}, {" 12 ", 12}, {"4abc", 4},
        {"+5", 5}, {"99999999999", INT_MAX},
    };
    for (const auto& [text, runs] : cases)
        EXPECT_EQ(RibbonColorRunCount(QString::fromLatin1(text)), runs) << text;
}

// A "Run:" of 1 and a "Total Cycle:" of 1 make two runs, and the printer
// writes one log for each.
TEST_F(RibbonColor, OneRunMoreWritesTwoLogFilesThroughThePrinter)
{
    startSimulator();
    const QString log0 = platform::hostPath(kPrefix + QStringLiteral("0.txt"));
    const QString log1 = platform::hostPath(kPrefix + QStringLiteral("1.txt"));
    QFile::remove(log0);
    QFile::remove(log1);
    CRibbonColorDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(ready(h)); // RUN waits for the opening readings
    ASSERT_TRUE(h.setText(IDC_RC_RUN_COUNT, QStringLiteral("1")));
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("1")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(runEnded(h));
    ASSERT_EQ(prompts.count(), 0u) << prompts.texts().join(' ').toStdString();
    EXPECT_EQ(withoutTimeLines(fromStart(results(h))).mid(0, 20),
              (QStringList{"== Start ==", "<time>", "Unit#: 1", "Run#: 1", "Ribon Catridge Color: Black",
                           "Ribon Panel Length: 6.0", "Ribon Lot Number: L0001", "Emitter#: ", "Detector#: "} +
               ok(1) + QStringList{"Completed Run: 0", " "} + ok(1) + QStringList{"== End ==", " "}));
    ASSERT_TRUE(QFileInfo::exists(log0));
    ASSERT_TRUE(QFileInfo::exists(log1));
    for (const QString& log : {log0, log1}) {
        QFile f(log);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        EXPECT_TRUE(text.startsWith("Unit#: 1\r\nRibon Catridge Color: Black\r\n")) << log.toStdString();
        EXPECT_EQ(text.count("Cycle 1\r\n"), 1) << log.toStdString();
    }
    h.pressEscape();
}

// The opening readings hold every start button: a run pressed meanwhile
// would share PRN1: with them.
TEST_F(RibbonColor, RunWaitsForTheOpeningReadings)
{
    useColorPrinter();
    CRibbonColorDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    for (int id : {IDC_RUN, IDC_RC_READ, IDC_RC_CALIBRATE})
        EXPECT_FALSE(h.enabled(id)) << id;
    EXPECT_FALSE(h.click(IDC_RUN));
    ASSERT_TRUE(ready(h));
    EXPECT_TRUE(h.enabled(IDC_RC_CALIBRATE));
    EXPECT_EQ(results(h), (QStringList{"Calibration:11,22,33", "SensorRead:11,22,33"}));
    EXPECT_EQ(printer->requests().size(), 2u);
    h.pressEscape();
}

// Opening reads the colour sensor's DAC values and a colour; a failed read
// shows zeros.
TEST_F(RibbonColor, OpeningAndReadShowTheSensorOrZeros)
{
    for (bool withPrinter : {true, false}) {
        SCOPED_TRACE(withPrinter ? "printer" : "no printer");
        stopPrinter();
        if (withPrinter)
            useColorPrinter();
        const QString shown = withPrinter ? QStringLiteral("11,22,33") : QStringLiteral("0,0,0");
        CRibbonColorDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_FALSE(h.enabled(IDC_RC_READ));
        EXPECT_FALSE(h.enabled(IDC_RC_CALIBRATE));
        EXPECT_EQ(h.text(IDC_RC_DAC_RED), QStringLiteral("0"));
        ASSERT_TRUE(ready(h));
        EXPECT_EQ(results(h), (QStringList{"Calibration:" + shown, "SensorRead:" + shown}));
        const QStringList parts = shown.split(',');
        EXPECT_EQ((QStringList{h.text(IDC_RC_DAC_RED), h.text(IDC_RC_DAC_GREEN), h.text(IDC_RC_DAC_BLUE)}), parts);
        EXPECT_EQ((QStringList{h.text(IDC_RC_COLOR_RED), h.text(IDC_RC_COLOR_GREEN), h.text(IDC_RC_COLOR_BLUE)}),
                  parts);
        if (withPrinter) {
            const std::vector<Request> r = printer->requests();
            ASSERT_EQ(r.size(), 2u);
            EXPECT_EQ(r[0].code, protocol::IOCTL_PRN_REGISTER);
            EXPECT_EQ(r[0].block.Target, 97u);
            EXPECT_EQ(r[0].block.Command, 37u);
            EXPECT_EQ(r[0].outLen, 3u);
            EXPECT_EQ(r[1].code, protocol::IOCTL_PRN_SENSOR_READ);
            EXPECT_EQ(r[1].block.Target, 13u);
            EXPECT_EQ(r[1].block.Command, 16u);
            EXPECT_EQ(r[1].outLen, 3u);
            printer->rgb[0] = 0; // the next reading differs from the shown one
        }
        ASSERT_TRUE(h.click(IDC_RC_READ));
        EXPECT_FALSE(h.enabled(IDC_RC_READ));
        EXPECT_FALSE(h.enabled(IDC_RUN));
        EXPECT_EQ(h.text(IDC_RC_COLOR_GREEN), QStringLiteral("0"));
        ASSERT_TRUE(ready(h));
        EXPECT_EQ(results(h).last(), withPrinter ? QStringLiteral("SensorRead:0,22,33") : QStringLiteral("SensorRead:0,0,0"));
        EXPECT_EQ(h.text(IDC_RC_COLOR_GREEN), withPrinter ? QStringLiteral("22") : QStringLiteral("0"));
        h.pressEscape();
    }
}

TEST_F(RibbonColor, CalibrateCalibratesMediaAndColourSensorsThenReads)
{
    useColorPrinter();
    CRibbonColorDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(ready(h));
    const size_t before = printer->requests().size();
    ASSERT_TRUE(h.click(IDC_RC_CALIBRATE));
    EXPECT_FALSE(h.enabled(IDC_RC_CALIBRATE));
    EXPECT_EQ(h.text(IDC_RC_DAC_BLUE), QStringLiteral("0"));
    ASSERT_TRUE(ready(h));
    const std::vector<Request> all = printer->requests();
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> sent;
    for (size_t i = before; i < all.size(); ++i)
        sent.emplace_back(all[i].code, all[i].block.Target, all[i].block.Command, all[i].outLen);
    const uint32_t read = protocol::IOCTL_PRN_SENSOR_READ;
    EXPECT_EQ(sent, (decltype(sent){{read, 30, 17, 4},
                                    {read, 31, 17, 4},
                                    {read, 28, 17, 4},
                                    {read, 29, 17, 4},
                                    {read, 13, 17, 3},
                                    {read, 12, 17, 3},
                                    {protocol::IOCTL_PRN_REGISTER, 97, 37, 3},
                                    {read, 13, 16, 3}}));
    EXPECT_EQ(results(h).mid(2), (QStringList{"Calibration:11,22,33", "SensorRead:11,22,33"}));
    EXPECT_EQ(h.text(IDC_RC_DAC_BLUE), QStringLiteral("33"));
    h.pressEscape();
}

// Each RUN numbers its logs from 0 again; closing keeps the texts and the
// emitter and detector numbers for the program's run only.
TEST_F(RibbonColor, EachRunStartsItsLogsAtZeroAndClosingKeepsTheTexts)
{
    useColorPrinter();
    {
        CRibbonColorDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(ready(h)); // RUN waits for the opening readings
        EXPECT_EQ(h.sliderPos(IDC_RC_VREF), 255);
        EXPECT_EQ(h.text(IDC_RC_VREF_VALUE), QStringLiteral("255"));
        EXPECT_EQ(h.comboItems(IDC_RC_SENSING), (QStringList{"2", "4", "8", "16"}));
        EXPECT_EQ(h.comboIndex(IDC_RC_SENSING), 1);
        ASSERT_TRUE(h.setText(IDC_RC_RUN_COUNT, QStringLiteral("1")));
        ASSERT_TRUE(h.setText(IDC_RC_EMITTER, QStringLiteral("E-17")));
        ASSERT_TRUE(h.setText(IDC_RC_DETECTOR, QStringLiteral("D-4")));
        ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("1")));
        ASSERT_TRUE(h.selectComboText(IDC_RC_SENSING, QStringLiteral("16")));
        ASSERT_TRUE(h.setSliderPos(IDC_RC_VREF, 90));
        EXPECT_EQ(h.text(IDC_RC_VREF_VALUE), QStringLiteral(" 90"));
        ASSERT_TRUE(h.click(IDC_RUN));
        ASSERT_TRUE(runEnded(h, 1));
        ASSERT_TRUE(ready(h));
        ASSERT_TRUE(h.click(IDC_RUN));
        ASSERT_TRUE(runEnded(h, 2));
        QStringList names;
        for (const Request& r : printer->runs()) {
            names << r.logName.mid(kPrefix.size());
            EXPECT_EQ(r.record.vref, 90);
            EXPECT_EQ(r.record.sensingPerSample, 16);
        }
        EXPECT_EQ(names, (QStringList{"0.txt", "1.txt", "0.txt", "1.txt"}));
        // Commit::AtClose: nothing reached the record before closing.
        EXPECT_EQ(GetTestSettings<CRibbonColorSettings>()->run, QStringLiteral("0"));
        h.pressEscape();
    }
    auto* r = GetTestSettings<CRibbonColorSettings>();
    EXPECT_EQ(r->run, QStringLiteral("1"));
    EXPECT_EQ(r->sensingPerSample, QStringLiteral("16"));
    EXPECT_EQ(r->emitterNumber, QStringLiteral("E-17"));
    EXPECT_EQ(r->vref, 255); // the slider's position is not kept
    EXPECT_EQ(r->cumulativeCycle, 4);
    QFile f(iniPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QString ini = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    EXPECT_TRUE(ini.contains(QStringLiteral("sensingpersample = 16"), Qt::CaseInsensitive));
    EXPECT_FALSE(ini.contains(QStringLiteral("E-17")));
    EXPECT_FALSE(ini.contains(QStringLiteral("D-4")));
    // Opened again in the same program run: the emitter and detector are back.
    CRibbonColorDlg again;
    DialogHarness h(again);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.text(IDC_RC_EMITTER), QStringLiteral("E-17"));
    EXPECT_EQ(h.text(IDC_RC_DETECTOR), QStringLiteral("D-4"));
    EXPECT_EQ(h.sliderPos(IDC_RC_VREF), 255);
    h.pressEscape();
}

TEST_F(RibbonColor, LogBrowseCreatesTheChosenFileEmpty)
{
    useColorPrinter();
    const QString chosen = QStringLiteral("\\Hard Disk\\Results\\Shift2.txt");
    {
        QFile old(platform::hostPath(chosen));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an earlier log");
    }
    CRibbonColorDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    prompts.answerFile(chosen);
    ASSERT_TRUE(h.click(IDC_RC_LOG_BROWSE));
    ASSERT_EQ(prompts.fileDialogs().size(), 1u);
    const ui::FileDialogRequest ask = prompts.fileDialogs()[0].ask;
    EXPECT_TRUE(ask.save);
    EXPECT_EQ(ask.defaultExtension, QStringLiteral("txt"));
    EXPECT_EQ(ask.filter, QStringLiteral("Text (*.txt)|*.txt|All Files (*.*)|*.*||"));
    EXPECT_EQ(h.text(IDC_RC_LOG_FILE), chosen);
    EXPECT_EQ(QFileInfo(platform::hostPath(chosen)).size(), 0);

    // A place where no file can be made: said so, and the name stays.
    prompts.answerFile(QStringLiteral("\\Hard Disk\\No Such Folder\\Log.txt"));
    ASSERT_TRUE(h.click(IDC_RC_LOG_BROWSE));
    EXPECT_EQ(h.text(IDC_RC_LOG_FILE), chosen);
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_TRUE(prompts.texts()[0].contains(QStringLiteral("cannot be created")));
    h.pressEscape();
}

// The dialog goes while its worker is inside an opening reading: the
// reading ends on what the worker owns and reports to nobody.
TEST_F(RibbonColor, DestroyedDuringAReadingLeavesTheWorkerNothingOfItsOwn)
{
    auto gated = startRecordingPrinter(/*gated=*/true);
    auto dlg = std::make_unique<CRibbonColorDlg>();
    std::optional<DialogHarness> h(std::in_place, *dlg);
    ASSERT_TRUE(h->open());
    ASSERT_TRUE(advanceUntil([&] { return gated->count() > 0; }));
    destroyWhileHeld(h, std::move(dlg), [&] { gated->open(); });
    EXPECT_EQ(gated->requests().at(0).code, protocol::IOCTL_PRN_REGISTER);
}

// The simulated printer answers every request of "Calibrate".
TEST_F(RibbonColor, CalibrateAgainstThePrinter)
{
    startSimulator();
    CRibbonColorDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(ready(h));
    ASSERT_TRUE(h.click(IDC_RC_CALIBRATE));
    ASSERT_TRUE(ready(h));
    const QStringList l = results(h);
    ASSERT_EQ(l.size(), 4);
    EXPECT_TRUE(l[2].startsWith(QStringLiteral("Calibration:")));
    EXPECT_NE(l[2], QStringLiteral("Calibration:0,0,0"));
    EXPECT_TRUE(l[3].startsWith(QStringLiteral("SensorRead:")));
    EXPECT_NE(l[3], QStringLiteral("SensorRead:0,0,0"));
    EXPECT_NE(h.text(IDC_RC_DAC_RED), QStringLiteral("0"));
    h.pressEscape();
}
