#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "TapeRewindTestDevice.h"
#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/settings/TestSettingsRecords.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/screens/motion/TapeRewindMove.h"

using namespace vantor::motion;
using protocol::DriverRecord;
using protocol::TapeRewindRecord;

namespace {

struct TapeRewindMoveTest : ::testing::Test {
    QTemporaryDir dir;

    QString profile(const char* name, const QByteArray& text)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }

    // Values that differ from every reset value, so a field that is not set
    // shows.
    CSettingsFile file;

    CTapeRewindSettings constantValues()
    {
        CTapeRewindSettings v(file, kTestTapeRewind);
        v.speed.initialSpeedType = 0;
        v.speed.constantSpeed = 640;
        v.vref = 77;
        v.totalPulses = 1234;
        v.captureEncoderFrom = 300;
        v.waitToRead = 150;
        v.stepMode = 3;
        v.tension = protocol::tension::High;
        v.postHold = 45;
        return v;
    }
    // The same values in the section of `mode`.
    CTapeRewindSettings as(int mode, const CTapeRewindSettings& v)
    {
        CTapeRewindSettings r(file, CTapeRewindSettings::IndexOfMode(mode));
        r = v;
        return r;
    }
};

} // namespace

TEST_F(TapeRewindMoveTest, RewindSendsTheWholeMoveWithTheSliderVref)
{
    DriverRecord<TapeRewindRecord> move;
    ASSERT_TRUE(BuildTapeRewindMove(as(kModeTapeRewind, constantValues()), move));
    EXPECT_EQ(move.block().Target, 6u);
    EXPECT_EQ(move.block().Command, 11u);
    EXPECT_EQ(move.block().Param, move.address());
    const TapeRewindRecord& r = move.record();
    EXPECT_EQ(r.mode, 1);
    EXPECT_EQ(r.stepMode, 3);
    EXPECT_EQ(r.word8, 0);
    EXPECT_EQ(r.constantPulses, 1234);
    EXPECT_EQ(r.constantSpeed, 640);
    EXPECT_EQ(r.word20, 0);
    EXPECT_EQ(r.postHold, 45);
    EXPECT_EQ(r.rampUpEntries, 0);
    EXPECT_EQ(r.rampDownEntries, 0);
    EXPECT_EQ(r.captureEncoderFrom, 0); // not this mode's field
    EXPECT_EQ(r.word40, 0);
    EXPECT_EQ(r.rampUpTable, 0u);
    EXPECT_EQ(r.rampDownTable, 0u);
    EXPECT_EQ(r.waitToRead, 0);
    EXPECT_EQ(r.vref, 77);
}

TEST_F(TapeRewindMoveTest, RollTightnessSubtractsBothRampsAndKeepsVref255)
{
    CTapeRewindSettings v = constantValues();
    v.speed.initialSpeedType = 1;
    v.speed.rampUpProfile = profile("up.txt", "200\n400\n800\n");
    v.speed.useRampDown = 1;
    v.speed.rampDownProfile = profile("down.txt", "800\r\n300\r\n");
    DriverRecord<TapeRewindRecord> move;
    ASSERT_TRUE(BuildTapeRewindMove(as(kModeRollTightness, v), move));
    const TapeRewindRecord& r = move.record();
    EXPECT_EQ(move.block().Command, 26u);
    EXPECT_EQ(r.constantSpeed, 800); // the last ramp-up entry
    EXPECT_EQ(r.rampUpEntries, 3);
    EXPECT_EQ(r.rampDownEntries, 2);
    EXPECT_NE(r.rampUpTable, 0u);
    EXPECT_NE(r.rampDownTable, 0u);
    EXPECT_EQ(r.constantPulses, 1234 - 3 - 2);
    EXPECT_EQ(r.captureEncoderFrom, 300);
    EXPECT_EQ(r.waitToRead, 0);
    EXPECT_EQ(r.vref, 255);
    const auto* up = reinterpret_cast<const uint32_t*>(platform::CallerMemory::instance().resolve(r.rampUpTable, 12));
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up[0], 200u);
    EXPECT_EQ(up[2], 800u);
}

TEST_F(TapeRewindMoveTest, PulseCountIsSentAsComputedEvenBelowZero)
{
    CTapeRewindSettings v = constantValues();
    v.totalPulses = 2;
    v.speed.useRampDown = 1;
    v.speed.rampDownProfile = profile("down.txt", "5\n4\n3\n2\n1\n");
    DriverRecord<TapeRewindRecord> move;
    ASSERT_TRUE(BuildTapeRewindMove(as(kModeTapeRewind, v), move));
    EXPECT_EQ(move.record().constantPulses, -3);
    EXPECT_EQ(move.record().constantSpeed, 640);
}

TEST_F(TapeRewindMoveTest, RebuildingFreesTheOldTablesAndResetsTheRecord)
{
    CTapeRewindSettings v = constantValues();
    v.speed.initialSpeedType = 1;
    v.speed.rampUpProfile = profile("up.txt", "1\n2\n");
    v.speed.useRampDown = 1;
    v.speed.rampDownProfile = v.speed.rampUpProfile;
    DriverRecord<TapeRewindRecord> move;
    ASSERT_TRUE(BuildTapeRewindMove(as(kModeRollTightness, v), move));
    const uint32_t oldTable = move.record().rampUpTable;
    EXPECT_EQ(move.tableCount(), 2u);

    CTapeRewindSettings plain = constantValues();
    ASSERT_TRUE(BuildTapeRewindMove(as(kModeOvershoot, plain), move));
    EXPECT_EQ(move.tableCount(), 0u);
    EXPECT_EQ(platform::CallerMemory::instance().resolve(oldTable, 4), nullptr);
    EXPECT_EQ(move.record().rampUpEntries, 0);
    EXPECT_EQ(move.record().rampDownEntries, 0);
    EXPECT_EQ(move.record().captureEncoderFrom, 0);
}

TEST_F(TapeRewindMoveTest, RampUpWithoutAnEntryRefusesTheRun)
{
    CTapeRewindSettings v = constantValues();
    EXPECT_EQ(CheckTapeRewindRun(as(kModeTapeRewind, v)), QString()); // constant speed needs no file

    v.speed.initialSpeedType = 1;
    EXPECT_EQ(CheckTapeRewindRun(as(kModeTapeRewind, v)), QStringLiteral("\"Ramp Up Profile\" of Tape Rewind can not be empty\n"));
    v.speed.rampUpProfile = dir.filePath(QStringLiteral("missing.txt"));
    EXPECT_EQ(CheckTapeRewindRun(as(kModeRollTightness, v)),
              QStringLiteral("File in \"Ramp Up Profile\" of Tape Roll Tightness not exist\n"));
    v.speed.rampUpProfile = profile("empty.txt", "\n\n");
    EXPECT_EQ(CheckTapeRewindRun(as(kModeOvershoot, v)),
              QStringLiteral("File in \"Ramp Up Profile\" of Tape Overshoot has no value\n"));
    DriverRecord<TapeRewindRecord> move;
    EXPECT_FALSE(BuildTapeRewindMove(as(kModeOvershoot, v), move));

    // A missing ramp-down file only leaves its table empty.
    v.speed.rampUpProfile = profile("up.txt", "300\n");
    v.speed.useRampDown = 1;
    v.speed.rampDownProfile = dir.filePath(QStringLiteral("gone.txt"));
    EXPECT_EQ(CheckTapeRewindRun(as(kModeTapeRewind, v)), QString());
    ASSERT_TRUE(BuildTapeRewindMove(as(kModeTapeRewind, v), move));
    EXPECT_EQ(move.record().rampDownEntries, 0);
    EXPECT_EQ(move.record().constantPulses, 1234 - 1);
}

TEST_F(TapeRewindMoveTest, CycleSendsTheBlockAndReportsTheEncoderOrFail)
{
    auto printer = std::make_shared<tape_rewind_test::RecordingPrinter>();
    platform::registerDevice(QStringLiteral("PRN1:"), printer);
    printer->failRequest(2);
    platform::DeviceHandle handle = protocol::openPrinter();
    DriverRecord<TapeRewindRecord> move;
    ASSERT_TRUE(BuildTapeRewindMove(as(kModeRollTightness, constantValues()), move));

    EXPECT_EQ(RunTapeRewindCycle(handle, move.block(), kModeRollTightness, 1),
              QStringLiteral("1. Tape Roll Tightness - OK (Encoder %1)").arg(printer->encoderOf(1)));
    EXPECT_EQ(RunTapeRewindCycle(handle, move.block(), kModeRollTightness, 2),
              QStringLiteral("2. Tape Roll Tightness - FAIL"));
    platform::unregisterDevice(QStringLiteral("PRN1:"));

    const auto requests = printer->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].code, protocol::IOCTL_PRN_MOTION);
    EXPECT_EQ(requests[0].inLen, 12u);
    EXPECT_EQ(requests[0].outLen, 4u);
    EXPECT_EQ(requests[0].block.Command, 26u);
    EXPECT_EQ(requests[0].record.captureEncoderFrom, 300);

    // A negative count is shown signed; no driver at all is a plain FAIL.
    EXPECT_EQ(TapeRewindResultLine(3, kModeTapeRewind, true, -12), QStringLiteral("3. Tape Rewind - OK (Encoder -12)"));
    platform::DeviceHandle none = protocol::openPrinter();
    EXPECT_EQ(RunTapeRewindCycle(none, move.block(), kModeOvershoot, 4), QStringLiteral("4. Tape Overshoot - FAIL"));
}

