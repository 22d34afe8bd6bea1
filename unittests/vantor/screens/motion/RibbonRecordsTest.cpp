// The ribbon tests' records as built from the dialogs' values, their
// refusals, and the result lines.
#include <cstring>
#include <gtest/gtest.h>

#include "PlatenTestSupport.h"
#include "platform/CallerMemory.h"
#include "vantor/screens/motion/RibbonRecords.h"
#include "vantor/settings/CSettingsFile.h"

using namespace vantor::ribbon;
using vantor::levelCode;
using platentest::Bytes;
using protocol::DriverRecord;
using protocol::RibbonMoveEntry;
using protocol::RibbonTensionParams;

namespace {

template <class T>
QByteArray bytesOf(const T& v)
{
    return QByteArray(reinterpret_cast<const char*>(&v), sizeof v);
}

std::vector<uint32_t> tableAt(uint32_t address, int count)
{
    std::vector<uint32_t> out(size_t(std::max(count, 0)));
    if (count <= 0)
        return out;
    const uint8_t* p = platform::CallerMemory::instance().resolve(address, out.size() * 4);
    if (!p)
        return {};
    std::memcpy(out.data(), p, out.size() * 4);
    return out;
}

// A reset ShortMoveParams laid into `b` at `at`, then the fields given.
void shortMove(Bytes& b, int at, int32_t dir, int32_t step, int32_t stop, int32_t pulses, int32_t speed,
               uint32_t table, int32_t count, uint8_t vref)
{
    b.word(at, dir).word(at + 4, step).word(at + 8, stop).word(at + 12, pulses).word(at + 16, speed);
    b.word(at + 20, int32_t(table)).word(at + 24, count).word(at + 28, 0).byte(at + 32, vref);
}
// A motor block laid into `b` at `at`.
void motorBlock(Bytes& b, int at, int32_t dir, int32_t step, int32_t w8, int32_t pulses, int32_t speed,
                int32_t up, int32_t down, uint8_t vref, uint32_t upTable, uint32_t downTable)
{
    b.word(at, dir).word(at + 4, step).word(at + 8, w8).word(at + 12, pulses).word(at + 16, speed);
    b.word(at + 28, up).word(at + 32, down).byte(at + 36, vref);
    b.word(at + 40, int32_t(upTable)).word(at + 44, int32_t(downTable));
}

class RibbonRecordsTest : public platentest::PlatenFixture {
protected:
    CSettingsFile file;
    QString up3, up2, empty;
    void SetUp() override
    {
        PlatenFixture::SetUp();
        up3 = profile(QStringLiteral("up3.txt"), "200\n400\n800\n");
        up2 = profile(QStringLiteral("up2.txt"), "300\r\n600\r\n");
        empty = profile(QStringLiteral("empty.txt"), "");
    }
    static SpeedSettings constant(int pps)
    {
        SpeedSettings s;
        s.constantSpeed = pps;
        return s;
    }
    static SpeedSettings rampUp(const QString& path)
    {
        SpeedSettings s;
        s.initialSpeedType = 1;
        s.rampUpProfile = path;
        return s;
    }
};

TEST_F(RibbonRecordsTest, TensionWithSlipClutchAndPlatenFillsEveryField)
{
    CRibbonTensionSettings s(file);
    s.frequency = 2000;
    s.dutyCycle = 40;
    s.duration = 150;
    s.currentLevel = QStringLiteral("71");
    s.slipClutch.speed = rampUp(up3);
    s.slipClutch.totalPulses = 1000;
    s.slipClutch.vref = 120;
    s.stepMode = 3;
    s.trackEncoder = 1;
    s.platen.speed = rampUp(up2);
    s.platen.speed.useRampDown = 1;
    s.platen.speed.rampDownProfile = up3;
    s.platen.totalPulses = 500;
    s.platen.stepMode = 1;
    s.platen.preHold = 9; // not used
    s.platen.clutch = 1;  // not used

    DriverRecord<RibbonTensionParams> rec;
    Refusals r;
    const TensionBuild b = buildTension(rec, s, r);
    EXPECT_TRUE(r.empty()) << r.text.toStdString();
    EXPECT_TRUE(b.slipClutch);
    EXPECT_TRUE(b.trackEncoder);

    const auto& p = rec.record();
    Bytes want(120);
    want.word(0, 2).word(4, 0).word(8, 2).word(12, 40).word(16, 2000).word(20, 150);
    shortMove(want, 24, 1, 3, 2, 997, 800, p.slipClutch.move.rampUpTable, 3, 120);
    want.word(60, 1);
    motorBlock(want, 64, 0, 1, 0, 495, 600, 2, 3, 255, p.slipClutch.platen.rampUpTable,
               p.slipClutch.platen.rampDownTable);
    EXPECT_EQ(bytesOf(p).toHex(), want.b.toHex());
    EXPECT_EQ(tableAt(p.slipClutch.move.rampUpTable, 3), (std::vector<uint32_t>{200, 400, 800}));
    EXPECT_EQ(tableAt(p.slipClutch.platen.rampUpTable, 2), (std::vector<uint32_t>{300, 600}));
}

TEST_F(RibbonRecordsTest, TensionWithoutSlipClutchLeavesTheMoveAtItsResetValues)
{
    CRibbonTensionSettings s(file);
    s.slipClutch.enabled = 0;
    s.slipClutch.speed = rampUp(QStringLiteral("\\Hard Disk\\Profiles\\none.txt")); // never read
    DriverRecord<RibbonTensionParams> rec;
    Refusals r;
    const TensionBuild b = buildTension(rec, s, r);
    EXPECT_TRUE(r.empty());
    EXPECT_FALSE(b.slipClutch);
    Bytes want(120);
    want.word(0, 1).word(8, 2).word(12, 50);                  // "38", mode 2, start duty cycle
    shortMove(want, 24, 0, 0, 1, 0, 1000, 0, 0, 255);         // reset move
    motorBlock(want, 64, 0, 0, 2, 0, 1000, 0, 0, 255, 0, 0);  // reset platen block
    EXPECT_EQ(bytesOf(rec.record()).toHex(), want.b.toHex());
}

TEST_F(RibbonRecordsTest, AdvanceEntriesPerMove)
{
    CRibbonAdvanceSettings s(file);
    s.counterClockwise.speed = constant(700);
    s.counterClockwise.totalPulses = 50; // sensor trigger: not sent
    s.counterClockwise.vref = 10;
    s.clockwise.speed = rampUp(up2);
    s.clockwise.totalPulses = 40;
    s.clockwise.vref = 20;
    s.slipClutch.speed = constant(900);
    s.slipClutch.totalPulses = 300;
    s.slipClutch.vref = 30;
    s.usePlaten = 0;
    s.stepMode = 1;

    DriverRecord<RibbonMoveEntry> e[3];
    Refusals r;
    AdvanceBuild b = buildAdvance(e, s, r);
    ASSERT_TRUE(r.empty());
    EXPECT_TRUE(b.moves[0] && b.moves[1] && b.moves[2]);

    Bytes cc(96), c(96), sc(96);
    for (Bytes* x : {&cc, &c, &sc})
        motorBlock(*x, 40, 0, 0, 2, 0, 1000, 0, 0, 255, 0, 0);
    shortMove(cc, 0, 0, 1, 1, 0, 700, 0, 0, 10);
    shortMove(c, 0, 1, 1, 2, 38, 600, e[1]->move.rampUpTable, 2, 20);
    shortMove(sc, 0, 1, 1, 2, 300, 900, 0, 0, 30);
    EXPECT_EQ(bytesOf(e[0].record()).toHex(), cc.b.toHex());
    EXPECT_EQ(bytesOf(e[1].record()).toHex(), c.b.toHex());
    EXPECT_EQ(bytesOf(e[2].record()).toHex(), sc.b.toHex());

    // Pulse trigger: stop mode 2 and the pulse box minus the ramp.
    s.pulseTrigger = 1;
    s.counterClockwise.speed = rampUp(up3);
    b = buildAdvance(e, s, r);
    EXPECT_EQ(e[0]->move.stopMode, 2);
    EXPECT_EQ(e[0]->move.pulseCount, 47);
    EXPECT_EQ(e[0]->move.runSpeed, 800);

    s.counterClockwise.enabled = s.clockwise.enabled = s.slipClutch.enabled = 0;
    EXPECT_FALSE(buildAdvance(e, s, r).any());
}

TEST_F(RibbonRecordsTest, DriveEntriesShareSliderStepModeAndTrackFlag)
{
    CRibbonDriveSettings s(file);
    EXPECT_FALSE(DriveBuild{}.any());
    s.advance.enabled = 1;
    s.advance.speed = constant(500);
    s.advance.totalPulses = 100;
    s.reverse.enabled = 1;
    s.reverse.speed = rampUp(up3);
    s.reverse.totalPulses = 10;
    s.vref = 77;
    s.trackEncoder = 1;

    DriverRecord<RibbonMoveEntry> a, b;
    Refusals r;
    const DriveBuild d = buildDrive(a, b, s, r);
    ASSERT_TRUE(r.empty());
    EXPECT_TRUE(d.advance && d.reverse && d.trackEncoder);
    Bytes wa(96), wb(96);
    shortMove(wa, 0, 1, 2, 2, 100, 500, 0, 0, 77); // start step mode "1/4"
    shortMove(wb, 0, 0, 2, 2, 7, 800, b->move.rampUpTable, 3, 77);
    for (Bytes* x : {&wa, &wb}) {
        motorBlock(*x, 40, 0, 0, 2, 0, 1000, 0, 0, 255, 0, 0);
        x->word(88, 1);
    }
    EXPECT_EQ(bytesOf(a.record()).toHex(), wa.b.toHex());
    EXPECT_EQ(bytesOf(b.record()).toHex(), wb.b.toHex());
}

TEST_F(RibbonRecordsTest, ToPlatenSequenceCopyOwnsItsTables)
{
    CRibbonToPlatenSettings s(file);
    s.ribbon.speed = rampUp(up3);
    s.ribbon.totalPulses = 400;
    s.ribbon.vref = 200;
    s.ribbonStepMode = 1;
    s.platen.speed = rampUp(up2);
    s.platen.totalPulses = 300;
    s.platen.vref = 100;
    s.platenStepMode = 3;
    s.runInSequence = 1;

    for (int direction : {0, 1}) {
        s.direction = direction;
        DriverRecord<RibbonMoveEntry> a, b;
        Refusals r;
        buildToPlaten(a, b, s, r);
        ASSERT_TRUE(r.empty());
        Bytes wa(96), wb(96);
        shortMove(wa, 0, 1, 1, 2, 397, 800, a->move.rampUpTable, 3, 200);
        shortMove(wb, 0, 0, 1, 2, 397, 800, b->move.rampUpTable, 3, 200);
        wa.word(36, 1);
        wb.word(36, 1);
        motorBlock(wa, 40, 1, 3, 2, 298, 600, 2, 0, 100, a->platen.rampUpTable, 0);
        motorBlock(wb, 40, 0, 3, 2, 298, 600, 2, 0, 100, b->platen.rampUpTable, 0);
        EXPECT_EQ(bytesOf(a.record()).toHex(), wa.b.toHex()) << direction;
        EXPECT_EQ(bytesOf(b.record()).toHex(), wb.b.toHex()) << direction;

        // The copy has tables of its own with the same values.
        EXPECT_NE(a->move.rampUpTable, b->move.rampUpTable);
        EXPECT_NE(a->platen.rampUpTable, b->platen.rampUpTable);
        EXPECT_EQ(tableAt(b->move.rampUpTable, 3), (std::vector<uint32_t>{200, 400, 800}));
        EXPECT_EQ(tableAt(b->platen.rampUpTable, 2), (std::vector<uint32_t>{300, 600}));
        // Freeing one entry leaves the other's tables readable.
        DriverRecord<RibbonMoveEntry>& survivor = direction ? a : b;
        (direction ? b : a).reset();
        EXPECT_EQ(tableAt(survivor->move.rampUpTable, 3), (std::vector<uint32_t>{200, 400, 800}));
    }
}

TEST_F(RibbonRecordsTest, ToPlatenSingleDirectionFillsOneEntry)
{
    CRibbonToPlatenSettings s(file);
    s.direction = 1;
    s.ribbon.speed = constant(600);
    s.ribbon.totalPulses = 60;
    s.platen.speed = constant(700);
    s.platen.totalPulses = 70;
    DriverRecord<RibbonMoveEntry> a, b;
    Refusals r;
    const ToPlatenBuild t = buildToPlaten(a, b, s, r);
    EXPECT_TRUE(t.reverse);
    EXPECT_FALSE(t.sequence);
    EXPECT_EQ(b->move.direction, 0);
    EXPECT_EQ(b->move.stepMode, 0); // "Full"
    EXPECT_EQ(b->platen.direction, 0);
    EXPECT_EQ(b->platen.constantPulses, 70);
    EXPECT_EQ(b->platen.constantSpeed, 700);
    EXPECT_EQ(bytesOf(a.record()), bytesOf(RibbonMoveEntry{})); // untouched
}

struct RefusalCase {
    const char* name;
    int speedType;   // 0 constant, 1 ramp-up
    const char* path; // "up3", "empty", "missing", "" (none)
    int32_t pulses;
    const char* message;
};

TEST_F(RibbonRecordsTest, RefusalsNameTheFieldAndTheMove)
{
    const RefusalCase cases[] = {
        {"no path", 1, "", 10, "\"Ramp Up Profile\" of Slip Clutch can not be empty\n"},
        {"missing", 1, "missing", 10, "File in \"Ramp Up Profile\" of Slip Clutch not exist\n"},
        {"empty file", 1, "empty", 10, "File in \"Ramp Up Profile\" of Slip Clutch has no value\n"},
        // Sent as computed; the driver answers for these.
        {"negative", 0, "", -1, ""},
        {"below the ramp", 1, "up3", 2, ""},
        {"many", 0, "", 1'000'001, ""},
        {"beyond 32 bits with a ramp", 1, "up3", INT32_MIN,
         "\"Total No. of Pulses\" of Slip Clutch less its ramp profiles is beyond a 32-bit count.\n"},
        {"at the bound", 0, "", 1'000'000, ""},
        {"at the bound with a ramp", 1, "up3", 1'000'000, ""},
        {"ramp only", 1, "up3", 3, ""},
        {"empty box", 0, "", 0, ""},
    };
    for (const RefusalCase& c : cases) {
        CRibbonTensionSettings s(file);
        s.usePlaten = 0;
        s.slipClutch.speed.initialSpeedType = c.speedType;
        const QString p = QLatin1String(c.path);
        s.slipClutch.speed.rampUpProfile = p == "up3"       ? up3
                                           : p == "empty"   ? empty
                                           : p == "missing" ? QStringLiteral("\\Hard Disk\\Profiles\\gone.txt")
                                                            : QString();
        s.slipClutch.totalPulses = c.pulses;
        DriverRecord<RibbonTensionParams> rec;
        Refusals r;
        buildTension(rec, s, r);
        EXPECT_EQ(r.text, QLatin1String(c.message)) << c.name;
    }
}

TEST_F(RibbonRecordsTest, RefusalsCollectOverMovesAndPanel)
{
    CRibbonAdvanceSettings s(file);
    s.clockwise.speed = rampUp(empty);
    s.slipClutch.totalPulses = -5;
    s.platen.speed = rampUp(QString());
    s.platen.totalPulses = 100;
    DriverRecord<RibbonMoveEntry> e[3];
    Refusals r;
    buildAdvance(e, s, r);
    EXPECT_EQ(r.text, QStringLiteral("File in \"Ramp Up Profile\" of Rocker Arm (Clockwise) has no value\n"
                                     "\"Ramp Up Profile\" of Platen can not be empty\n"));
    EXPECT_EQ(e[2]->move.pulseCount, -5) << "the slip clutch's pulses go as typed";
    // The panel's ramp-down counts against its pulses (a negative constant
    // phase is sent); a missing ramp-down file only leaves its table empty.
    CRibbonAdvanceSettings t(file);
    t.platen.speed.useRampDown = 1;
    t.platen.speed.rampDownProfile = up3;
    t.platen.totalPulses = 2;
    Refusals r2;
    buildAdvance(e, t, r2);
    EXPECT_TRUE(r2.empty());
    EXPECT_EQ(e[2]->platen.constantPulses, -1);
    t.platen.speed.rampDownProfile = QStringLiteral("\\Hard Disk\\Profiles\\gone.txt");
    Refusals r3;
    buildAdvance(e, t, r3);
    EXPECT_TRUE(r3.empty());
    EXPECT_EQ(e[2]->platen.rampDownEntries, 0);
}

TEST(RibbonLines, ExactTexts)
{
    namespace L = vantor::ribbon::lines;
    const std::pair<QString, const char*> cases[] = {
        {L::tensionSlipClutch(3, true, true, 1234), "3,Ribbon Tension and Slip Clutch,OK,1234"},
        {L::tensionSlipClutch(3, true, false, 1234), "3,Ribbon Tension and Slip Clutch,OK,-"},
        {L::tensionSlipClutch(3, false, true, 1234), "3,Ribbon Tension and Slip Clutch,FAIL,-"},
        {L::tensionOnly(1, true), "1,Ribbon Tension Only,OK,-"},
        {L::tensionOnly(1, false), "1,Ribbon Tension Only,FAIL,-"},
        {L::rockerArmCc(2, true), "2,Rocker Arm (cc),OK,-"},
        {L::rockerArmCc(2, false), "2,Rocker Arm (cc),FAIL,-"},
        {L::rockerArmC(2, true), "2,Rocker Arm (c),OK,-"},
        {L::rockerArmC(2, false), "2,Rocker Arm (c),FAIL,-"},
        {L::slipClutch(2, true, true, -40), "2,Slip Clutch,OK,-40"},
        {L::slipClutch(2, true, false, 40), "2,Slip Clutch,OK,-"},
        {L::slipClutch(2, false, true, 40), "2,Slip Clutch,FAIL,-"},
        {L::driveAdvance(4, true, true, 55), "4,Ribbon Advance ,55, OK,-"},
        {L::driveAdvance(4, true, false, 55), "4,Ribbon Advance ,OK,-"},
        {L::driveAdvance(4, false, true, 55), "4,Ribbon Advance ,FAIL,-"},
        {L::driveReverse(4, true, true, -55), "4,Ribbon Reverse ,-55, OK,-"},
        {L::driveReverse(4, true, false, 55), "4,Ribbon Reverse ,OK,-"},
        {L::driveReverse(4, false, false, 55), "4,Ribbon Reverse ,FAIL,-"},
        {L::platenAdvance(5, true, true, 9, true), "5,Ribbon Advance w/ Platen, 9, OK,-"},
        {L::platenAdvance(5, true, false, 9, true), "5,Ribbon Advance w/ Platen,OK,-"},
        {L::platenAdvance(5, false, true, 9, true), "5,Ribbon Advance w/ Platen ,FAIL,-"},
        {L::platenAdvance(5, true, true, 9, false), "5,Ribbon Advance w/ Platen,9, OK,-"},
        {L::platenAdvance(5, true, false, 9, false), "5,Ribbon Advance w/ Platen,OK,-"},
        {L::platenAdvance(5, false, true, 9, false), "5,Ribbon Advance w/ Platen,FAIL,-"},
        {L::platenReverse(6, true, true, 8), "6,Ribbon Reverse w/ Platen,8, OK,-"},
        {L::platenReverse(6, true, false, 8), "6,Ribbon Reverse w/ Platen,OK,-"},
        {L::platenReverse(6, false, true, 8), "6,Ribbon Reverse w/ Platen,FAIL,-"},
    };
    for (const auto& [got, want] : cases)
        EXPECT_EQ(got, QLatin1String(want));
}

TEST(RibbonLevel, CodesOfTheList)
{
    EXPECT_EQ(levelCode(QStringLiteral("38")), 1);
    EXPECT_EQ(levelCode(QStringLiteral("71")), 2);
    EXPECT_EQ(levelCode(QStringLiteral("100")), 3);
}

} // namespace
