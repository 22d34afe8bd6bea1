// The platen tests without a window: validation, the records as the printer
// receives them, and the lines each cycle reports.
#include "PlatenTestSupport.h"

#include <QRegularExpression>

#include "platform/CallerMemory.h"
#include "vantor/screens/motion/PlatenCycles.h"
#include "vantor/screens/motion/PlatenTests.h"
#include "vantor/screens/motion/PlatenLines.h"
#include "vantor/screens/motion/PlatenRecords.h"

using namespace vantor::platen;
using namespace platentest;
namespace drv = protocol;

namespace {

PlatenMoveInput validInput()
{
    PlatenMoveInput in;
    in.platen.speedChoice = vantor::driver::speedChoice::Constant;
    in.platen.constantSpeed = 1000;
    in.platen.totalPulses = 100;
    in.tapeRewind.constantSpeed = 800;
    in.totalCycles = 1;
    return in;
}

} // namespace

// --- validation -----------------------------------------------------------

TEST_F(PlatenFixture, ValidationCollectsEveryFailedRuleInOrder)
{
    PlatenMoveInput in = validInput();
    EXPECT_EQ(validatePlatenTest(in), QString());

    in.platen.constantSpeed = 0;
    in.totalPulsesEmpty = true;
    EXPECT_EQ(validatePlatenTest(in), QStringLiteral("\"Constant (pps)\" of Platen must greater than 0.\n"
                                                     "\"Total No. of Pulses\" of Platen can not be empty.\n"));

    in.platen.speedChoice = vantor::driver::speedChoice::RampUp;
    in.platen.useRampDown = true;
    in.totalPulsesEmpty = false;
    in.platen.totalPulses = 0;
    in.totalCycles = 0;
    EXPECT_EQ(validatePlatenTest(in), QStringLiteral("\"Ramp Up Profile\" of Platen can not be empty\n"
                                                     "\"Ramp Down Profile\" of Platen can not be empty\n"
                                                     "\"Total No. of Pulses\" of Platen must greater than 0.\n"
                                                     "\"Total Cycle\" must greater than 0.\n"));

    in.platen.rampUpProfile = QStringLiteral("\\Hard Disk\\Profiles\\Missing.txt");
    in.platen.rampDownProfile = QStringLiteral("\\Hard Disk\\Profiles\\Gone.txt");
    in.platen.totalPulses = -5;
    in.totalCycles = 3;
    EXPECT_EQ(validatePlatenTest(in), QStringLiteral("File in \"Ramp Up Profile\" of Platen not exist\n"
                                                     "File in \"Ramp Down Profile\" of Platen not exist\n"
                                                     "\"Total No. of Pulses\" of Platen must greater than 0.\n"));

    // Device paths match without regard to case; the tape rewind group is
    // never checked, not even its missing files.
    profile(QStringLiteral("Up.txt"), "200\n400\n");
    profile(QStringLiteral("Down.txt"), "400\n200\n");
    in.platen.rampUpProfile = QStringLiteral("\\hard disk\\profiles\\UP.TXT");
    in.platen.rampDownProfile = QStringLiteral("\\Hard Disk\\Profiles\\Down.txt");
    in.platen.totalPulses = 10;
    in.tapeRewind.speedChoice = vantor::driver::speedChoice::RampUp;
    in.tapeRewind.rampUpProfile = QStringLiteral("\\nowhere.txt");
    EXPECT_EQ(validatePlatenTest(in), QString());
}

TEST_F(PlatenFixture, RampUpWithoutAnyValueIsRefusedInsteadOfSendingAnInventedSpeed)
{
    PlatenMoveRun run;
    PlatenMoveInput in = validInput();
    in.platen.speedChoice = vantor::driver::speedChoice::RampUp;
    in.platen.rampUpProfile = profile(QStringLiteral("Empty.txt"), "");
    in.tapeRewind.speedChoice = vantor::driver::speedChoice::RampUp;
    in.tapeRewind.rampUpProfile = QStringLiteral("\\Hard Disk\\Profiles\\Missing.txt");
    EXPECT_EQ(buildPlatenSensorMove(run, in, 0),
              QStringLiteral("File in \"Ramp Up Profile\" of Platen not exist or holds no value\n"
                             "File in \"Ramp Up Profile\" of Tape Rewind not exist or holds no value\n"));

    PlatenLifeRun life;
    PlatenLifeInput lin;
    lin.forward.move.constantSpeed = 900;
    lin.useReverse = true;
    lin.reverse.move.speedChoice = vantor::driver::speedChoice::RampUp;
    lin.reverse.move.rampUpProfile = in.platen.rampUpProfile;
    EXPECT_EQ(buildPlatenLife(life, lin),
              QStringLiteral("File in \"Ramp Up Profile\" of Platen (REVERSE) not exist or holds no value\n"));
    // The reverse panel is not used without " Enable Reverse Platen".
    lin.useReverse = false;
    EXPECT_EQ(buildPlatenLife(life, lin), QString());
}

// --- records as sent --------------------------------------------------------

TEST_F(PlatenFixture, PlatenRecordBytesAsSent)
{
    startPrinter();
    platform::trace::setFile(hostFile(QStringLiteral("trace.txt")));
    PlatenMoveInput in;
    in.platen.speedChoice = vantor::driver::speedChoice::RampUp;
    in.platen.rampUpProfile = profile(QStringLiteral("Up.txt"), "200\n400\n800\n");
    in.platen.useRampDown = true;
    in.platen.rampDownProfile = profile(QStringLiteral("Down.txt"), "800\r\n400\r\n");
    in.platen.totalPulses = 1000;
    in.platen.direction = 1;
    in.platen.stepMode = 2;
    in.platen.vref = 200;
    in.platen.preHold = 20;
    in.platen.postHold = 50;
    in.clutch = true;
    in.encoderDetail = true;
    in.tapeRewind.constantSpeed = 900;
    in.tapeRewind.stepMode = 1;
    in.totalCycles = 3;

    PlatenMoveRun run;
    ASSERT_EQ(buildPlatenMove(run, in), QString());
    const drv::PlatenMoveParams& p = run.record.record();
    ASSERT_NE(run.encoderTable, nullptr);
    EXPECT_EQ(run.encoderTable->count(), 1000u);
    EXPECT_EQ(run.record.block().Target, 1u);
    EXPECT_EQ(run.record.block().Command, 3u);
    EXPECT_EQ(run.record.block().Param, run.record.address());

    platform::DeviceHandle prn = drv::openPrinter();
    RecordingSink sink;
    for (int c = 1; c <= 3; ++c)
        platenMoveCycle(prn, run, c, 3, sink);
    platform::trace::setFile(QString());

    Bytes e(180);
    e.word(0, 1).word(4, 2).word(8, 2).word(12, 995).word(16, 800).word(20, 20).word(24, 50);
    e.word(28, 3).word(32, 2).byte(36, 200).word(40, int32_t(p.platen.rampUpTable)).word(44, int32_t(p.platen.rampDownTable));
    e.word(48 + 4, 1).word(48 + 16, 900).byte(48 + 56, 255);
    e.word(108, 4).word(112, 1).word(116, 1000).byte(132, 255);
    e.word(136, 1).word(140, 1);
    e.word(148, 1).word(152, 4);
    e.word(164, 1).word(168, 1).word(172, 1000).word(176, int32_t(run.encoderTable->address()));
    const QByteArray trace = readFile(hostFile(QStringLiteral("trace.txt")));
    EXPECT_EQ(tracedRecord(trace, 180, 0).toHex(' '), e.b.toHex(' '));
    EXPECT_EQ(tracedRecord(trace, 180, 1).toHex(' '), e.b.toHex(' '));
    // The last cycle of several says so.
    EXPECT_EQ(tracedRecord(trace, 180, 2).toHex(' '), e.word(108, 5).b.toHex(' '));
    // The ramp tables as sent: the carriage returns are no part of the values.
    EXPECT_EQ(tracedRecord(trace, 12).toHex(' '), QByteArray("c8 00 00 00 90 01 00 00 20 03 00 00"));
    EXPECT_EQ(tracedRecord(trace, 8).toHex(' '), QByteArray("20 03 00 00 90 01 00 00"));

    const QStringList lines = sink.lines();
    ASSERT_EQ(lines.size(), 3 * 1001);
    EXPECT_EQ(lines[0], QStringLiteral("1. in detail 0 [%1]").arg(int32_t((*run.encoderTable)[0])));
    EXPECT_TRUE(lines[1000].startsWith(QStringLiteral("1. Total encode = "))) << qPrintable(lines[1000]);
    EXPECT_TRUE(lines[1000].endsWith(QLatin1Char(' ')));
}

TEST_F(PlatenFixture, SingleCycleRunSendsPositionSix)
{
    startPrinter();
    PlatenMoveRun run;
    ASSERT_EQ(buildPlatenMove(run, validInput()), QString());
    platform::DeviceHandle prn = drv::openPrinter();
    RecordingSink sink;
    platenMoveCycle(prn, run, 1, 1, sink);
    EXPECT_EQ(run.record->sequence.cyclePosition, 6);
    // Without detail tracking: no table and no per-pulse lines.
    EXPECT_EQ(run.record->encoderDetail.table, 0u);
    ASSERT_EQ(sink.lines().size(), 1);
    EXPECT_TRUE(sink.lines()[0].startsWith(QStringLiteral("1. Total encode = ")));
}

TEST_F(PlatenFixture, SensorRecordBytesAsSentAndTheCountTextFollowsWord148)
{
    startPrinter();
    platform::trace::setFile(hostFile(QStringLiteral("trace.txt")));
    PlatenMoveInput in = validInput();
    in.platen.totalPulses = 40;
    in.platen.vref = 17; // not a control of this test: 255 goes out
    in.platen.stepMode = 2;
    in.tapeRewind.stepMode = 2;
    PlatenMoveRun run;
    ASSERT_EQ(buildPlatenSensorMove(run, in, 2), QString());
    ASSERT_NE(run.sensorTable, nullptr);
    platform::DeviceHandle prn = drv::openPrinter();
    RecordingSink sink;
    platenSensorCycle(prn, run, 1, sink);
    platform::trace::setFile(QString());

    Bytes e(180);
    e.word(4, 2).word(8, 2).word(12, 40).word(16, 1000).byte(36, 255);
    e.word(48 + 4, 2).word(48 + 16, 800).byte(48 + 56, 255);
    e.word(108, 1).word(112, 1).word(116, 1000).byte(132, 255);
    e.word(140, 1);
    e.word(144, 1).word(148, 1).word(152, 2).word(156, 40).word(160, int32_t(run.sensorTable->address()));
    const QByteArray trace = readFile(hostFile(QStringLiteral("trace.txt")));
    EXPECT_EQ(tracedRecord(trace, 180).toHex(' '), e.b.toHex(' '));

    // Detail tracking off: no per-pulse lines, and the printer answered in
    // motor steps (word 148 left at 1).
    EXPECT_EQ(sink.lines(), QStringList{QStringLiteral("1. Total Count (Motor Step) = -40 ")});

    // With detail tracking the printer clears word 148: encoder counts, and
    // one line per pulse numbered from 1.
    in.encoderDetail = true;
    ASSERT_EQ(buildPlatenSensorMove(run, in, 0), QString());
    RecordingSink sink2;
    platenSensorCycle(prn, run, 2, sink2);
    const QStringList lines = sink2.lines();
    ASSERT_EQ(lines.size(), 41);
    EXPECT_EQ(sink2.batches(), 1);
    EXPECT_EQ(lines[0], QStringLiteral("2. 1 - %1,%2")
                            .arg(int32_t((*run.sensorTable)[0]))
                            .arg(int32_t((*run.encoderTable)[0])));
    EXPECT_TRUE(lines[39].startsWith(QStringLiteral("2. 40 - ")));
    EXPECT_EQ(run.record->sensorCapture.countMode, 0);
    EXPECT_TRUE(lines[40].startsWith(QStringLiteral("2. Total Count (Encoder Count) = ")));
}

TEST_F(PlatenFixture, LifeRecordBytesAsSentWithPassTablesFilledWithOnes)
{
    PlatenLifeInput in;
    in.forward.move.constantSpeed = 1200;
    in.forward.move.totalPulses = 6;
    in.forward.move.stepMode = 3;
    in.forward.move.preHold = 5;
    in.forward.move.postHold = 7;
    in.forward.clutch = true;
    in.useReverse = false;
    in.reverse.move.constantSpeed = 600;
    in.reverse.move.totalPulses = 4;
    in.reverse.clutch = true;
    in.tapeRewind.constantSpeed = 700;
    in.tapeRewind.stepMode = 1;
    in.tapeRewindReversePulses = 33;
    in.passes = 2;
    PlatenLifeRun run;
    ASSERT_EQ(buildPlatenLife(run, in), QString());

    // Before the request: every byte of every pass table is 0x01; the
    // reverse pass has one entry since the reverse move is off.
    ASSERT_EQ(run.forwardTables.size(), 2u);
    ASSERT_EQ(run.reverseTables.size(), 1u);
    EXPECT_EQ(run.forwardTables[0]->count(), 6u);
    EXPECT_EQ((*run.forwardTables[1])[5], 0x01010101u);
    ASSERT_EQ(run.reverseTables[0]->count(), 1u);
    EXPECT_EQ((*run.reverseTables[0])[0], 0x01010101u);
    const drv::PlatenLifeRecord& r = run.record.record();
    const uint8_t* fwd = platform::CallerMemory::instance().resolve(r.forwardPasses, 32);
    ASSERT_NE(fwd, nullptr);
    Bytes d(32);
    d.word(0, 1).word(4, 1).word(8, 6).word(12, int32_t(run.forwardTables[0]->address()));
    d.word(16, 1).word(20, 1).word(24, 6).word(28, int32_t(run.forwardTables[1]->address()));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(fwd), 32).toHex(' '), d.b.toHex(' '));

    startPrinter();
    platform::trace::setFile(hostFile(QStringLiteral("trace.txt")));
    platform::DeviceHandle prn = drv::openPrinter();
    RecordingSink sink;
    platenLifeCycle(prn, run, 1, sink);
    platform::trace::setFile(QString());

    Bytes e(356);
    e.word(0, 1).word(4, 3).word(8, 2).word(12, 6).word(16, 1200).word(20, 5).word(24, 7).byte(36, 255);
    e.word(48, 1).word(56, 2).word(64, 1000).byte(84, 255); // reverse block at reset, direction 1
    e.word(96 + 4, 1).word(96 + 16, 700).byte(96 + 56, 255);
    e.word(156 + 4, 1).word(156 + 12, 33).word(156 + 16, 700).byte(156 + 56, 255);
    e.word(216, 1).word(220, 1).word(224, 1000).byte(240, 255);
    e.word(244, 1);
    e.word(248, 0).word(252, 2).word(256, 100).word(260, 100).word(264, 1000).word(268, 0).word(272, 1);
    e.word(284, 1000).byte(300, 255);
    e.word(304, int32_t(r.forwardPasses)).word(308, int32_t(r.reversePasses)).word(312, 2).word(316, 1);
    e.word(328, 2).word(332, 1).word(336, 1).word(340, 1).word(344, 1).word(348, 1).word(352, 0);
    const QByteArray trace = readFile(hostFile(QStringLiteral("trace.txt")));
    EXPECT_EQ(tracedRecord(trace, 356).toHex(' '), e.b.toHex(' '));
    EXPECT_EQ(run.record.block().Target, 11u);
    EXPECT_EQ(run.record.block().Command, 27u);

    const QStringList lines = sink.lines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], QStringLiteral("1. Run Platen Life - OK"));
}

TEST_F(PlatenFixture, LifePassLayoutForOneAndThreePasses)
{
    startPrinter();
    platform::DeviceHandle prn = drv::openPrinter();
    PlatenLifeInput in;
    in.forward.move.constantSpeed = 1000;
    in.forward.move.totalPulses = 2;
    in.useReverse = true;
    in.reverse.move.constantSpeed = 1000;
    in.reverse.move.totalPulses = 3;
    in.tapeRewind.constantSpeed = 800;

    in.passes = 1;
    PlatenLifeRun one;
    ASSERT_EQ(buildPlatenLife(one, in), QString());
    EXPECT_EQ(one.record->reversePasses, 0u);
    RecordingSink s1;
    platenLifeCycle(prn, one, 4, s1);
    QStringList shape;
    for (const QString& l : s1.lines())
        shape << QString(l).replace(QRegularExpression(QStringLiteral("\\[-?\\d+\\]")), QStringLiteral("[n]"));
    EXPECT_EQ(shape, (QStringList{"4. Run Platen Life - OK", "4. Forward Encode (1 pass)", "4. F 1 [n]",
                                  "4. F 2 [n]", "", ""}));

    in.passes = 3;
    PlatenLifeRun three;
    ASSERT_EQ(buildPlatenLife(three, in), QString());
    RecordingSink s3;
    platenLifeCycle(prn, three, 1, s3);
    shape.clear();
    for (const QString& l : s3.lines())
        shape << QString(l).replace(QRegularExpression(QStringLiteral("\\[-?\\d+\\]")), QStringLiteral("[n]"));
    EXPECT_EQ(shape, (QStringList{"1. Run Platen Life - OK",
                                  "1. Forward Encode (1 pass)", "1. F 1 [n]", "1. F 2 [n]", "",
                                  "1. Reverse Encode (1 pass)", "1. R 1 [n]", "1. R 2 [n]", "1. R 3 [n]", "",
                                  "1. Forward Encode (2 pass)", "1. F 1 [n]", "1. F 2 [n]", "",
                                  "1. Reverse Encode (2 pass)", "1. R 1 [n]", "1. R 2 [n]", "1. R 3 [n]", "",
                                  "1. Forward Encode (3 pass)", "1. F 1 [n]", "1. F 2 [n]", "", ""}));
    // The printer wrote the counts: no entry still holds the 0x01 fill.
    EXPECT_FALSE(s3.lines().join('|').contains(QStringLiteral("[16843009]")));
}

// --- whole runs ---------------------------------------------------------------

TEST_F(PlatenFixture, DetailRunOfThousandPulsesNumbersLinesZeroTo999BeforeEachTotal)
{
    startPrinter();
    PlatenMoveInput in = validInput();
    in.platen.totalPulses = 1000;
    in.platen.direction = 1;
    in.encoderDetail = true;
    vantor::PreparedRun prepared = preparePlatenRun(in, vantor::openDriver());
    ASSERT_TRUE(prepared) << qPrintable(prepared.refusal);
    RecordingSink sink;
    vantor::TestRunner runner(sink);
    runner.start();
    runner.run(std::move(prepared.run), 2, 0);
    ASSERT_TRUE(sink.waitForEnd());
    EXPECT_TRUE(runner.close());

    const QStringList lines = sink.lines();
    ASSERT_EQ(lines.size(), 2 * 1001 + 2);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < 1000; ++i)
            ASSERT_TRUE(lines[c * 1001 + i].startsWith(QStringLiteral("%1. in detail %2 [").arg(c + 1).arg(i)))
                << qPrintable(lines[c * 1001 + i]);
        EXPECT_TRUE(lines[c * 1001 + 1000].startsWith(QStringLiteral("%1. Total encode = ").arg(c + 1)));
    }
    // Forward moves count up: the last detail entry is the cycle's total.
    const QString last = lines[999];
    const QString total = lines[1000];
    EXPECT_EQ(last.mid(last.indexOf('[') + 1).chopped(1), total.mid(total.indexOf('=') + 2).trimmed());
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"== End ==", " "}));
    EXPECT_EQ(sink.cycles(), 2);
}

TEST_F(PlatenFixture, AbsentDriverGivesOneFailLinePerCycleAndTheRunEnds)
{
    // No PRN1: registered at all.
    PlatenMoveInput in = validInput();
    in.encoderDetail = true;
    PlatenLifeInput lin;
    lin.forward.move.constantSpeed = 100;
    lin.tapeRewind.constantSpeed = 100;
    const vantor::DriverRef prn = vantor::openDriver();
    ASSERT_FALSE(prn->valid());
    // The three tests' runs, one after the other in each cycle.
    struct AllThree : vantor::TestRun {
        std::vector<std::unique_ptr<vantor::TestRun>> runs;
        void cycle(int c, int total, vantor::RunSink& s) override
        {
            for (auto& r : runs)
                r->cycle(c, total, s);
        }
    };
    auto all = std::make_unique<AllThree>();
    std::vector<vantor::PreparedRun> prepared;
    prepared.push_back(preparePlatenRun(in, prn));
    prepared.push_back(preparePlatenSensorRun(in, 1, prn));
    prepared.push_back(preparePlatenLifeRun(lin, prn));
    for (vantor::PreparedRun& p : prepared) {
        ASSERT_TRUE(p) << qPrintable(p.refusal);
        all->runs.push_back(std::move(p.run));
    }
    RecordingSink sink;
    vantor::TestRunner runner(sink);
    runner.start();
    runner.run(std::move(all), 3, 10);
    ASSERT_TRUE(sink.waitForEnd());
    EXPECT_TRUE(runner.close());
    QStringList expected;
    for (int c = 1; c <= 3; ++c)
        expected << QStringLiteral("%1. Run Platen - FAIL").arg(c) << QStringLiteral("%1. Run Platen Sensor - FAIL").arg(c)
                 << QStringLiteral("%1. Run Platen Life - FAIL").arg(c);
    expected << "== End ==" << " ";
    EXPECT_EQ(sink.lines(), expected);
    EXPECT_EQ(clock.slept(), std::chrono::milliseconds(20));
}

TEST_F(PlatenFixture, FailedRequestWritesNoDetailLines)
{
    startPrinter();
    failCommand(3);
    PlatenMoveInput in = validInput();
    in.encoderDetail = true;
    PlatenMoveRun run;
    ASSERT_EQ(buildPlatenMove(run, in), QString());
    platform::DeviceHandle prn = drv::openPrinter();
    RecordingSink sink;
    platenMoveCycle(prn, run, 2, 5, sink);
    EXPECT_EQ(sink.lines(), QStringList{QStringLiteral("2. Run Platen - FAIL")});
}

// --- lines ------------------------------------------------------------------

TEST(PlatenLines, FormatsMatchTheirPrintfForms)
{
    EXPECT_EQ(totalEncodeLine(12, -3456), QStringLiteral("12. Total encode = -3456 "));
    EXPECT_EQ(detailLine(1, 0, INT32_MIN), QStringLiteral("1. in detail 0 [-2147483648]"));
    EXPECT_EQ(sensorLine(3, 7, 1, -9), QStringLiteral("3. 7 - 1,-9"));
    EXPECT_EQ(sensorTotalLine(2, 1, 5), QStringLiteral("2. Total Count (Motor Step) = 5 "));
    EXPECT_EQ(sensorTotalLine(2, 0, 5), QStringLiteral("2. Total Count (Encoder Count) = 5 "));
    EXPECT_EQ(lifeFailLine(9), QStringLiteral("9. Run Platen Life - FAIL"));
}

TEST(PlatenLines, LongDetailRunsAreSplitIntoBatches)
{
    std::vector<uint32_t> table(kLineBatch * 2 + 1);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = uint32_t(-int32_t(i));
    std::vector<qsizetype> sizes;
    QStringList all;
    detailLines(4, table.data(), int64_t(table.size()), [&](QStringList b) {
        sizes.push_back(b.size());
        all << b;
    });
    EXPECT_EQ(sizes, (std::vector<qsizetype>{kLineBatch, kLineBatch, 1}));
    EXPECT_EQ(all.last(), QStringLiteral("4. in detail %1 [-%1]").arg(kLineBatch * 2));

    // The sensor lines stop at the shorter table.
    QStringList sensor;
    sensorLines(1, table.data(), 3, table.data(), 2, [&](QStringList b) { sensor << b; });
    EXPECT_EQ(sensor, (QStringList{"1. 1 - 0,0", "1. 2 - -1,-1"}));
}
