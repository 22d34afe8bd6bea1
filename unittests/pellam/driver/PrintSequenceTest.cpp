#include <gtest/gtest.h>

#include "pellam/driver/PrintSequence.h"
#include "pellam/driver/UserDriver.h"
#include "support/FakePrinter.h"

using namespace pellam::driver;
using pellamtest::FakePrinter;
using pellamtest::ScopedFakePrinter;

namespace {

class PrintSequence : public ::testing::Test {
protected:
    platform::ManualClock clock;
    platform::ScopedClock scoped{clock};
    ScopedFakePrinter printer;
    platform::DeviceHandle handle = openPrinter();

    // Rows that ask the dot width and write that many bytes each, with the
    // row number in the first byte.
    ImageRows rows(int count)
    {
        return [count](platform::DeviceHandle& h) {
            const uint32_t width = dotWidth(h);
            for (int r = 0; r < count; ++r) {
                std::vector<uint8_t> row(width / 8, 0);
                row[0] = uint8_t(r);
                writeRasterRow(h, row);
            }
        };
    }
};

TEST_F(PrintSequence, SingleImageSendsTheRequestsInOrderAndPollsWhileBusy)
{
    printer->answers[IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(64));
    printer->busyPolls = 2;

    printSingleImage(handle, rows(3), kPrintTestSettle);

    EXPECT_EQ(printer->names(), QStringList({"JOB_BEGIN", "IMAGE_BEGIN", "GET_DOT_WIDTH", "WRITE", "WRITE", "WRITE",
                                             "IMAGE_END", "GET_BUSY", "GET_BUSY", "GET_BUSY", "JOB_END"}));
    const auto log = printer->log();
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(log[size_t(3 + r)].in.size(), 8) << "dot width / 8 bytes a row";
        EXPECT_EQ(uint8_t(log[size_t(3 + r)].in[0]), r) << "rows in row order";
    }
    EXPECT_EQ(log[7].outLen, 4u);
    // 300 ms settle, then a 300 ms sleep after each busy answer.
    EXPECT_EQ(clock.slept(), platform::Millis(300 + 2 * 300));
}

TEST_F(PrintSequence, ErrorLogSettlesLongerAndAFailedBusyRequestEndsTheWait)
{
    printer->busyPolls = 100;
    printer->failing.push_back(IOCTL_PRN_GET_BUSY);

    printSingleImage(handle, rows(1), kErrorLogSettle);

    EXPECT_EQ(printer->names().count(QStringLiteral("GET_BUSY")), 1);
    EXPECT_EQ(printer->names().last(), "JOB_END");
    EXPECT_EQ(clock.slept(), platform::Millis(3000));
}

TEST_F(PrintSequence, AnAbsentDriverPrintsNothingAndNeverHangs)
{
    platform::unregisterDevice(QStringLiteral("PRN1:"));
    platform::DeviceHandle none = openPrinter();
    ASSERT_FALSE(none.valid());
    int rowsAsked = 0;
    printSingleImage(
        none,
        [&](platform::DeviceHandle& h) {
            ++rowsAsked;
            EXPECT_EQ(dotWidth(h), kFallbackDotWidth);
            std::vector<uint8_t> row(kFallbackDotWidth / 8);
            EXPECT_FALSE(writeRasterRow(h, row));
        },
        kPrintTestSettle);
    EXPECT_EQ(rowsAsked, 1);
    EXPECT_EQ(clock.slept(), platform::Millis(300));
}

TEST_F(PrintSequence, GivingUpEndsTheWaitOnAPrinterThatStaysBusy)
{
    printer->busyPolls = 1'000'000;
    int asked = 0;
    const int polls = waitWhileBusy(handle, kPrintTestSettle, [&] { return ++asked > 5; });
    EXPECT_EQ(polls, 5);
    EXPECT_EQ(clock.slept(), platform::Millis(300 + 5 * 300));
}

TEST_F(PrintSequence, ContinuousPrintingRepeatsTheImageInsideOneJob)
{
    beginJob(handle);
    for (int i = 0; i < 2; ++i) {
        sendImage(handle, rows(1));
        waitWhileBusy(handle, kPrintTestSettle);
    }
    endJob(handle);
    EXPECT_EQ(printer->names(),
              QStringList({"JOB_BEGIN", "IMAGE_BEGIN", "GET_DOT_WIDTH", "WRITE", "IMAGE_END", "GET_BUSY", "IMAGE_BEGIN",
                           "GET_DOT_WIDTH", "WRITE", "IMAGE_END", "GET_BUSY", "JOB_END"}));
}

} // namespace
