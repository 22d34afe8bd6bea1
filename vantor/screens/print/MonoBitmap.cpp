#include "vantor/screens/print/MonoBitmap.h"

#include <QFile>

#include "platform/DevicePath.h"

namespace vantor::print {

namespace {
constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;

uint32_t u32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t u16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
} // namespace

std::vector<uint8_t> PackMonoBitmap(const uint8_t* data, size_t size)
{
    if (!data || size < kFileHeader + kInfoHeader || data[0] != 'B' || data[1] != 'M')
        return {};
    const uint8_t* info = data + kFileHeader;
    // Later header versions begin with the same 40 bytes.
    if (u32(info) < kInfoHeader)
        return {};
    const uint64_t offset = u32(data + 10);
    const int64_t width = int32_t(u32(info + 4));
    const int64_t height = int32_t(u32(info + 8));
    const uint64_t bitsPerPixel = u16(info + 14);
    if (offset < kFileHeader + kInfoHeader || offset > size || width <= 0 || height == 0)
        return {};
    // A negative height is a top-down file: the rows are still taken in the
    // order the file stores them.
    const uint64_t w = uint64_t(width);
    const uint64_t h = uint64_t(height < 0 ? -height : height);
    const uint64_t packedBytes = (w * h + 7) / 8; // both below 2^31: no overflow
    if (packedBytes > kMaxPackedImageBytes)
        return {};

    const uint64_t fileStride = (w * bitsPerPixel + 31) / 32 * 4;
    uint64_t available = size - offset;
    // fileStride < 2^52 and h < 2^31 could still overflow: compare by division.
    if (fileStride != 0 && available / fileStride >= h)
        available = fileStride * h;
    else if (fileStride == 0)
        available = 0;
    const uint8_t* pixels = data + offset;

    std::vector<uint8_t> packed(size_t(packedBytes), 0xFF);
    const uint64_t stride = (w + 31) / 32 * 4; // one bit per pixel, rows padded to 4 bytes
    for (uint64_t x = 0; x < w; ++x) {
        const uint64_t column = x / 8;
        if (column >= available)
            break; // this column and the ones after it lie past what was read, in every row
        const uint8_t mask = uint8_t(0x80u >> (x % 8));
        for (uint64_t y = 0; y < h; ++y) {
            const uint64_t at = y * stride + column;
            if (at >= available)
                break; // later rows lie further on: past what was read
            if (pixels[at] & mask) {
                const uint64_t bit = x * h + y;
                packed[size_t(bit / 8)] &= uint8_t(~(0x80u >> (bit % 8)));
            }
        }
    }
    return packed;
}

std::vector<uint8_t> PackMonoBitmapFile(const QString& path)
{
    QFile file(platform::userFilePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // No mono image the printer takes comes near this; a bigger file is
    // refused rather than read into memory.
    if (file.size() > kMaxBitmapFileBytes)
        return {};
    const QByteArray bytes = file.readAll();
    return PackMonoBitmap(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

} // namespace vantor::print
