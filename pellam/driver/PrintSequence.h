#pragma once
// The order of requests of every print: job begin, then per image: image
// begin, the raster rows as plain writes, image end, a settling sleep and
// the busy wait; job end. The print screens produce the rows; this file owns
// the order. Results of the job and image requests and of the row writes are
// not looked at; a failed busy request ends the wait. Sleeps go through
// platform::sleep so that tests run on a manual clock.
#include <cstdint>
#include <functional>
#include <span>

#include "platform/Clock.h"
#include "platform/Device.h"

namespace pellam::driver {

constexpr platform::Millis kBusyPollInterval{300};
constexpr platform::Millis kPrintTestSettle{300};  // the print test menu
constexpr platform::Millis kErrorLogSettle{3000};  // the error log print

// Writes the rows of one image between image begin and image end, each with
// writeRasterRow. It may ask the driver for the dot width itself.
using ImageRows = std::function<void(platform::DeviceHandle&)>;
// Asked before each busy poll: true abandons the wait (a closing screen).
using GiveUp = std::function<bool()>;

// One raster row: dot width / 8 bytes, one bit per dot, most significant bit
// of byte 0 first.
bool writeRasterRow(platform::DeviceHandle& handle, std::span<const uint8_t> row);

void beginJob(platform::DeviceHandle& handle);
void endJob(platform::DeviceHandle& handle);
// Image begin, the rows, image end.
void sendImage(platform::DeviceHandle& handle, const ImageRows& rows);
// Sleeps `settle`, then polls the busy word (preset to 0) every 300 ms while
// it is non-zero. Returns the number of busy polls sent.
int waitWhileBusy(platform::DeviceHandle& handle, platform::Millis settle, const GiveUp& giveUp = {});

// A whole single-image print: job begin, the image, the waits, job end.
void printSingleImage(platform::DeviceHandle& handle, const ImageRows& rows, platform::Millis settle,
                      const GiveUp& giveUp = {});

} // namespace pellam::driver
