#include <gtest/gtest.h>

#include "pellam/driver/UserDriver.h"
#include "support/FakePrinter.h"

using namespace pellam::driver;
using pellamtest::FakePrinter;
using pellamtest::ScopedFakePrinter;

namespace {

TEST(UserDriver, OpensWithReadWriteAccessAndSharing)
{
    ScopedFakePrinter printer;
    platform::DeviceHandle h = openPrinter();
    ASSERT_TRUE(h.valid());
    EXPECT_EQ(h.flags().access, platform::GENERIC_READ | platform::GENERIC_WRITE);
    EXPECT_EQ(h.flags().share, 3u);
    EXPECT_EQ(h.flags().creation, platform::OPEN_EXISTING);
    EXPECT_EQ(h.flags().attributes, 0x80u);
}

TEST(UserDriver, UsageAsksWithTheSelectorAndReadsTwoWords)
{
    ScopedFakePrinter printer;
    UsageRecord answer;
    answer.cutsMade = 4711;
    answer.inchesPrinted = 815;
    answer.word2 = 99;
    printer->answers[IOCTL_PRN_GET_USAGE] = FakePrinter::bytesOf(answer);
    platform::DeviceHandle h = openPrinter();
    UsageRecord u;
    ASSERT_TRUE(readUsage(h, u));
    EXPECT_EQ(u.cutsMade, 4711u);
    EXPECT_EQ(u.inchesPrinted, 815u);
    const auto r = printer->log().back();
    EXPECT_EQ(r.in, QByteArray("i"));
    EXPECT_EQ(r.outLen, 12u);
}

TEST(UserDriver, FailedReadingsAreZerosAgainstAnAbsentDriver)
{
    platform::DeviceHandle none = openPrinter();
    ASSERT_FALSE(none.valid());
    UsageRecord u;
    u.cutsMade = 5; // stale values must not survive a failed read
    u.inchesPrinted = 6;
    EXPECT_FALSE(readUsage(none, u));
    EXPECT_EQ(u.cutsMade, 0u);
    EXPECT_EQ(u.inchesPrinted, 0u);

    uint8_t version = 9;
    EXPECT_FALSE(readTapeTagChipVersion(none, version));
    EXPECT_EQ(version, 0);
    version = 9;
    EXPECT_FALSE(readRibbonTagChipVersion(none, version));
    EXPECT_EQ(version, 0);

    PebRecord peb;
    peb.downstreamGapToPrintline = 77;
    EXPECT_FALSE(readPeb(none, peb));
    EXPECT_EQ(peb.downstreamGapToPrintline, 0u);

    int32_t layout = 3;
    platform::DeviceHandle kbd = openKeyboard();
    EXPECT_FALSE(readKeyboardLayout(kbd, layout));
    EXPECT_EQ(layout, 0);
}

TEST(UserDriver, DotWidthFallsBackWhenTheAnswerIsMissingOrUnusable)
{
    ScopedFakePrinter printer;
    platform::DeviceHandle h = openPrinter();
    EXPECT_EQ(dotWidth(h), kFallbackDotWidth) << "request fails";
    printer->answers[IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(0));
    EXPECT_EQ(dotWidth(h), kFallbackDotWidth);
    printer->answers[IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(0xFFFFFFFF));
    EXPECT_EQ(dotWidth(h), kFallbackDotWidth) << "wider than a row buffer";
    printer->answers[IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(1280));
    EXPECT_EQ(dotWidth(h), 1280u);
}

TEST(UserDriver, GapDacIsTheMostSignificantByteOfTheWord)
{
    ScopedFakePrinter printer;
    printer->answers[IOCTL_PRN_GET_GAP_SENSOR_DAC] = FakePrinter::bytesOf(uint32_t(0xAB123456));
    platform::DeviceHandle h = openPrinter();
    GapDacRecord dac;
    ASSERT_TRUE(readGapSensorDac(h, dac));
    EXPECT_EQ(dac.dac, 0xAB);
}

TEST(UserDriver, HeadResistanceWriteCarriesTheSignedValue)
{
    ScopedFakePrinter printer;
    platform::DeviceHandle h = openPrinter();
    setHeadResistance(h, 1100);
    const auto r = printer->log().back();
    EXPECT_EQ(r.code, IOCTL_PRN_SET_HEAD_RESISTANCE);
    EXPECT_EQ(r.in, FakePrinter::bytesOf(int32_t(1100)));
    EXPECT_EQ(r.outLen, 0u);
}

} // namespace
