#include <gtest/gtest.h>

#include <cstring>

#include "pellam/driver/DebugOutput.h"
#include "pellam/driver/PebWrite.h"
#include "pellam/driver/UserDriver.h"
#include "support/FakePrinter.h"

using namespace pellam::driver;
using pellamtest::FakePrinter;
using pellamtest::ScopedFakePrinter;

namespace {

class PebWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDebugSink([this](const QString& t) { debug << t; });
        values.set(pebItem::DownstreamSideNotch, 660);
        values.set(pebItem::DownstreamGap, 580);
        values.set(pebItem::DownstreamCenterNotch, 640);
        values.set(pebItem::UpstreamSideNotch, 1880);
        values.set(pebItem::UpstreamGap, 1790);
        values.set(pebItem::UpstreamCenterNotch, 1850);
        values.set(pebItem::PrintlineToEndCutter, 1210);
        values.setSigned(pebItem::PrintlineToXYCut, 2860);
        values.setSigned(pebItem::XYHomeToTapeCenter, -35);
        values.setSigned(pebItem::CrossWebPrintOffset, -20);
        cutForce.setM(1.25f);
        cutForce.setC(-0.5f);
    }
    void TearDown() override { setDebugSink({}); }

    static float floatOf(const QByteArray& b)
    {
        float f = 0;
        std::memcpy(&f, b.constData(), 4);
        return f;
    }
    static uint32_t wordOf(const QByteArray& b)
    {
        uint32_t w = 0;
        std::memcpy(&w, b.constData(), 4);
        return w;
    }

    ScopedFakePrinter printer;
    platform::DeviceHandle handle = openPrinter();
    CommandBlock block;
    PebItemValues values;
    CutForceValues cutForce;
    QStringList debug;
};

TEST_F(PebWrite, SaveWritesMThenCThenTheTenItemsInOrderWithTheirDebugLines)
{
    savePeb(handle, block, cutForce, values, true);

    EXPECT_EQ(printer->names(),
              QStringList({"CUT_FORCE 107/48", "CUT_FORCE 108/48", "PEB 99/46", "PEB 100/46", "PEB 101/46",
                           "PEB 102/46", "PEB 103/46", "PEB 104/46", "PEB 105/46", "PEB 106/64", "PEB 123/64",
                           "PEB 136/64"}));
    const auto log = printer->log();
    EXPECT_FLOAT_EQ(floatOf(log[0].param), 1.25f) << "Param points at M as a 32-bit float";
    EXPECT_FLOAT_EQ(floatOf(log[1].param), -0.5f);
    EXPECT_EQ(log[0].outLen, 0u);
    for (size_t i = 0; i < kPebWriteOrder.size(); ++i) {
        const auto& r = log[2 + i];
        EXPECT_EQ(r.in.size(), 12);
        EXPECT_EQ(r.outLen, 4u);
        EXPECT_EQ(r.block.Param, values.address(kPebWriteOrder[i]));
        EXPECT_EQ(wordOf(r.param), values.value(kPebWriteOrder[i])) << "item " << kPebWriteOrder[i];
    }
    EXPECT_EQ(debug, QStringList({"BBB", "=660\r\n", "BBB", "=580\r\n", "BBB", "=640\r\n", "BBB", "=1880\r\n", "BBB",
                                  "=1790\r\n", "BBB", "=1850\r\n", "BBB", "=1210\r\n", "AAA", "=2860\r\n", "AAA",
                                  "=-35\r\n", "AAA", "=-20\r\n"}));
}

TEST_F(PebWrite, ValuesOutOfRangeStillWriteTheCutForceButNoItem)
{
    savePeb(handle, block, cutForce, values, false);
    EXPECT_EQ(printer->names(), QStringList({"CUT_FORCE 107/48", "CUT_FORCE 108/48"}));
    EXPECT_TRUE(debug.isEmpty());
}

TEST_F(PebWrite, TheDriverAnswersIntoTheWordTheRequestPointsAt)
{
    printer->pebAnswerDelta = 1;
    writePebItems(handle, block, values);
    EXPECT_EQ(values.value(pebItem::DownstreamSideNotch), 661u);
    EXPECT_EQ(values.signedValue(pebItem::CrossWebPrintOffset), -19);
}

TEST_F(PebWrite, ItemValuesMapRecordWordsAndRefuseUnknownItems)
{
    PebRecord r;
    r.printlineToXYCut = -7;
    r.printlineToEndCutter = 1;
    r.upstreamCenterNotchToPrintline = 2;
    r.downstreamCenterNotchToPrintline = 3;
    r.upstreamGapToPrintline = 4;
    r.downstreamGapToPrintline = 5;
    r.upstreamSideNotchToPrintline = 6;
    r.downstreamSideNotchToPrintline = 7;
    r.xyHomeToTapeCenter = -8;
    PebItemValues v;
    v.setSigned(pebItem::CrossWebPrintOffset, 9);
    v.setFromRecord(r);
    EXPECT_EQ(v.signedValue(pebItem::PrintlineToXYCut), -7);
    EXPECT_EQ(v.value(pebItem::PrintlineToEndCutter), 1u);
    EXPECT_EQ(v.value(pebItem::UpstreamCenterNotch), 2u);
    EXPECT_EQ(v.value(pebItem::DownstreamCenterNotch), 3u);
    EXPECT_EQ(v.value(pebItem::UpstreamGap), 4u);
    EXPECT_EQ(v.value(pebItem::DownstreamGap), 5u);
    EXPECT_EQ(v.value(pebItem::UpstreamSideNotch), 6u);
    EXPECT_EQ(v.value(pebItem::DownstreamSideNotch), 7u);
    EXPECT_EQ(v.signedValue(pebItem::XYHomeToTapeCenter), -8);
    EXPECT_EQ(v.signedValue(pebItem::CrossWebPrintOffset), 9) << "not in the record, kept";

    v.set(107, 5);
    EXPECT_EQ(v.value(107), 0u);
    EXPECT_EQ(v.address(107), 0u);
    EXPECT_EQ(v.word(107), nullptr);
    // Each item's address resolves to its own word.
    for (uint32_t item : kPebWriteOrder) {
        const uint8_t* p = platform::CallerMemory::instance().resolve(v.address(item), 4);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p, reinterpret_cast<const uint8_t*>(v.word(item)));
    }
}

TEST_F(PebWrite, ReadingTheCutForceGivesZerosWhenTheRequestFails)
{
    const float pair[2] = {2.5f, -1.0f};
    printer->answers[IOCTL_PRN_CUT_FORCE] = QByteArray(reinterpret_cast<const char*>(pair), 8);
    ASSERT_TRUE(readCutForce(handle, block, cutForce));
    EXPECT_FLOAT_EQ(cutForce.m(), 2.5f);
    EXPECT_FLOAT_EQ(cutForce.c(), -1.0f);
    const auto r = printer->log().back();
    EXPECT_EQ(r.block.Target, 111u);
    EXPECT_EQ(r.block.Command, 49u);
    EXPECT_EQ(r.outLen, 8u);

    printer->failing.push_back(IOCTL_PRN_CUT_FORCE);
    EXPECT_FALSE(readCutForce(handle, block, cutForce));
    EXPECT_EQ(cutForce.m(), 0.0f);
    EXPECT_EQ(cutForce.c(), 0.0f);
}

} // namespace
