#pragma once
// Raster images as the print head receives them (one row of dots per line,
// most significant bit of byte 0 first, a set bit prints a dot) and their
// capture as PNG files in the spool folder, pixel for pixel.
#include <cstdint>
#include <vector>
#include <QString>

#include "sim/printer/Machine.h"

namespace sim::spool {

struct RasterImage {
    explicit RasterImage(uint32_t widthDots = kDotWidth) : width(widthDots), rowBytes((widthDots + 7) / 8) {}
    uint32_t width;
    uint32_t rowBytes;
    uint32_t rows = 0;
    std::vector<uint8_t> bytes;

    void addRows(uint32_t n) { rows += n, bytes.resize(size_t(rows) * rowBytes, 0); }
    void appendRow(const uint8_t* row) { bytes.insert(bytes.end(), row, row + rowBytes), ++rows; }
    void setDot(uint32_t x, uint32_t y)
    {
        if (x < width && y < rows)
            bytes[size_t(y) * rowBytes + x / 8] |= uint8_t(0x80u >> (x % 8));
    }
    bool dot(uint32_t x, uint32_t y) const
    {
        return x < width && y < rows && (bytes[size_t(y) * rowBytes + x / 8] & (0x80u >> (x % 8)));
    }
};

// Writes the image as "\Simulator\Spool\NNNNNN-<source>.png" (black dots on
// white, one pixel per dot, one image row per raster row); the host path,
// or empty when it could not be written (an empty image is not captured).
QString capture(Machine& m, const RasterImage& image, const QString& source);

// Counts what a print did: rows printed, the head's warmth, the tape fed.
void countPrint(Machine& m, uint32_t rows, uint32_t burnPercent);

} // namespace sim::spool
