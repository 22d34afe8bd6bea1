#include <gtest/gtest.h>

#include <QGuiApplication>
#include <vector>

#include "pellam/print/CPrintImage.h"
#include "pellam/print/PrintJob.h"
#include "pellam/driver/UserDriver.h"
#include "support/FakePrinter.h"
#include "support/TestApp.h"

using namespace pellam;
using pellamtest::FakePrinter;
using pellamtest::ScopedFakePrinter;

namespace {

std::vector<uint8_t> row(CPrintImage& image, int j)
{
    const uint8_t* p = image.rasterRow(j);
    return std::vector<uint8_t>(p, p + image.rowBytes());
}

CPrintImage checkerboard(uint32_t dots, int columns, int s)
{
    CPrintImage image;
    EXPECT_TRUE(image.create(dots, columns));
    image.setMode(CPrintImage::Checkerboard);
    image.setSquareSize(s);
    image.render();
    return image;
}

TEST(PrintImage, CreateRoundsColumnsAndRefusesDotCountsBeyondTheRowBuffers)
{
    CPrintImage image;
    EXPECT_TRUE(image.create(64, 300));
    EXPECT_EQ(image.width(), 320);
    EXPECT_EQ(image.height(), 64);
    EXPECT_TRUE(image.create(8192, 33));
    EXPECT_EQ(image.width(), 64);
    EXPECT_EQ(image.rowBytes(), CPrintImage::kRowBufferBytes);
    for (uint32_t bad : {0u, 8193u, 100000u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(image.create(bad, 300)) << bad;
        EXPECT_FALSE(image.isValid());
        EXPECT_EQ(image.rasterRow(0), nullptr);
    }
}

TEST(PrintImage, JobRowsRoundUpTo32)
{
    CPrintImage image;
    image.setJobRows(print::jobRows(15));
    EXPECT_EQ(image.jobRows(), 4800);
    image.setJobRows(330);
    EXPECT_EQ(image.jobRows(), 352);
}

// Square 8, 64 dots, one-inch band: byte i covers bitmap rows 63-8i .. 56-8i,
// all in square row 7 - i, so it is all black when column square and square
// row have the same parity.
TEST(PrintImage, CheckerboardOfEightIsTheSameEveryInch)
{
    CPrintImage image = checkerboard(64, 300, 8);
    EXPECT_FALSE(image.invertsOddBands());
    const std::vector<uint8_t> even = {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF};
    const std::vector<uint8_t> odd = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00};
    for (int inch = 0; inch < 3; ++inch) {
        const int base = inch * 320;
        EXPECT_EQ(row(image, base + 0), even) << inch;
        EXPECT_EQ(row(image, base + 7), even) << inch;
        EXPECT_EQ(row(image, base + 8), odd) << inch;
        EXPECT_EQ(row(image, base + 319), odd) << inch; // column 319: square 39
    }
}

// Square 312, 640 dots, 320 columns: one black square over bitmap rows and
// columns 0..311 (the second square row starts at x = 312, past its bound).
// Bytes 0..40 hold rows 639..312, bytes 41..79 rows 311..0.
TEST(PrintImage, CheckerboardOf312InvertsEverySecondInch)
{
    CPrintImage image = checkerboard(640, 300, 312);
    ASSERT_TRUE(image.invertsOddBands());
    std::vector<uint8_t> square(80, 0x00);
    std::fill(square.begin() + 41, square.end(), 0xFF);
    std::vector<uint8_t> inverted(80, 0xFF);
    std::fill(inverted.begin() + 41, inverted.end(), 0x00);
    const std::vector<uint8_t> white(80, 0x00), black(80, 0xFF);
    for (int band = 0; band < 4; ++band) {
        const bool odd = band % 2 == 1;
        EXPECT_EQ(row(image, band * 320 + 0), odd ? inverted : square) << band;
        EXPECT_EQ(row(image, band * 320 + 311), odd ? inverted : square) << band;
        EXPECT_EQ(row(image, band * 320 + 312), odd ? black : white) << band;
    }
}

// Square 3 on 16 dots: row 15 lies past the last square row (y < 14), so
// column 0 is black on rows 0-2, 6-8, 12-14. Bit 7 of byte 0 is row 15.
TEST(PrintImage, RasterRowBitOrderStartsAtTheLastBitmapRow)
{
    CPrintImage image = checkerboard(16, 32, 3);
    EXPECT_EQ(row(image, 0), (std::vector<uint8_t>{0x71, 0xC7}));
    EXPECT_EQ(row(image, 3), (std::vector<uint8_t>{0x0E, 0x38})); // the other parity, row 15 still white
}

TEST(PrintImage, InversionRuleBounds)
{
    CPrintImage image;
    ASSERT_TRUE(image.create(64, 300));
    struct Case { int s; bool inverts; };
    for (Case c : {Case{8, false}, Case{288, false}, Case{289, true}, Case{1248, true}, Case{1295, true},
                   Case{1296, false}}) {
        image.setSquareSize(c.s);
        EXPECT_EQ(image.invertsOddBands(), c.inverts) << c.s;
    }
}

// Dark pixels inside and in the 10-pixel margins, and the last dark row.
struct Ink { int inside = 0; int margin = 0; int lastRow = -1; };
Ink inkOf(const QString& text)
{
    CPrintImage image;
    EXPECT_TRUE(image.create(256, 600));
    image.setMode(CPrintImage::Text);
    image.setSquareSize(2);
    image.setText(text);
    image.render();
    const QImage& b = image.bitmap();
    Ink ink;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            if (qGray(b.pixel(x, y)) >= 128)
                continue;
            const bool inMargin = x < 10 || y < 10 || x >= b.width() - 10 || y >= b.height() - 10;
            (inMargin ? ink.margin : ink.inside) += 1;
            ink.lastRow = y;
        }
    return ink;
}

TEST(PrintImage, TextModeDrawsInsideTheMarginsAndBreaksAtLineFeeds)
{
    pellamtest::app();
    const Ink one = inkOf(QStringLiteral("MMMM"));
    const Ink two = inkOf(QStringLiteral("MMMM\nMMMM"));
    EXPECT_GT(one.inside, 0);
    EXPECT_EQ(one.margin, 0);
    EXPECT_EQ(two.margin, 0);
    EXPECT_GT(two.lastRow, one.lastRow + 5);
}

TEST(PrintJob, SliderTables)
{
    EXPECT_EQ(print::pixelDimension(8), 8);
    EXPECT_EQ(print::pixelDimension(9), 16);
    EXPECT_EQ(print::pixelDimension(15), 1248);
    EXPECT_EQ(print::pixelDimension(1), 1);
    EXPECT_EQ(print::jobRows(15), 4800);
}

// Whatever the driver says about the width, a row write never holds more
// than the image has for a row.
TEST(PrintJob, RowWritesNeverExceedTheImageRow)
{
    struct Case { const char* name; bool fails; uint32_t width; uint32_t expectBytes; };
    for (Case c : {Case{"matching", false, 64, 8}, Case{"wider than the image", false, 8192, 8},
                   Case{"absurd", false, 0xFFFFFFF8u, 8}, Case{"zero", false, 0, 8},
                   Case{"failed request", true, 0, 8}, Case{"narrower", false, 32, 4}}) {
        ScopedFakePrinter printer;
        if (!c.fails)
            printer->answers[protocol::IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(c.width);
        platform::DeviceHandle handle = driver::openPrinter();
        CPrintImage image;
        ASSERT_TRUE(image.create(64, 300));
        print::prepareJob(handle, image, 8, 1);
        EXPECT_EQ(print::writeJobRows(handle, image, 1), 320) << c.name;
        int writes = 0;
        for (const FakePrinter::Request& r : printer->log())
            if (r.isWrite) {
                ++writes;
                ASSERT_EQ(uint32_t(r.in.size()), c.expectBytes) << c.name;
            }
        EXPECT_EQ(writes, 320) << c.name;
    }
}

TEST(PrintJob, NoImageWritesNothing)
{
    ScopedFakePrinter printer;
    platform::DeviceHandle handle = driver::openPrinter();
    CPrintImage image;
    EXPECT_FALSE(image.create(0, 300));
    print::prepareJob(handle, image, 8, 3);
    EXPECT_EQ(print::writeJobRows(handle, image, 3), 0);
    for (const FakePrinter::Request& r : printer->log())
        EXPECT_FALSE(r.isWrite);
}

} // namespace
