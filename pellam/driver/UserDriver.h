#pragma once
// How the user program's screens talk to PRN1: and KBD1:. Every dialog
// opens its own handle; a failed open is not checked, and every request on
// the invalid handle then fails. Each reading clears its output before the
// request, so a failed one reads as zeros (that is what the screens show);
// the result says whether the driver answered, for the few callers that
// care.
#include <cstdint>

#include "protocol/UserRequests.h"
#include "platform/Device.h"

namespace pellam::driver {

// The user program speaks the shared protocol: its names are ours here.
using namespace protocol;

constexpr const char16_t* kPrinterDeviceName = u"PRN1:";
constexpr const char16_t* kKeyboardDeviceName = u"KBD1:";

// Read and write access, shared read and write, open existing, normal attributes.
platform::DeviceHandle openPrinter();
platform::DeviceHandle openKeyboard();

// A request with no input and a cleared output record of its own size.
template <class T>
bool query(platform::DeviceHandle& handle, uint32_t code, T& out)
{
    out = T{};
    return handle.ioControl(code, nullptr, 0, &out, sizeof(T));
}
// A request with neither input nor output.
bool signal(platform::DeviceHandle& handle, uint32_t code);

bool readUsage(platform::DeviceHandle& handle, UsageRecord& out); // selector 'i'
bool readTapeTagChipVersion(platform::DeviceHandle& handle, uint8_t& version);
bool readRibbonTagChipVersion(platform::DeviceHandle& handle, uint8_t& version);
bool readPeb(platform::DeviceHandle& handle, PebRecord& out);
bool readCrossWebOffset(platform::DeviceHandle& handle, int32_t& offset);
bool readCutForceCoeffs(platform::DeviceHandle& handle, CutForceCoeffs& out);
bool readHeadResistance(platform::DeviceHandle& handle, uint32_t& ohms);
bool setHeadResistance(platform::DeviceHandle& handle, int32_t ohms);
bool readGapSensorDac(platform::DeviceHandle& handle, GapDacRecord& out);
bool preparePrinting(platform::DeviceHandle& handle);

// The width of a raster row in dots. The driver's answer, or `fallback`
// when it gives none (a missing driver) or one wider than the row buffers
// of the print image can hold, so that row sizes stay sane.
constexpr uint32_t kFallbackDotWidth = 1024;
constexpr uint32_t kMaxDotWidth = 8192;
uint32_t dotWidth(platform::DeviceHandle& handle, uint32_t fallback = kFallbackDotWidth);

// Keyboard: the current layout number, 0 when the request fails.
bool readKeyboardLayout(platform::DeviceHandle& handle, int32_t& layout);
bool setKeyboardLayout(platform::DeviceHandle& handle, int32_t layout);

} // namespace pellam::driver
