#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "platform/Trace.h"

using namespace platform;

namespace {

class EchoDevice : public Device {
public:
    int opens = 0, closes = 0;
    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* bytesReturned) override
    {
        if (code != ctlCode(0x1E, 0x801, METHOD_BUFFERED, FILE_ANY_ACCESS) || inLen != 4 || outLen < 4)
            return false;
        uint32_t v;
        std::memcpy(&v, in, 4);
        // Reads a record through caller memory, as the real drivers do.
        const uint8_t* rec = CallerMemory::instance().resolve(v, 4);
        if (!rec)
            return false;
        trace::attach("record", v, rec, 4);
        std::memcpy(out, rec, 4);
        if (bytesReturned)
            *bytesReturned = 4;
        return true;
    }
    void opened() override { ++opens; }
    void closed() override { ++closes; }
};

constexpr uint32_t kMotion = ctlCode(0x1E, 0x801, METHOD_BUFFERED, FILE_ANY_ACCESS);

struct DeviceFixture : ::testing::Test {
    std::shared_ptr<EchoDevice> dev = std::make_shared<EchoDevice>();
    void SetUp() override { registerDevice(QStringLiteral("PRN1:"), dev); }
    void TearDown() override { unregisterAllDevices(); }
};

} // namespace

TEST(CtlCode, MatchesTheDriverTables)
{
    EXPECT_EQ(kMotion, 0x1E2004u);
    EXPECT_EQ(ctlCode(0x1E, 0x80D, METHOD_BUFFERED, FILE_ANY_ACCESS), 0x1E2034u);
    EXPECT_EQ(ctlCode(0x18, 0x800, METHOD_BUFFERED, FILE_READ_ACCESS), 0x186000u);
}

TEST_F(DeviceFixture, OpenByNameIgnoresCaseAndCountsOpenClose)
{
    {
        DeviceHandle h = openDevice(QStringLiteral("prn1:"));
        EXPECT_TRUE(h.valid());
        EXPECT_EQ(dev->opens, 1);
        DeviceHandle moved = std::move(h);
        EXPECT_FALSE(h.valid());
        EXPECT_TRUE(moved.valid());
    }
    EXPECT_EQ(dev->closes, 1);
}

TEST_F(DeviceFixture, UnknownNameGivesInvalidHandleOnWhichEverythingFails)
{
    DeviceHandle h = openDevice(QStringLiteral("KBD1:"));
    EXPECT_FALSE(h.valid());
    uint32_t in = 0, out = 0xAAAAAAAA, written = 7;
    EXPECT_FALSE(h.ioControl(kMotion, &in, 4, &out, 4));
    EXPECT_EQ(out, 0xAAAAAAAAu);
    EXPECT_FALSE(h.write("x", 1, &written));
    EXPECT_EQ(written, 0u);
}

TEST_F(DeviceFixture, UnregisteredDriverMeansAbsent)
{
    unregisterDevice(QStringLiteral("PRN1:"));
    EXPECT_FALSE(openDevice(QStringLiteral("PRN1:")).valid());
}

TEST_F(DeviceFixture, TraceRecordsRequestAndAttachedRecord)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    trace::setFile(path);
    trace::nameRequest(kMotion, "IOCTL_PRN_MOTION");
    CallerBuffer record(4);
    const uint32_t value = 0x04030201;
    std::memcpy(record.data(), &value, 4);
    DeviceHandle h = openDevice(QStringLiteral("PRN1:"));
    uint32_t addr = record.address(), out = 0, returned = 0;
    EXPECT_TRUE(h.ioControl(kMotion, &addr, 4, &out, 4, &returned));
    EXPECT_EQ(out, value);
    record.reset();
    EXPECT_FALSE(h.ioControl(kMotion, &addr, 4, &out, 4, &returned)); // freed address
    trace::setFile(QString());
    EXPECT_FALSE(trace::enabled());

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("PRN1: IOCTL_PRN_MOTION in[4]")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("out[4] 01 02 03 04 -> OK returned=4")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("record @")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("[4] 01 02 03 04")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("-> FAIL")));
}
