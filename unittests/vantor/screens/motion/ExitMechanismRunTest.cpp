// The ejector, end cutter and print head lift runs without a dialog: the
// record bytes as the driver resolves them, the requests of a run and the
// result lines.
#include <cstdint>
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "ExitMechanismTestDevice.h"
#include "PlatenTestSupport.h"
#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/screens/motion/EjectorRun.h"
#include "vantor/screens/motion/EndCutterRun.h"
#include "vantor/screens/motion/PrintHeadLiftRun.h"
#include "vantor/settings/CSettingsFile.h"

using namespace vantor::motion;
using exit_test::Answer;
using exit_test::RecordingPrinter;
using exit_test::Request;
using exit_test::recordOf;
using platentest::RecordingSink;
using protocol::EjectorMoveParams;
using protocol::EndCutterParams;
using protocol::HeadLiftParams;

namespace {

struct ExitRunTest : ::testing::Test {
    QTemporaryDir dir;
    CSettingsFile file;
    std::shared_ptr<RecordingPrinter> printer;
    vantor::DriverRef driver;

    void usePrinter(size_t recordBytes)
    {
        printer = std::make_shared<RecordingPrinter>(recordBytes);
        platform::registerDevice(QStringLiteral("PRN1:"), printer);
        driver = std::make_shared<platform::DeviceHandle>(protocol::openPrinter());
    }
    void TearDown() override
    {
        driver.reset();
        platform::unregisterDevice(QStringLiteral("PRN1:"));
    }
    QString profile(const char* name, const QByteArray& text)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    // Runs cycles 1..total straight, as the worker would.
    static QStringList runCycles(vantor::TestRun& run, int total, RecordingSink& sink)
    {
        for (int c = 1; c <= total; ++c)
            run.cycle(c, total, sink);
        return sink.lines();
    }
    // Values that differ from every reset value, so a field left unset shows.
    CEjectorSettings ejectorValues()
    {
        CEjectorSettings v(file);
        v.speed.constantSpeed = 640;
        v.totalPulses = 1234;
        v.vref = 77;
        v.stepMode = 3;
        v.postHold = 45;
        v.rev = 2;
        v.forwardUnblocked = 21;
        v.forwardBlocked = 9;
        return v;
    }
};

} // namespace

TEST_F(ExitRunTest, EjectorRecordCarriesEveryFieldAtItsOffset)
{
    usePrinter(sizeof(EjectorMoveParams));
    EjectorRun run(driver);
    QString why;
    ASSERT_TRUE(run.build(ejectorValues(), why)) << why.toStdString();
    RecordingSink sink;
    runCycles(run, 1, sink);
    const auto requests = printer->requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, protocol::IOCTL_PRN_MOTION);
    EXPECT_EQ(requests[0].block.Target, 4u);
    EXPECT_EQ(requests[0].block.Command, 7u);
    EXPECT_EQ(requests[0].outLen, 4u);
    const platentest::Bytes expected = platentest::Bytes(48)
                                           .word(0, 3)     // step mode 1/8
                                           .word(4, 640)   // constant speed
                                           .word(8, 1234)  // no ramps: all pulses
                                           .word(28, 9)    // after blocked
                                           .word(32, 21)   // after unblocked
                                           .word(36, 45)   // post-hold
                                           .word(40, 2)    // revolutions
                                           .byte(44, 77);  // Vref
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(requests[0].record.data()), 48), expected.b);
}

TEST_F(ExitRunTest, EjectorRampsGiveSpeedCountsAndTables)
{
    usePrinter(sizeof(EjectorMoveParams));
    CEjectorSettings v = ejectorValues();
    v.speed.initialSpeedType = 1;
    v.speed.rampUpProfile = profile("up.txt", "100\n200\n300\n");
    v.speed.useRampDown = 1;
    v.speed.rampDownProfile = profile("down.txt", "250\n120\n");
    EXPECT_EQ(CheckEjector(v), QString());
    EjectorRun run(driver);
    QString why;
    ASSERT_TRUE(run.build(v, why));
    const EjectorMoveParams& p = run.move().record();
    EXPECT_EQ(p.runSpeed, 300);
    EXPECT_EQ(p.rampUpCount, 3);
    EXPECT_EQ(p.rampDownCount, 2);
    EXPECT_EQ(p.pulseCount, 1234 - 3 - 2);
    const auto* up = reinterpret_cast<const uint32_t*>(platform::CallerMemory::instance().resolve(p.rampUpTable, 12));
    const auto* down = reinterpret_cast<const uint32_t*>(platform::CallerMemory::instance().resolve(p.rampDownTable, 8));
    ASSERT_TRUE(up && down);
    EXPECT_EQ(up[2], 300u);
    EXPECT_EQ(down[1], 120u);
    // An unticked ramp-down box reads no file.
    v.speed.useRampDown = 0;
    ASSERT_TRUE(run.build(v, why));
    EXPECT_EQ(run.move()->rampDownCount, 0);
    EXPECT_EQ(run.move()->rampDownTable, 0u);
}

TEST_F(ExitRunTest, EjectorRefusals)
{
    struct Case {
        const char* what;
        int speedType;
        const char* upFile; // null: name only, no file
        QByteArray upText;
        int32_t pulses;
        QString check;   // from the checks
        QString refusal; // from building the run
    } cases[] = {
        {"no ramp-up name", 1, "", "", 100, "\"Ramp Up Profile\" of Ejector can not be empty\n", ""},
        {"missing ramp-up file", 1, nullptr, "", 100, "File in \"Ramp Up Profile\" of Ejector not exist\n", ""},
        {"empty ramp-up file", 1, "empty.txt", "", 100, "File in \"Ramp Up Profile\" of Ejector has no value\n",
         "File in \"Ramp Up Profile\" of Ejector has no value\n"},
        {"a count beyond 32 bits", 1, "up.txt", "10\n20\n30\n", INT32_MIN, "",
         "\"Total No. of Pulses\" of Ejector less its ramp profiles is beyond a 32-bit count.\n"},
    };
    usePrinter(sizeof(EjectorMoveParams));
    for (const Case& c : cases) {
        CEjectorSettings v = ejectorValues();
        v.speed.initialSpeedType = c.speedType;
        v.speed.rampUpProfile = c.upFile == nullptr ? dir.filePath(QStringLiteral("absent.txt"))
                                : *c.upFile        ? profile(c.upFile, c.upText)
                                                   : QString();
        v.totalPulses = c.pulses;
        EXPECT_EQ(CheckEjector(v), c.check) << c.what;
        if (!c.refusal.isEmpty()) {
            const vantor::PreparedRun prepared = PrepareEjector(v, driver);
            EXPECT_FALSE(prepared) << c.what;
            EXPECT_EQ(prepared.refusal, c.refusal) << c.what;
        }
    }
    EXPECT_TRUE(printer->requests().empty());
    // Sent as computed: the driver answers for a negative or huge move.
    const std::pair<int32_t, int32_t> sent[] = {{-1, -4}, {1'000'001, 999'998}, {2, -1}};
    for (const auto& [pulses, constant] : sent) {
        CEjectorSettings v = ejectorValues();
        v.speed.initialSpeedType = 1;
        v.speed.rampUpProfile = profile("up.txt", "10\n20\n30\n");
        v.totalPulses = pulses;
        EXPECT_EQ(CheckEjector(v), QString()) << pulses;
        EjectorRun run(driver);
        QString why;
        ASSERT_TRUE(run.build(v, why)) << pulses << " " << why.toStdString();
        EXPECT_EQ(run.move()->pulseCount, constant) << pulses;
    }
}

TEST_F(ExitRunTest, EjectorSlidersBoundRevolutionsAndVref)
{
    usePrinter(sizeof(EjectorMoveParams));
    struct Case {
        int32_t rev, vref;
        int32_t sentRev;
        uint8_t sentVref;
    } cases[] = {{3, 255, 3, 255}, {4, 256, 3, 255}, {99, 1, 3, 1}, {0, 0, 1, 1}, {1, -5, 1, 1}};
    for (const Case& c : cases) {
        CEjectorSettings v = ejectorValues();
        v.rev = c.rev;
        v.vref = c.vref;
        EjectorRun run(driver);
        QString why;
        ASSERT_TRUE(run.build(v, why));
        EXPECT_EQ(run.move()->revolutions, c.sentRev) << c.rev;
        EXPECT_EQ(run.move()->vref, c.sentVref) << c.vref;
    }
}

TEST_F(ExitRunTest, EjectorLinesAndRevolutionsCounted)
{
    struct Case {
        bool ok;
        int32_t counted;
        const char* line;
    } cases[] = {
        {true, 3, "1. Run 3 rev (actual run 3 rev) - OK"},
        {true, 2, "1. Run 3 rev (actual run 2 rev) - FAIL"}, // counted short: FAIL, and still 2 to "Total Rev:"
        {false, 3, "1. Run 3 rev (actual run 3 rev) - FAIL"},
        {false, 0, "1. Run 3 rev (actual run 0 rev) - FAIL"},
    };
    usePrinter(sizeof(EjectorMoveParams));
    for (const Case& c : cases) {
        printer->respond([&](int, const Request&) { return Answer{c.ok, c.counted, 0}; });
        CEjectorSettings v = ejectorValues();
        v.rev = 3;
        EjectorRun run(driver);
        QString why;
        ASSERT_TRUE(run.build(v, why));
        std::vector<int32_t> reported;
        run.onRevolutions([&](int32_t r) { reported.push_back(r); });
        RecordingSink sink;
        EXPECT_EQ(runCycles(run, 1, sink), QStringList{QString::fromLatin1(c.line)});
        EXPECT_EQ(reported, std::vector<int32_t>{c.counted}) << c.line;
    }
}

TEST_F(ExitRunTest, EndCutterRecordAndItsResultWord)
{
    usePrinter(sizeof(EndCutterParams));
    CEndCutterSettings v(file);
    v.frequency = 1500;
    v.currentLevel = QStringLiteral("71");
    v.dutyCycle = 60;
    v.constantSpeed = 900;
    v.totalPulses = 800;
    v.ejectTotalPulses = 1200;
    EndCutterRun run(driver);
    run.build(v);
    printer->respond([](int, const Request& r) {
        if (r.block.Command == 9) {
            const auto p = recordOf<EndCutterParams>(r);
            if (uint8_t* word = platform::CallerMemory::instance().resolve(p.cutter.resultWord, 4)) {
                const int32_t ms = 137;
                std::memcpy(word, &ms, 4);
            }
        }
        return Answer{};
    });
    RecordingSink sink;
    EXPECT_EQ(runCycles(run, 1, sink),
              (QStringList{QStringLiteral("1. Run motor - OK "), QStringLiteral("1. Moving duration 137ms")}));
    const auto requests = printer->requests();
    ASSERT_EQ(requests.size(), 3u);
    const Request& cut = requests[1];
    EXPECT_EQ(cut.block.Target, 5u);
    EXPECT_EQ(cut.block.Command, 9u);
    EXPECT_EQ(cut.outLen, 0u);
    ASSERT_EQ(cut.record.size(), 144u);
    const uint32_t resultWord = recordOf<EndCutterParams>(cut).cutter.resultWord;
    EXPECT_NE(resultWord, 0u);
    platentest::Bytes expected(144);
    expected.word(8, 2).word(12, 800).word(16, 900).byte(36, 255); // platen
    expected.word(48, 1).word(52, 1).word(56, 1000).byte(72, 255); // print head load
    expected.word(76, 2).word(80, 1500).word(84, 60).word(92, int32_t(resultWord)); // cutter
    expected.word(100, 1000).word(104, 1200).byte(140, 255); // eject: reset values and its pulses
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(cut.record.data()), 144), expected.b);

    // Each RUN allocates a new word; the old one is gone.
    run.build(v);
    EXPECT_EQ(platform::CallerMemory::instance().resolve(resultWord, 4), nullptr);
    EXPECT_NE(run.params()->cutter.resultWord, 0u);
}

TEST_F(ExitRunTest, EndCutterRunOfThreeLoadsOnceAndUnloadsAfterTheLast)
{
    usePrinter(sizeof(protocol::SequenceBlock));
    CEndCutterSettings v(file);
    EndCutterRun run(driver);
    run.build(v);
    RecordingSink sink;
    const QStringList lines = runCycles(run, 3, sink);
    EXPECT_EQ(lines, (QStringList{"1. Run motor - OK ", "1. Moving duration 0ms", "2. Run motor - OK ",
                                  "2. Moving duration 0ms", "3. Run motor - OK ", "3. Moving duration 0ms"}));
    const auto requests = printer->requests();
    ASSERT_EQ(requests.size(), 5u);
    const uint32_t loadAddress = run.params().addressOf(&run.params()->load);
    const uint32_t expected[][2] = {{0, 1}, {5, 9}, {5, 9}, {5, 9}, {0, 2}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(requests[i].block.Target, expected[i][0]) << i;
        EXPECT_EQ(requests[i].block.Command, expected[i][1]) << i;
    }
    for (size_t i : {size_t(0), size_t(4)}) {
        EXPECT_EQ(requests[i].block.Param, loadAddress);
        const auto seq = recordOf<protocol::SequenceBlock>(requests[i]);
        EXPECT_EQ(seq.cyclePosition, 1);
        EXPECT_EQ(seq.word4, 1);
        EXPECT_EQ(seq.word8, 1000);
        EXPECT_EQ(seq.byte24, 255);
    }
    EXPECT_EQ(requests[1].block.Param, run.params().address());
}

TEST_F(ExitRunTest, EndCutterFailureLines)
{
    struct Case {
        const char* what;
        std::vector<int> failing; // request numbers, from 1
        QStringList lines;
    } cases[] = {
        // Load fails: always numbered 1, and the cycle goes on.
        {"load", {1}, {"1. Load PH - FAIL", "1. Run motor - OK ", "1. Moving duration 0ms", "2. Run motor - OK ",
                       "2. Moving duration 0ms"}},
        {"cut", {3}, {"1. Run motor - OK ", "1. Moving duration 0ms", "2. Run motor - FAIL"}},
        {"unload", {4}, {"1. Run motor - OK ", "1. Moving duration 0ms", "2. Run motor - OK ",
                         "2. Moving duration 0ms", "2. Unload PH - FAIL"}},
    };
    usePrinter(sizeof(EndCutterParams));
    for (const Case& c : cases) {
        const size_t before = printer->requests().size();
        CEndCutterSettings v(file);
        EndCutterRun run(driver);
        run.build(v);
        printer->respond([&, before](int n, const Request&) {
            const int local = n - int(before);
            return Answer{std::find(c.failing.begin(), c.failing.end(), local) == c.failing.end(), 0, 0};
        });
        RecordingSink sink;
        EXPECT_EQ(runCycles(run, 2, sink), c.lines) << c.what;
        EXPECT_EQ(printer->requests().size() - before, 4u) << c.what;
    }
}

TEST_F(ExitRunTest, EndCutterStopUnloadsAfterTheCycleInProgress)
{
    usePrinter(sizeof(EndCutterParams));
    CEndCutterSettings v(file);
    EndCutterRun run(driver);
    run.build(v);
    RecordingSink sink;
    run.cycle(1, 5, sink);
    EXPECT_EQ(printer->requests().size(), 2u); // load and cut, no unload
    run.stopFlag()->store(true);               // "Stop" during cycle 2
    run.cycle(2, 5, sink);
    const auto requests = printer->requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[3].block.Command, 2u);
    // A new run has its own, clear flag.
    EndCutterRun next(driver);
    EXPECT_FALSE(next.stopFlag()->load());
}

TEST_F(ExitRunTest, CurrentLevelCodesAsSent)
{
    struct Case {
        const char* text;
        int32_t code; // 0: no item of the list, sent as it is
    } cases[] = {{"38", 1}, {"71", 2}, {"100", 3}, {"", 0}, {"50", 0}, {"abc", 0}};
    usePrinter(sizeof(HeadLiftParams));
    for (const Case& c : cases) {
        CEndCutterSettings cutter(file);
        cutter.currentLevel = QString::fromLatin1(c.text);
        CPrintHeadLiftSettings lift(file);
        lift.currentLevel = cutter.currentLevel;
        EndCutterRun cut(driver);
        cut.build(cutter);
        EXPECT_EQ(cut.params()->cutter.levelCode, c.code) << c.text;
        PrintHeadLiftRun up(driver);
        up.build(lift);
        EXPECT_EQ(up.lift()->drive.levelCode, c.code) << c.text;
    }
    CEndCutterSettings cutter(file);
    cutter.totalPulses = -1;
    cutter.ejectTotalPulses = 1'000'001;
    EndCutterRun cut(driver);
    cut.build(cutter);
    EXPECT_EQ(cut.params()->platen.constantPulses, -1);
    EXPECT_EQ(cut.params()->eject.pulseCount, 1'000'001);
    CPrintHeadLiftSettings lift(file);
    lift.testType = 3;
    PrintHeadLiftRun up(driver);
    up.build(lift);
    EXPECT_EQ(up.lift()->testType, 3);
}

TEST_F(ExitRunTest, PrintHeadLiftRecordAndDurationFromTheReturnedCount)
{
    usePrinter(sizeof(HeadLiftParams));
    CPrintHeadLiftSettings v(file);
    v.frequency = 2500;
    v.currentLevel = QStringLiteral("38");
    v.dutyCycle = 70;
    v.delay = 45;
    v.testType = protocol::headLiftTest::ActivatePrintHead;
    v.totalPulses = 999; // no control, not sent
    PrintHeadLiftRun run(driver);
    run.build(v);
    printer->respond([](int n, const Request&) { return n == 2 ? Answer{false, 0, 55} : Answer{true, 0, 412}; });
    RecordingSink sink;
    EXPECT_EQ(runCycles(run, 2, sink),
              (QStringList{QStringLiteral("1. Run motor - OK - 412 ms "), QStringLiteral("2. Run motor - FAIL")}));
    const auto requests = printer->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].block.Target, 0u);
    EXPECT_EQ(requests[0].block.Command, 44u);
    EXPECT_EQ(requests[0].outLen, 0u);
    EXPECT_TRUE(requests[0].countRequested);
    const platentest::Bytes expected = platentest::Bytes(48)
                                           .word(4, 1)     // "38"
                                           .word(8, 70)    // duty cycle
                                           .word(12, 2500) // frequency
                                           .word(20, 255)
                                           .word(36, 45)   // delay after the trigger
                                           .word(40, 1000)
                                           .word(44, 2);   // "Activate Print Head"
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(requests[0].record.data()), 48), expected.b);
}

TEST(ExitSettings, NoLevelChosenStoresTheFullLevelAndHeadLiftPulsesGoBackUnchanged)
{
    CSettingsFile file;
    CEndCutterSettings cutter(file);
    cutter.currentLevel.clear();
    cutter.Save();
    CPrintHeadLiftSettings lift(file);
    lift.currentLevel.clear();
    lift.totalPulses = 4321;
    lift.Save();
    CEndCutterSettings cutterAgain(file);
    cutterAgain.Load();
    EXPECT_EQ(cutterAgain.currentLevel, QStringLiteral("100"));
    CPrintHeadLiftSettings liftAgain(file);
    liftAgain.Load();
    EXPECT_EQ(liftAgain.currentLevel, QStringLiteral("100"));
    EXPECT_EQ(liftAgain.totalPulses, 4321);
    // Written as text, even when chosen.
    file.SetSection("End Cutter");
    cutterAgain.currentLevel = QStringLiteral("38");
    cutterAgain.Save();
    file.SetSection("End Cutter");
    EXPECT_EQ(file.GetString(QStringLiteral("CurrentLevel"), QString()), QStringLiteral("38"));
}
