#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "platform/CallerMemory.h"
#include "vantor/settings/CSettingsFile.h"
#include "vantor/screens/motion/XYCutterRecords.h"

using namespace vantor::motion;
using protocol::AxisMoveParams;

namespace {

struct XYCutterRecordsTest : ::testing::Test {
    QTemporaryDir dir;
    CSettingsFile file;

    QString profile(const char* name, const QByteArray& text)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }

    // Word at a byte offset of a record.
    template <class T>
    static int32_t word(const T& record, size_t offset)
    {
        int32_t w;
        std::memcpy(&w, reinterpret_cast<const char*>(&record) + offset, 4);
        return w;
    }
    template <class T>
    static uint8_t byteAt(const T& record, size_t offset)
    {
        return reinterpret_cast<const uint8_t*>(&record)[offset];
    }
};

// Every field of an axis record, as offsets from the record's start.
void expectAxis(const void* record, size_t at, std::initializer_list<int32_t> words, uint8_t vref)
{
    const char* base = static_cast<const char*>(record) + at;
    size_t off = 0;
    for (int32_t w : words) {
        int32_t got;
        std::memcpy(&got, base + off, 4);
        EXPECT_EQ(got, w) << "axis word at +" << off;
        off += 4;
    }
    EXPECT_EQ(uint8_t(base[40]), vref);
}

} // namespace

TEST_F(XYCutterRecordsTest, NameTables)
{
    EXPECT_EQ(XYCutterAxisName(kXYCrossWeb), "Cross Web");
    EXPECT_EQ(XYCutterAxisName(kXYDownWeb), "Down Web");
    EXPECT_EQ(XYCutterAxisName(kXYPinch), "Pinch");
    EXPECT_EQ(XYCutterLifeTestName(kXYHoming), "Homing Test");
    EXPECT_EQ(XYCutterLifeTestName(kXYAging), "Aging Test");
    EXPECT_EQ(XYCutterLifeTestName(kXYLifePinch), "Pinch Test");
    EXPECT_TRUE(XYCutterAxisName(3).isEmpty());
}

TEST_F(XYCutterRecordsTest, CrossWebRecordBytesWithRampsAndSamples)
{
    CXYCutterSettings v(file);
    v.axis = kXYCrossWeb;
    v.crossweb.speed.initialSpeedType = 1;
    v.crossweb.speed.rampUpProfile = profile("up.txt", "100\n200\n300\n");
    v.crossweb.speed.useRampDown = 1;
    v.crossweb.speed.rampDownProfile = profile("down.txt", "300\n100\n");
    v.crossweb.totalPulses = 20;
    v.crossweb.direction = 1;
    v.crossweb.stepMode = 3;
    v.crossweb.vref = 77;
    v.force = 140;
    v.downweb.totalPulses = 999; // not the chosen axis

    XYCutterRecords r;
    ASSERT_EQ(BuildXYCutterRecords(v, r), "");
    const auto& rec = r.crossWeb.record();
    EXPECT_EQ(r.block().Target, 8u);
    EXPECT_EQ(r.block().Command, 38u);
    EXPECT_EQ(r.block().Param, r.crossWeb.address());
    EXPECT_EQ(word(rec, 0), 2);
    expectAxis(&rec, 4, {1, 3, 20 - 3 - 2, 300, int32_t(rec.move.axis.rampUpTable), 3,
                         int32_t(rec.move.axis.rampDownTable), 2, 0, 3000}, 77);
    EXPECT_NE(rec.move.axis.rampUpTable, 0u);
    EXPECT_NE(rec.move.axis.rampDownTable, 0u);
    EXPECT_EQ(word(rec, 48), 0);
    EXPECT_EQ(word(rec, 52), 0);
    EXPECT_EQ(word(rec, 56), 140);
    EXPECT_EQ(word(rec, 60), 1);
    EXPECT_EQ(word(rec, 64), 1);
    EXPECT_EQ(word(rec, 68), 3);
    EXPECT_EQ(word(rec, 72), 20); // the pulse box value, not the constant phase
    EXPECT_EQ(uint32_t(word(rec, 76)), r.samples.address());
    EXPECT_EQ(r.samples.count(), 20u);
    // The tables the record points at hold the profile.
    const uint8_t* up = platform::CallerMemory::instance().resolve(rec.move.axis.rampUpTable, 12);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(word(*up, 8) & 0xFFFF, 300);
}

TEST_F(XYCutterRecordsTest, DownWebAndPinchRecordBytes)
{
    CXYCutterSettings v(file);
    v.axis = kXYDownWeb;
    v.downweb.speed.constantSpeed = 850;
    v.downweb.totalPulses = 400;
    v.downweb.direction = 1;
    v.downweb.stepMode = 2;
    v.downweb.vref = 33;
    v.force = 12;
    XYCutterRecords r;
    ASSERT_EQ(BuildXYCutterRecords(v, r), "");
    EXPECT_EQ(r.block().Target, 9u);
    EXPECT_EQ(r.block().Command, 14u);
    EXPECT_EQ(r.block().Param, r.downWeb.address());
    EXPECT_EQ(word(r.downWeb.record(), 0), 2);
    expectAxis(&r.downWeb.record(), 4, {1, 2, 400, 850, 0, 0, 0, 0, 0, 3000}, 33);
    EXPECT_EQ(word(r.downWeb.record(), 48), 12);
    EXPECT_EQ(r.samples.count(), 0u);

    v.axis = kXYPinch;
    v.pinchSequence = 1;
    v.currentLevel = "71";
    v.dutyCycle = 45;
    v.period = 250;
    v.duration = 80;
    v.pinchDelay = 15;
    v.dePinchDelay = 25;
    v.force = 255;
    ASSERT_EQ(BuildXYCutterRecords(v, r), "");
    EXPECT_EQ(r.block().Target, 10u);
    EXPECT_EQ(r.block().Command, 15u);
    EXPECT_EQ(r.block().Param, r.pinch.address());
    const int32_t expected[] = {2, 1, 2, 45, 250, 80, 255, 0, 0, 0, 15, 25, 255};
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(word(r.pinch.record(), 4 * i), expected[i]) << "pinch word at +" << 4 * i;
    // The earlier down-web tables and record went back to their reset values.
    EXPECT_EQ(r.downWeb.record().axis.runSpeed, 1000);
    EXPECT_EQ(r.downWeb.tableCount(), 0u);
}

TEST_F(XYCutterRecordsTest, LevelCodes)
{
    const struct {
        const char* text;
        int32_t code;
    } cases[] = {{"38", 1}, {"71", 2}, {"100", 3}, {"", 0}, {"50", 0}, {"abc", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(XYLevelCode(QString::fromLatin1(c.text)), c.code) << c.text;
}

TEST_F(XYCutterRecordsTest, RefusedCrossWebRuns)
{
    const QString none = dir.filePath("none.txt");
    const QString empty = profile("empty.txt", "");
    const QString shortUp = profile("up.txt", "100\n200\n300\n400\n500\n");
    const struct {
        const char* what;
        int32_t pulses;
        int32_t speedType;
        QString up;
        bool refusedByCheck;
        const char* message; // of the build, when the check passes
    } cases[] = {
        {"negative pulses", -1, 0, QString(), true, ""},
        {"too many pulses", kXYMaxPulses + 1, 0, QString(), true, ""},
        {"missing profile", 10, 1, none, false, "File in \"Ramp Up Profile\" of Cross Web has no value\n"},
        {"empty profile", 10, 1, empty, false, "File in \"Ramp Up Profile\" of Cross Web has no value\n"},
    };
    for (const auto& c : cases) {
        CXYCutterSettings v(file);
        v.crossweb.totalPulses = c.pulses;
        v.crossweb.speed.initialSpeedType = c.speedType;
        v.crossweb.speed.rampUpProfile = c.up;
        const QString check = CheckXYCutterPulses(v);
        if (c.refusedByCheck) {
            EXPECT_EQ(check, QStringLiteral("\"Total No. of Pulses\" of Cross Web must be between 0 and 100000.\n"))
                << c.what;
            continue;
        }
        EXPECT_EQ(check, "") << c.what;
        XYCutterRecords r;
        EXPECT_EQ(BuildXYCutterRecords(v, r), QString::fromLatin1(c.message)) << c.what;
    }
    // Ramps longer than the move: the negative constant phase is sent as
    // computed, and the down-web axis, which samples nothing, has no bound.
    CXYCutterSettings v(file);
    v.crossweb.totalPulses = 4;
    v.crossweb.speed.initialSpeedType = 1;
    v.crossweb.speed.rampUpProfile = shortUp;
    XYCutterRecords r;
    EXPECT_EQ(BuildXYCutterRecords(v, r), QString());
    EXPECT_EQ(r.crossWeb->move.axis.pulseCount, -1);
    EXPECT_EQ(r.crossWeb->sampling.count, 4);
    v.axis = kXYDownWeb;
    v.downweb.totalPulses = kXYMaxPulses + 1;
    EXPECT_EQ(CheckXYCutterPulses(v), QString());
    EXPECT_EQ(BuildXYCutterRecords(v, r), QString());
    EXPECT_EQ(r.downWeb->axis.pulseCount, kXYMaxPulses + 1);
}

TEST_F(XYCutterRecordsTest, ResultLines)
{
    EXPECT_EQ(XYCutterResultLine(3, kXYCrossWeb, true), "3. Run Cross Web motor - OK ");
    EXPECT_EQ(XYCutterResultLine(4, kXYPinch, false), "4. Run Pinch motor - FAIL");
    const int32_t samples[] = {10, -4, 7};
    EXPECT_EQ(XYCutterSampleLines(1, samples, 3), (QStringList{"1. 1 [10]", "1. 2 [-4]", "1. 3 [7]"}));
    EXPECT_EQ(XYLifeResultLine(2, kXYAging, true), "2. Run Aging Test - OK ");
    EXPECT_EQ(XYLifeResultLine(2, kXYHoming, false), "2. Run Homing Test - FAIL");
    EXPECT_EQ(XYEncoderLine(1000, 2412), "1000. Encoder [2412]");
}

TEST_F(XYCutterRecordsTest, LifeTapeRewindVref)
{
    const struct {
        int32_t vref;
        bool refused;
    } cases[] = {{0, true}, {1, false}, {255, false}, {256, true}, {-5, true}};
    for (const auto& c : cases) {
        CXYCutterLifeSettings v(file);
        v.tapeRewindVref = c.vref;
        EXPECT_EQ(CheckXYLifeVref(v), c.refused ? "\"Tape Rewind Vref\" must be between 1 and 255.\n" : "") << c.vref;
    }
}

TEST_F(XYCutterRecordsTest, AgingRecordBytes)
{
    CXYCutterLifeSettings v(file);
    v.crossweb.constantSpeed = 1500;
    v.stepMode = 1;
    v.crosswebVref = 90;
    v.forwardBlocked = 40;
    v.forwardUnblocked = 60;
    v.downweb.initialSpeedType = 1;
    v.downweb.rampUpProfile = profile("dup.txt", "200\n400\n");
    v.downwebStepMode = 2;
    v.downwebRunBy = 0; // "Encoder"
    v.downwebVref = 120;
    v.cutFile = QStringLiteral("cut\\star.cut");
    v.tapeRewind.constantSpeed = 700;
    v.tapeRewindStepMode = 3;
    v.tapeRewindVref = 150;
    v.periodInUS = 300;
    v.currentLevel = "38";
    v.dutyCycle = 60;
    v.pinchAfterTriggered = 11;
    v.dePinchAfterTriggered = 22;
    v.force = 99;

    XYLifeRecords r;
    ASSERT_EQ(BuildXYLifeRecords(v, kXYAging, r), "");
    const auto& p = r.life.record();
    static_assert(sizeof p == 244);
    EXPECT_EQ(r.block().Target, 35u);
    EXPECT_EQ(r.block().Command, 21u);
    EXPECT_EQ(r.block().Param, r.life.address());
    EXPECT_EQ(word(p, 0), 2);
    expectAxis(&p, 4, {0, 1, 0, 1500, 0, 0, 0, 0, 0, 3000}, 90); // direction and pulses at reset
    EXPECT_EQ(word(p, 48), 60);
    EXPECT_EQ(word(p, 52), 40);
    EXPECT_EQ(word(p, 56), 99);
    EXPECT_EQ(word(p, 60), 2);
    const int32_t pinch[] = {0, 1, 60, 300, 0, 255, 0, 0, 0, 11, 22};
    for (size_t i = 0; i < std::size(pinch); ++i)
        EXPECT_EQ(word(p, 64 + 4 * i), pinch[i]) << "pinch word at +" << 64 + 4 * i;
    EXPECT_EQ(word(p, 108), 99);
    EXPECT_EQ(word(p, 112), 2);
    expectAxis(&p, 116, {0, 2, 0, 400, int32_t(p.downWeb.axis.rampUpTable), 2, 0, 0, 0, 3000}, 120);
    EXPECT_EQ(word(p, 160), 99);
    // Tape rewind second-motor block: step mode, speed, Vref; the rest at reset.
    EXPECT_EQ(word(p, 164), 0);
    EXPECT_EQ(word(p, 168), 3);
    EXPECT_EQ(word(p, 180), 700);
    EXPECT_EQ(word(p, 192), 0);
    EXPECT_EQ(byteAt(p, 164 + 56), 150);
    EXPECT_EQ(word(p, 224), 1);
    EXPECT_EQ(word(p, 228), 0);
    EXPECT_EQ(word(p, 232), 1000);
    EXPECT_EQ(uint32_t(word(p, 236)), r.samples.address());
    ASSERT_EQ(r.samples.count(), 1000u);
    EXPECT_EQ(r.samples[0], 0);
    // The cut file path by address: UTF-16LE ended by a 0 character.
    const uint8_t* text = platform::CallerMemory::instance().resolve(uint32_t(word(p, 240)), 2 * 13);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(text)), "cut\\star.cut");
    EXPECT_EQ(text[2 * 12], 0);
    EXPECT_EQ(text[2 * 12 + 1], 0);

    v.downwebRunBy = 1; // "Step"
    ASSERT_EQ(BuildXYLifeRecords(v, kXYAging, r), "");
    EXPECT_EQ(word(r.life.record(), 224), 0);
}

TEST_F(XYCutterRecordsTest, HomingAndPinchFillOnlyTheirBlocks)
{
    CXYCutterLifeSettings v(file);
    v.crossweb.constantSpeed = 1500;
    v.crosswebVref = 90;
    v.forwardBlocked = 40;
    v.forwardUnblocked = 60;
    v.downweb.constantSpeed = 800;
    v.tapeRewind.constantSpeed = 700;
    v.currentLevel = "100";
    v.dutyCycle = 60;
    v.force = 99;
    v.cutFile = "a.cut";

    XYLifeRecords r;
    ASSERT_EQ(BuildXYLifeRecords(v, kXYAging, r), "");
    ASSERT_EQ(BuildXYLifeRecords(v, kXYHoming, r), "");
    const auto& p = r.life.record();
    EXPECT_EQ(r.block().Command, 22u);
    EXPECT_EQ(r.block().Param, r.life.address());
    EXPECT_EQ(p.crossWeb.axis.runSpeed, 1500);
    EXPECT_EQ(p.crossWeb.forwardAfterBlocked, 40);
    EXPECT_EQ(p.crossWeb.force, 0);
    EXPECT_EQ(p.downWeb.axis.runSpeed, 1000);
    EXPECT_EQ(p.tapeRewind.constantSpeed, 1000);
    EXPECT_EQ(p.pinch.drive.dutyCycle, 0);
    EXPECT_EQ(p.sampleCount, 0);
    EXPECT_EQ(p.sampleBuffer, 0u);
    EXPECT_EQ(p.cutFilePath, 0u);
    EXPECT_EQ(r.samples.count(), 0u); // the aging buffer went with the new run

    ASSERT_EQ(BuildXYLifeRecords(v, kXYLifePinch, r), "");
    EXPECT_EQ(r.block().Command, 23u);
    EXPECT_EQ(r.block().Param, r.life.address() + 60);
    EXPECT_EQ(p.pinch.header, 2);
    EXPECT_EQ(p.pinch.drive.levelCode, 3);
    EXPECT_EQ(p.pinch.drive.dutyCycle, 60);
    EXPECT_EQ(p.pinch.force, 99);
    EXPECT_EQ(p.crossWeb.axis.runSpeed, 1000);
}

TEST_F(XYCutterRecordsTest, LifeRefusesARampUpChoiceWithoutValue)
{
    CXYCutterLifeSettings v(file);
    v.tapeRewind.initialSpeedType = 1;
    v.tapeRewind.rampUpProfile = profile("empty.txt", "");
    XYLifeRecords r;
    EXPECT_EQ(BuildXYLifeRecords(v, kXYHoming, r), ""); // homing does not use the tape rewind
    EXPECT_EQ(BuildXYLifeRecords(v, kXYAging, r), "File in \"Ramp Up Profile\" of Tape Rewind has no value\n");
    // The forward steps go as typed.
    v.forwardBlocked = -1;
    v.forwardUnblocked = 2000000;
    EXPECT_EQ(BuildXYLifeRecords(v, kXYHoming, r), "");
    EXPECT_EQ(r.life->crossWeb.forwardAfterBlocked, -1);
    EXPECT_EQ(r.life->crossWeb.forwardAfterUnblocked, 2000000);
}
