// Printing: the user program's raster rows captured pixel for pixel, busy
// for a time proportional to the rows, the engineering print commands with
// their data files and captures, and the usage counters.
#include <QDir>
#include <QImage>

#include "SimTestSupport.h"
#include "protocol/PrintParams.h"
#include "protocol/UserRequests.h"

namespace simtest {
namespace {

namespace ud = protocol;

class Print : public SimFixture {
protected:
    QStringList spooled()
    {
        return QDir(root.filePath("Simulator/Spool")).entryList({"*.png"}, QDir::Files, QDir::Name);
    }
    QImage lastSpooled()
    {
        const QStringList all = spooled();
        return all.isEmpty() ? QImage() : QImage(root.filePath("Simulator/Spool/" + all.last()));
    }
    static bool black(const QImage& img, int x, int y) { return img.pixelColor(x, y) == QColor(Qt::black); }
    ud::UsageRecord usage()
    {
        ud::UsageRecord u;
        const uint8_t sel = ud::kUsageSelector;
        EXPECT_TRUE(prn.ioControl(ud::IOCTL_PRN_GET_USAGE, &sel, 1, &u, sizeof u));
        return u;
    }
};

TEST_F(Print, RasterRowsBecomeAPngWhosePixelsMatch)
{
    start(config(1.0));
    uint32_t width = 0;
    ASSERT_TRUE(query(ud::IOCTL_PRN_GET_DOT_WIDTH, width));
    ASSERT_EQ(width % 8, 0u);
    const uint32_t rowBytes = width / 8;
    ASSERT_TRUE(signal(ud::IOCTL_PRN_PRINT_PREPARE));
    ASSERT_TRUE(signal(ud::IOCTL_PRN_JOB_BEGIN));
    ASSERT_TRUE(signal(ud::IOCTL_PRN_IMAGE_BEGIN));
    // 640 rows (two inches): row r has byte r % rowBytes set to r, so every
    // row differs and the most significant bit is the first dot.
    const uint32_t rows = 2 * ud::kRasterRowsPerInch;
    std::vector<std::vector<uint8_t>> sent;
    for (uint32_t r = 0; r < rows; ++r) {
        std::vector<uint8_t> row(rowBytes, 0);
        row[r % rowBytes] = uint8_t(r);
        row[0] |= 0x80;
        uint32_t written = 0;
        ASSERT_TRUE(prn.write(row.data(), rowBytes, &written));
        EXPECT_EQ(written, rowBytes);
        sent.push_back(row);
    }
    const uint8_t shortRow[10] = {};
    EXPECT_FALSE(prn.write(shortRow, sizeof shortRow)) << "a row must be the head's width";
    ASSERT_TRUE(signal(ud::IOCTL_PRN_IMAGE_END));

    // Busy for the rows' print time (640 rows at 640 rows/s), then idle.
    uint32_t busy = 0;
    ASSERT_TRUE(query(ud::IOCTL_PRN_GET_BUSY, busy));
    EXPECT_NE(busy, 0u);
    clock.advance(platform::Millis(990));
    ASSERT_TRUE(query(ud::IOCTL_PRN_GET_BUSY, busy));
    EXPECT_NE(busy, 0u);
    clock.advance(platform::Millis(20));
    ASSERT_TRUE(query(ud::IOCTL_PRN_GET_BUSY, busy));
    EXPECT_EQ(busy, 0u);
    ASSERT_TRUE(signal(ud::IOCTL_PRN_JOB_END));

    const QImage img = lastSpooled();
    ASSERT_EQ(img.width(), int(width));
    ASSERT_EQ(img.height(), int(rows));
    for (uint32_t y = 0; y < rows; ++y)
        for (uint32_t x = 0; x < width; ++x)
            ASSERT_EQ(black(img, int(x), int(y)), bool(sent[y][x / 8] & (0x80 >> (x % 8)))) << x << "," << y;
    EXPECT_EQ(usage().inchesPrinted, 2u);
}

TEST_F(Print, JobNeedsADoorClosedMediaAndRibbon)
{
    sim::SimConfig c = config();
    c.sensorStates[17] = 1;
    start(c);
    EXPECT_FALSE(signal(ud::IOCTL_PRN_JOB_BEGIN));
    EXPECT_TRUE(printer().lastRequest().refusal.contains("door is open"));
    EXPECT_FALSE(signal(ud::IOCTL_PRN_IMAGE_BEGIN));
    c = config();
    c.ribbonCartridgePresent = false;
    restart(c);
    EXPECT_FALSE(signal(ud::IOCTL_PRN_JOB_BEGIN));
    EXPECT_TRUE(spooled().isEmpty());
}

TEST_F(Print, DefaultPatternWritesItsDataFileAndCapture)
{
    start();
    DriverRecord<PrintPatternParams> rec;
    rec->patternSize = 4.0f;
    rec->endCut = 1;
    for (int cycle = 1; cycle <= 2; ++cycle) {
        rec->fileName = wideText(rec, QString::asprintf("T%03d.txt", cycle));
        rec.setCommand(target::Print, cycle == 1 ? cmd::print::Print1 : cmd::print::AgingPrint2);
        ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_PRINT, rec.block()));
    }
    const QByteArray data = readFile(root.filePath("T002.txt"));
    EXPECT_TRUE(data.contains("Command: 53\r\n"));
    EXPECT_TRUE(data.contains("multi pass"));
    EXPECT_TRUE(data.contains("Rows: 2560\r\n")) << data.constData();
    EXPECT_TRUE(QFile::exists(root.filePath("T001.txt")));
    ASSERT_EQ(spooled().size(), 2);
    EXPECT_TRUE(spooled()[0].endsWith("-print18.png"));
    EXPECT_EQ(lastSpooled().height(), 4 * 320);
    // 4 in, then 4 in twice over; two end cuts.
    EXPECT_EQ(usage().inchesPrinted, 12u);
    EXPECT_EQ(usage().cutsMade, 2u);

    // A data file outside the device root is refused, and nothing printed.
    rec->fileName = wideText(rec, QDir::cleanPath(root.path() + "/../elsewhere.txt"));
    EXPECT_FALSE(sendCommand(prn, IOCTL_PRN_PRINT, rec.block()));
    EXPECT_TRUE(printer().lastRequest().refusal.contains("outside the device root"));
    EXPECT_EQ(spooled().size(), 2);
}

TEST_F(Print, PackedImageIsPrintedColumnByColumn)
{
    start();
    // Two columns of 1248 dots; a clear bit prints.
    const uint32_t bytes = 2 * kPrintImageHeight / 8;
    DriverRecord<PrintImageParams> rec;
    auto& packed = rec.newTable<uint8_t>(bytes);
    std::memset(packed.data(), 0xFF, bytes);
    packed[0] = 0x7F;                           // column 0, dot 0
    packed[kPrintImageHeight / 8] = 0xFB;       // column 1, dot 5
    packed[kPrintImageHeight / 8 + 155] = 0xFE; // column 1, dot 1247
    rec->image = packed.address();
    rec->byteCount = bytes;
    rec->fileName = wideText(rec, "");
    rec.setCommand(target::Print, cmd::print::Print3);
    ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_PRINT, rec.block()));
    const QImage img = lastSpooled();
    ASSERT_EQ(img.height(), 2);
    int dots = 0;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < img.width(); ++x)
            dots += black(img, x, y);
    EXPECT_EQ(dots, 3);
    EXPECT_TRUE(black(img, 0, 0));
    EXPECT_TRUE(black(img, 5, 1));
    EXPECT_TRUE(black(img, 1247, 1));

    rec->byteCount = 0; // the dialog's empty image when the file was no bitmap
    EXPECT_FALSE(sendCommand(prn, IOCTL_PRN_PRINT, rec.block()));
}

TEST_F(Print, PrintToCutCutsEachBox)
{
    start();
    DriverRecord<PrintToCutParams> rec;
    rec->totalBoxes = 3;
    rec->boxLength = 1.5f;
    rec->endCut = 1;
    rec->fileName = wideText(rec, "P001.txt");
    rec.setCommand(target::Print, cmd::print::PrintToCut);
    ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_PRINT, rec.block()));
    EXPECT_EQ(usage().cutsMade, 4u);
    EXPECT_EQ(lastSpooled().height(), 3 * 480);
    const QByteArray data = readFile(root.filePath("P001.txt"));
    EXPECT_TRUE(data.contains("Box 3:"));
    EXPECT_TRUE(data.contains("Speed (ips): 2")) << "no speed chosen runs at the default";
    rec->boxLength = 0.0f;
    EXPECT_FALSE(sendCommand(prn, IOCTL_PRN_PRINT, rec.block()));
}

} // namespace
} // namespace simtest
