#pragma once
// The print test's job: the slider tables, and the image step between image
// begin and image end (checkerboard, rendered once, one write per raster
// row). Widget-free: the print workers and the benchmark run it.
#include <array>
#include <cstdint>

#include "pellam/print/CPrintImage.h"
#include "platform/Device.h"

namespace pellam::print {

// Square side by the position (1 to 15) of the "Pixel Dimensions" slider.
constexpr std::array<int, 15> kPixelDimensions = {1, 2, 3, 4, 5, 6, 7, 8, 16, 32, 78, 156, 312, 624, 1248};
constexpr int kSliderMin = 1;
constexpr int kSliderMax = 15;
int pixelDimension(int position);
// Rows of a job of `inches`.
constexpr int jobRows(int inches) { return inches * CPrintImage::kRowsPerInch; }

// Checkerboard of square `pixels`, job rows of `inches` (rounded up to 32);
// asks the driver for the dot count as the job always has.
void prepareJob(platform::DeviceHandle& handle, CPrintImage& image, int pixels, int inches);

// Renders and writes the rows of a prepared job. Each row is dot width / 8
// bytes, never more than the image holds for a row (a width the driver
// changes or misreports would otherwise read past the row). Without an
// image nothing is written. Returns the rows written.
int writeJobRows(platform::DeviceHandle& handle, CPrintImage& image, int inches);

} // namespace pellam::print
