#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/CallerMemory.h"
#include "platform/DevicePath.h"
#include "protocol/DriverRecord.h"
#include "vantor/driver/MotorGroup.h"
#include "protocol/PlatenMoveParams.h"
#include "vantor/driver/RampProfile.h"

using namespace protocol;
using namespace vantor::driver;

namespace {

class RampProfileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static std::vector<uint32_t> entries(const RampTable& t) { return {t.data(), t.data() + t.count()}; }
};

TEST_F(RampProfileTest, ReadsValuesInFileOrderKeepingLow16Bits)
{
    EXPECT_EQ(entries(ReadRampProfile(write("a.txt", "200\n400\n800\n"))), (std::vector<uint32_t>{200, 400, 800}));
    EXPECT_EQ(entries(ReadRampProfile(write("b.txt", "70000\n65535\n65536\n"))),
              (std::vector<uint32_t>{4464, 65535, 0}));
}

TEST_F(RampProfileTest, LastLineWithoutLineFeedAndEmptyLines)
{
    EXPECT_EQ(entries(ReadRampProfile(write("c.txt", "\n\n10\n\n20"))), (std::vector<uint32_t>{10, 20}));
}

TEST_F(RampProfileTest, CrLfGivesSameTableExceptBlankLinesBecomeZero)
{
    EXPECT_EQ(entries(ReadRampProfile(write("d.txt", "200\r\n400\r\n\r\n800\r\n"))),
              (std::vector<uint32_t>{200, 400, 0, 800}));
    EXPECT_EQ(entries(ReadRampProfile(write("e.txt", "200\n400\n\n800\n"))), (std::vector<uint32_t>{200, 400, 800}));
}

TEST_F(RampProfileTest, ConversionSkipsBlanksAndStopsAtFirstNonDigit)
{
    EXPECT_EQ(entries(ReadRampProfile(write("f.txt", "  \t 12abc\nx99\n-5\n3 4\n"))),
              (std::vector<uint32_t>{12, 0, 0, 3}));
}

TEST_F(RampProfileTest, MissingFileOrFolderGivesNoEntries)
{
    RampTable t = ReadRampProfile(dir.filePath("none.txt"));
    EXPECT_EQ(t.count(), 0u);
    EXPECT_EQ(t.address(), 0u);
    EXPECT_EQ(ReadRampProfile(dir.path()).count(), 0u);
    EXPECT_EQ(ReadRampProfile(QString()).count(), 0u);
}

TEST_F(RampProfileTest, DevicePathsGoBelowTheDeviceRoot)
{
    platform::setDeviceRoot(dir.path());
    QDir(dir.path()).mkpath("Store");
    write("Store/ramp.txt", "5\n6\n");
    EXPECT_EQ(entries(ReadRampProfile("\\store\\RAMP.txt")), (std::vector<uint32_t>{5, 6}));
    platform::setDeviceRoot(QString());
}

TEST_F(RampProfileTest, TableLivesInCallerMemoryUntilReset)
{
    RampTable t = ReadRampProfile(write("g.txt", "1\n2\n3\n"));
    const auto address = t.address();
    ASSERT_NE(address, 0u);
    const uint8_t* bytes = platform::CallerMemory::instance().resolve(address, 12);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[8], 3);
    t.reset();
    EXPECT_EQ(platform::CallerMemory::instance().resolve(address, 4), nullptr);
}

TEST_F(RampProfileTest, MotorBlockFromRampGroup)
{
    DriverRecord<PlatenMoveParams> rec;
    MotorGroupParams g;
    g.speedChoice = speedChoice::RampUp;
    g.rampUpProfile = write("up.txt", "200\n400\n800\n");
    g.totalPulses = 1000;
    g.direction = 1;
    g.stepMode = 2;
    g.vref = 77;
    g.preHold = 5;
    g.postHold = 6;
    ASSERT_TRUE(fillMotorBlock(rec->platen, g, rec));
    EXPECT_EQ(rec->platen.constantSpeed, 800);
    EXPECT_EQ(rec->platen.rampUpEntries, 3);
    EXPECT_EQ(rec->platen.constantPulses, 997);
    EXPECT_EQ(rec->platen.rampDownEntries, 0);
    EXPECT_EQ(rec->platen.rampDownTable, 0u);
    EXPECT_EQ(rec->platen.vref, 77);
    EXPECT_EQ(rec->platen.word8, 2);
    const uint8_t* t = platform::CallerMemory::instance().resolve(rec->platen.rampUpTable, 12);
    ASSERT_NE(t, nullptr);

    // Ramp-down too: both ramps come off the total.
    g.useRampDown = true;
    g.rampDownProfile = write("down.txt", "800\n400\n");
    rec.reset();
    EXPECT_EQ(platform::CallerMemory::instance().resolve(rec->platen.rampUpTable, 4), nullptr)
        << "reset leaves the record without tables";
    ASSERT_TRUE(fillMotorBlock(rec->platen, g, rec));
    EXPECT_EQ(rec->platen.constantPulses, 995);
    EXPECT_EQ(rec->platen.rampDownEntries, 2);
    const uint32_t up = rec->platen.rampUpTable;
    rec.reset();
    EXPECT_EQ(platform::CallerMemory::instance().resolve(up, 4), nullptr);
    EXPECT_EQ(rec->platen.rampUpTable, 0u);
    EXPECT_EQ(rec->platen.constantSpeed, 1000);
}

TEST_F(RampProfileTest, EmptyRampUpProfileLeavesNoSpeed)
{
    DriverRecord<PlatenMoveParams> rec;
    MotorGroupParams g;
    g.speedChoice = speedChoice::RampUp;
    g.rampUpProfile = write("empty.txt", "");
    g.totalPulses = 10;
    EXPECT_FALSE(fillMotorBlock(rec->platen, g, rec));
    g.rampUpProfile = dir.filePath("missing.txt");
    EXPECT_FALSE(fillMotorBlock(rec->platen, g, rec));
    g.speedChoice = speedChoice::Constant;
    g.constantSpeed = 1234;
    EXPECT_TRUE(fillMotorBlock(rec->platen, g, rec));
    EXPECT_EQ(rec->platen.constantSpeed, 1234);
    EXPECT_EQ(rec->platen.constantPulses, 10);
}

TEST(RampProfileParse, ArbitraryBytesNeverOverrun)
{
    std::vector<uint32_t> out;
    const char text[] = {'9', '9', '9', '9', '9', '9', '9', '9', '9', '9', '9', '9', '9', '\0', '7'};
    parseRampProfile(text, sizeof text, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_LE(out[0], 0xFFFFu);
    out.clear();
    parseRampProfile("", 0, out);
    EXPECT_TRUE(out.empty());
}

} // namespace
