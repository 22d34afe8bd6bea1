#include "PrintJob.h"

#include <algorithm>

#include "pellam/driver/PrintSequence.h"
#include "pellam/driver/UserDriver.h"

namespace pellam::print {

int pixelDimension(int position)
{
    const int i = std::clamp(position, kSliderMin, kSliderMax) - kSliderMin;
    return kPixelDimensions[size_t(i)];
}

void prepareJob(platform::DeviceHandle& handle, CPrintImage& image, int pixels, int inches)
{
    image.setMode(CPrintImage::Checkerboard);
    driver::dotWidth(handle);
    image.setJobRows(jobRows(inches));
    image.setSquareSize(pixels);
}

int writeJobRows(platform::DeviceHandle& handle, CPrintImage& image, int inches)
{
    if (!image.isValid())
        return 0;
    image.render();
    const int rows = jobRows(inches);
    for (int j = 0; j < rows; ++j) {
        const uint32_t bytes = std::min<uint32_t>(driver::dotWidth(handle) / 8, uint32_t(image.rowBytes()));
        driver::writeRasterRow(handle, std::span<const uint8_t>(image.rasterRow(j), bytes));
    }
    return rows;
}

} // namespace pellam::print
