#include "sim/printer/Spool.h"

#include <algorithm>
#include <cstring>
#include <QDir>
#include <QImage>

#include "protocol/UserRequests.h"
#include "sim/printer/DeviceFiles.h"

namespace sim::spool {

QString capture(Machine& m, const RasterImage& image, const QString& source)
{
    if (image.rows == 0 || image.width == 0)
        return QString();
    QImage png(int(image.width), int(image.rows), QImage::Format_Mono);
    if (png.isNull())
        return QString();
    // Index 1 is a dot: the rows' bits go in unchanged.
    png.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (uint32_t y = 0; y < image.rows; ++y)
        std::memcpy(png.scanLine(int(y)), image.bytes.data() + size_t(y) * image.rowBytes, image.rowBytes);
    const int64_t n = m.state.next(stateKey::SpoolImages);
    const QString path =
        QDir(files::spoolFolder()).filePath(QStringLiteral("%1-%2.png").arg(n, 6, 10, QLatin1Char('0')).arg(source));
    return png.save(path, "PNG") ? path : QString();
}

void countPrint(Machine& m, uint32_t rows, uint32_t burnPercent)
{
    m.state.add(stateKey::RowsPrinted, rows);
    m.mediaPositionMm += double(rows) / protocol::kRasterRowsPerInch * 25.4;
    m.headHeat = std::min(m.headHeat + double(rows) / 640.0 * burnPercent / 100.0 * 1.5, 40.0);
}

} // namespace sim::spool
