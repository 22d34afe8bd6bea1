// The engineering print commands: the built-in test pattern (single or
// multi pass, print test and aging print test), a customised image handed
// over packed column by column, and print-to-cut, which prints box outlines
// and cuts each box out with the XY cutter. Each print is captured in the
// spool folder; the pattern and print-to-cut commands also write the data
// file the record names.
#include <algorithm>
#include <cmath>
#include <QFile>

#include "platform/CodePage.h"
#include "protocol/PrintParams.h"
#include "protocol/RequestCodes.h"
#include "protocol/UserRequests.h"
#include "sim/printer/DeviceFiles.h"
#include "sim/printer/Machine.h"
#include "sim/printer/SensorModel.h"
#include "sim/printer/Spool.h"

namespace sim::mech {

using namespace protocol;

namespace {

// Longest print the simulator captures: 25 m of tape.
constexpr double kMaxPrintInches = 1000.0;
constexpr uint32_t kMaxPackedImageBytes = 64u << 20;

bool readyToPrint(Machine& m, RequestContext& ctx)
{
    if (!m.needDoorClosed(ctx, "print") || !m.needMedia(ctx, "print"))
        return false;
    return m.ribbonCartridge || ctx.refuse("print: no ribbon cartridge");
}

// The data file of a cycle: the name the record carries, or none when it is
// empty. A name that cannot be written refuses the request.
bool dataFileName(RequestContext& ctx, uint32_t address, QString& path)
{
    QString name;
    path.clear();
    if (!ctx.readText("data file name", address, name, 1024))
        return ctx.refuse("data file name");
    if (name.isEmpty())
        return true;
    path = files::outputPath(ctx, name, "data file");
    return !path.isEmpty();
}

bool writeDataFile(RequestContext& ctx, const QString& path, const QString& text)
{
    if (path.isEmpty())
        return true;
    QFile f(path);
    const QByteArray bytes = platform::toAnsi(text);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return ctx.refuse("data file " + path + " cannot be written");
    return true;
}

// The built-in test pattern: a frame, a ruler line every inch, a
// checkerboard band of 16-dot squares and a diagonal.
spool::RasterImage testPattern(uint32_t rows)
{
    spool::RasterImage img;
    img.addRows(rows);
    const uint32_t w = img.width;
    for (uint32_t y = 0; y < rows; ++y) {
        const bool frameRow = y < 8 || y + 8 >= rows || y % kRasterRowsPerInch < 2;
        for (uint32_t x = 0; x < w; ++x) {
            const bool frame = frameRow || x < 8 || x + 8 >= w;
            const bool band = x >= w / 3 && x < 2 * w / 3 && ((x / 16) + (y / 16)) % 2 == 0;
            const bool diagonal = (uint64_t(x) * rows / w) == y;
            if (frame || band || diagonal)
                img.setDot(x, y);
        }
    }
    return img;
}

void cut(Machine& m, int64_t xyCuts, bool endCut)
{
    m.state.add(stateKey::XYCuts, xyCuts);
    if (endCut)
        m.state.add(stateKey::EndCutterCuts, 1);
    m.state.add(stateKey::CutsMade, xyCuts + (endCut ? 1 : 0));
}

} // namespace

bool printPattern(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<PrintPatternParams>();
    if (!std::isfinite(p.patternSize) || p.patternSize <= 0.0f || p.patternSize > kMaxPrintInches)
        return ctx.refuse(QStringLiteral("pattern size %1 in").arg(double(p.patternSize)));
    if (!motion::checkRange(ctx, "burn setting", p.burnSetting, 1, 200) || !motion::checkRange(ctx, "end cut", p.endCut, 0, 1) ||
        !motion::checkRange(ctx, "leading edge offset", p.leadingEdgeOffset, -100000, 100000))
        return false;
    QString dataPath;
    if (!dataFileName(ctx, p.fileName, dataPath) || !readyToPrint(m, ctx))
        return false;
    const uint32_t command = c.block.Command;
    const bool multiPass = command == cmd::print::Print2 || command == cmd::print::AgingPrint2;
    const int passes = multiPass ? 2 : 1;
    const uint32_t rows = uint32_t(std::lround(double(p.patternSize) * kRasterRowsPerInch));
    const spool::RasterImage img = testPattern(rows);
    const double ms = passes * rows / kRowsPerSecond * 1000.0 + (p.endCut ? 250.0 : 0.0);
    const double temperature = sensors::headTemperature(m);
    const QString png = spool::capture(m, img, QStringLiteral("print%1").arg(command));
    const QString text = QStringLiteral("Command: %1\r\nPattern: default, %2\r\nSize (in): %3\r\nLeading edge offset: %4\r\n"
                                        "Burn (%): %5\r\nEnd cut: %6\r\nRows: %7\r\nHead temperature (C): %8\r\n"
                                        "Print time (ms): %9\r\nImage: %10\r\n")
                             .arg(command)
                             .arg(multiPass ? QStringLiteral("multi pass") : QStringLiteral("single pass"))
                             .arg(double(p.patternSize), 0, 'f', 1)
                             .arg(p.leadingEdgeOffset)
                             .arg(p.burnSetting)
                             .arg(p.endCut)
                             .arg(rows * uint32_t(passes))
                             .arg(temperature, 0, 'f', 1)
                             .arg(std::lround(ms))
                             .arg(png);
    if (!writeDataFile(ctx, dataPath, text))
        return false;
    spool::countPrint(m, rows * uint32_t(passes), p.burnSetting);
    m.mediaPositionMm += p.leadingEdgeOffset / double(kRasterRowsPerInch) * 25.4;
    cut(m, 0, p.endCut != 0);
    ctx.machineMs += ms;
    return true;
}

bool printImage(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<PrintImageParams>();
    if (!motion::checkRange(ctx, "burn setting", p.burnSetting, 1, 200) || !motion::checkRange(ctx, "end cut", p.endCut, 0, 1) ||
        !motion::checkRange(ctx, "print compliance", p.printCompliance, 0, 1))
        return false;
    if (p.byteCount == 0)
        return ctx.refuse("no image data (the image file was not a monochrome bitmap)");
    if (p.byteCount > kMaxPackedImageBytes)
        return ctx.refuse(QStringLiteral("image of %1 bytes").arg(p.byteCount));
    const uint8_t* packed = ctx.in("packed image", p.image, p.byteCount);
    if (!packed)
        return ctx.refuse("packed image address does not resolve");
    QString dataPath;
    if (!dataFileName(ctx, p.fileName, dataPath) || !readyToPrint(m, ctx))
        return false;
    // Column by column, kPrintImageHeight dots each; a clear bit prints.
    const uint64_t bits = uint64_t(p.byteCount) * 8;
    const uint32_t columns = uint32_t((bits + kPrintImageHeight - 1) / kPrintImageHeight);
    spool::RasterImage img;
    img.addRows(columns);
    for (uint64_t b = 0; b < bits; ++b)
        if (!(packed[b / 8] & (0x80u >> (b % 8))))
            img.setDot(uint32_t(b % kPrintImageHeight), uint32_t(b / kPrintImageHeight));
    const QString png = spool::capture(m, img, QStringLiteral("print%1").arg(c.block.Command));
    const double ms = columns / kRowsPerSecond * 1000.0 * (p.printCompliance ? 2.0 : 1.0) + (p.endCut ? 250.0 : 0.0);
    if (!writeDataFile(ctx, dataPath,
                       QStringLiteral("Command: %1\r\nPattern: image, %2 rows\r\nBurn (%): %3\r\nImage: %4\r\n")
                           .arg(c.block.Command)
                           .arg(columns)
                           .arg(p.burnSetting)
                           .arg(png)))
        return false;
    spool::countPrint(m, columns, p.burnSetting);
    cut(m, 0, p.endCut != 0);
    ctx.machineMs += ms;
    return true;
}

bool printToCut(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const auto p = c.recordAs<PrintToCutParams>();
    if (!motion::checkRange(ctx, "print speed", p.printSpeed, printSpeed::Ips1, printSpeed::NoneChosen) ||
        !motion::checkRange(ctx, "VRef", p.vref, 0, 255) || !motion::checkRange(ctx, "end cut", p.endCut, 0, 1) ||
        !motion::checkRange(ctx, "total boxes", p.totalBoxes, 0, 100000) ||
        !motion::checkRange(ctx, "cross-web offset", p.crossWebOffset, -100000, 100000) ||
        !motion::checkRange(ctx, "down-web offset", p.downWebOffset, -100000, 100000))
        return false;
    if (!std::isfinite(p.boxLength) || p.boxLength < 0.0f || (p.totalBoxes > 0 && p.boxLength <= 0.0f))
        return ctx.refuse(QStringLiteral("box length %1 in").arg(double(p.boxLength)));
    if (double(p.boxLength) * p.totalBoxes > kMaxPrintInches)
        return ctx.refuse(QStringLiteral("%1 boxes of %2 in are longer than %3 in").arg(p.totalBoxes).arg(double(p.boxLength)).arg(kMaxPrintInches));
    if (p.vref < uint32_t(motion::kStallVref))
        return ctx.refuse(QStringLiteral("VRef %1 stalls the XY cutter").arg(p.vref));
    QString dataPath;
    if (!dataFileName(ctx, p.fileName, dataPath) || !readyToPrint(m, ctx))
        return false;
    // No speed chosen runs at the driver's default, 2 ips.
    static constexpr double kIps[] = {1.0, 2.0, 2.5, 2.0};
    const uint32_t boxRows = uint32_t(std::lround(double(p.boxLength) * kRasterRowsPerInch));
    spool::RasterImage img;
    img.addRows(boxRows * p.totalBoxes);
    const uint32_t margin = 24;
    QString text = QStringLiteral("Print to cut\r\nSpeed (ips): %1\r\nVRef: %2\r\nBoxes: %3\r\nBox length (in): %4\r\n")
                       .arg(kIps[p.printSpeed])
                       .arg(p.vref)
                       .arg(p.totalBoxes)
                       .arg(double(p.boxLength), 0, 'f', 3);
    for (uint32_t b = 0; b < p.totalBoxes; ++b) {
        const uint32_t top = b * boxRows;
        for (uint32_t y = top; y < top + boxRows; ++y)
            for (uint32_t x = margin; x < img.width - margin; ++x)
                if (y < top + 4 || y + 4 >= top + boxRows || x < margin + 4 || x + margin + 4 >= img.width)
                    img.setDot(x, y);
        // The knife follows the outline, displaced by the cutter offsets.
        text += QStringLiteral("Box %1: cut at down-web %2, cross-web %3\r\n")
                    .arg(b + 1)
                    .arg(int64_t(top) + p.downWebOffset)
                    .arg(int64_t(margin) + p.crossWebOffset);
    }
    const QString png = spool::capture(m, img, QStringLiteral("print%1").arg(c.block.Command));
    text += QStringLiteral("Image: %1\r\n").arg(png);
    if (!writeDataFile(ctx, dataPath, text))
        return false;
    spool::countPrint(m, img.rows, 100);
    cut(m, p.totalBoxes, p.endCut != 0);
    ctx.machineMs += double(p.boxLength) * p.totalBoxes / kIps[p.printSpeed] * 1000.0 + 400.0 * p.totalBoxes +
                     (p.endCut ? 250.0 : 0.0);
    return true;
}

} // namespace sim::mech
