#include <gtest/gtest.h>

#include <algorithm>

#include <QByteArray>
#include <QtEndian>

#include "vantor/screens/print/MonoBitmap.h"

using vantor::print::PackMonoBitmap;

namespace {

struct Bmp {
    int32_t width = 3;
    int32_t height = 3;
    uint16_t bitsPerPixel = 1;
    uint32_t infoSize = 40;
    int64_t offset = -1; // -1: right after the palette
    QByteArray pixels;
};

void put32(QByteArray& b, uint32_t v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

void put16(QByteArray& b, uint16_t v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

// A bitmap file written byte by byte: file header, 40-byte information
// header, a two-entry palette, the pixel rows.
QByteArray file(const Bmp& m)
{
    QByteArray b("BM");
    const uint32_t start = 14 + 40 + 8;
    put32(b, uint32_t(start + m.pixels.size()));
    put32(b, 0);
    put32(b, m.offset < 0 ? start : uint32_t(m.offset));
    put32(b, m.infoSize);
    put32(b, uint32_t(m.width));
    put32(b, uint32_t(m.height));
    put16(b, 1);
    put16(b, m.bitsPerPixel);
    for (int i = 0; i < 6; ++i)
        put32(b, 0);
    b.append("\xFF\xFF\xFF\x00\x00\x00\x00\x00", 8);
    b.append(m.pixels);
    return b;
}

std::vector<uint8_t> pack(const QByteArray& f)
{
    return PackMonoBitmap(reinterpret_cast<const uint8_t*>(f.constData()), size_t(f.size()));
}

// Rows as the file stores them, 3 pixels wide, each padded to 4 bytes:
// 101 / 010 / 111.
const QByteArray kRows("\xA0\0\0\0" "\x40\0\0\0" "\xE0\0\0\0", 12);

} // namespace

TEST(MonoBitmapTest, PacksColumnByColumnSetBitsClearing)
{
    // Columns in file row order: x0 = 1,0,1; x1 = 0,1,1; x2 = 1,0,1. Set file
    // bits clear packed bits: 0101 0001 | 0 then the 0xFF fill.
    const std::vector<uint8_t> expected{0x51, 0x7F};
    EXPECT_EQ(pack(file({3, 3, 1, 40, -1, kRows})), expected);
    // A top-down file (negative height): rows still taken in stored order.
    EXPECT_EQ(pack(file({3, -3, 1, 40, -1, kRows})), expected);
    // Later header versions begin with the same 40 bytes.
    Bmp v5{3, 3, 1, 124, -1, kRows};
    EXPECT_EQ(pack(file(v5)), expected);
}

TEST(MonoBitmapTest, ReadsNoMoreThanTheFileHolds)
{
    // Only the first row is in the file: the other rows leave their bits set.
    const QByteArray f = file({3, 3, 1, 40, -1, kRows}).left(62 + 4);
    // x0 = 1,-,- ; x1 = 0,-,- ; x2 = 1,-,-  -> 0111 1101 | 1
    EXPECT_EQ(pack(f), (std::vector<uint8_t>{0x7D, 0xFF}));
    // A file of more bits per pixel is still taken 1 bit per pixel.
    Bmp deep{8, 1, 32, 40, -1, QByteArray("\x81", 1) + QByteArray(31, '\xFF')};
    EXPECT_EQ(pack(file(deep)), (std::vector<uint8_t>{0x7E}));
}

TEST(MonoBitmapTest, BadFilesGiveAnEmptyImage)
{
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    QByteArray notBm = file({3, 3, 1, 40, -1, kRows});
    notBm[0] = 'M';
    const Case cases[] = {
        {"empty", QByteArray()},
        {"not BM", notBm},
        {"header cut short", file({3, 3, 1, 40, -1, kRows}).left(40)},
        {"small information header", file({3, 3, 1, 12, -1, kRows})},
        {"offset past the end", file({3, 3, 1, 40, 5000, kRows})},
        {"offset inside the headers", file({3, 3, 1, 40, 20, kRows})},
        {"zero width", file({0, 3, 1, 40, -1, kRows})},
        {"negative width", file({-3, 3, 1, 40, -1, kRows})},
        {"zero height", file({3, 0, 1, 40, -1, kRows})},
        {"huge dimensions", file({0x7FFFFFFF, 0x7FFFFFFF, 1, 40, -1, kRows})},
        {"lowest height", file({8, INT32_MIN, 1, 40, -1, kRows})},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(pack(c.bytes).empty()) << c.what;
}

TEST(MonoBitmapTest, FileWithoutPixelsGivesTheBlankImage)
{
    // Offset at the very end: nothing to read, every bit stays set.
    EXPECT_EQ(pack(file({3, 3, 1, 40, 62, QByteArray()})), (std::vector<uint8_t>{0xFF, 0xFF}));
}

TEST(MonoBitmapTest, WideFileCutShortReadsEveryColumnItHolds)
{
    // 100 pixels wide, one row of which the file holds 2 bytes: columns 0 to
    // 15 come from the file (x15 is the last bit of the second byte), the
    // other 84 stay set.
    std::vector<uint8_t> expected((100 + 7) / 8, 0xFF);
    expected[0] = 0x7F; // x0
    expected[1] = 0xFE; // x15
    EXPECT_EQ(pack(file({100, 1, 1, 40, -1, QByteArray("\x80\x01", 2)})), expected);
    // The largest image accepted, with one pixel byte: only its 8 columns read.
    const int32_t width = int32_t(vantor::print::kMaxPackedImageBytes * 8);
    const std::vector<uint8_t> packed = pack(file({width, 1, 1, 40, -1, QByteArray("\x01", 1)}));
    ASSERT_EQ(packed.size(), vantor::print::kMaxPackedImageBytes);
    EXPECT_EQ(packed[0], 0xFE);
    EXPECT_EQ(std::count(packed.begin(), packed.end(), uint8_t(0xFF)), std::ptrdiff_t(packed.size() - 1));
}
