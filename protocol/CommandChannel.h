#pragma once
// How every call site talks to PRN1:: open the device, fill the command
// block, send it with length 12, and apply the failure values when a reading
// fails. A failed open is not checked: every request on the invalid handle
// then fails like any other failed request.
#include <cstdint>
#include <span>

#include "platform/Device.h"
#include "protocol/CommandBlock.h"

namespace protocol {

constexpr const char16_t* kPrinterDeviceName = u"PRN1:";

// PRN1: with read and write access, shared read and write, open existing,
// normal attributes.
platform::OpenFlags printerOpenFlags();
platform::DeviceHandle openPrinter();

// Sends the block (length 12) with an output buffer or none; no byte count.
bool sendCommand(platform::DeviceHandle& handle, uint32_t code, const CommandBlock& block, void* out = nullptr,
                 uint32_t outLen = 0);
// Fills the block, then sends it.
bool sendCommand(platform::DeviceHandle& handle, uint32_t code, CommandBlock& block, uint32_t target,
                 uint32_t command, uint32_t param, void* out = nullptr, uint32_t outLen = 0);
// The print head lift: no output buffer; the driver answers through the
// bytes-returned counter, which is preset to 0 (a driver that writes nothing
// there leaves 0).
bool sendCountedCommand(platform::DeviceHandle& handle, uint32_t code, const CommandBlock& block,
                        uint32_t& counter);

// Output size of a reading, by the kind of item read.
enum class ReadingSize : uint32_t { Three = 3, Four = 4, Eight = 8 };
// Sensor item kinds: 0 a 32-bit state, 1 a 64-bit floating-point value, 2 to
// 4 three bytes.
ReadingSize readingSizeOfKind(int kind);

struct ReadItem {
    uint32_t target = 0;
    ReadingSize size = ReadingSize::Four;
    void* value = nullptr;      // at least `size` bytes
    double failureValue = -1.0; // stored in an 8-byte reading that fails
};

// Reads every item in list order with Param 0 and the command fixed; a
// failed item gets its failure value (4 bytes: -1, 3 bytes: zeros, 8 bytes:
// the item's value) and the rest are still read. Returns the number read.
int readItems(platform::DeviceHandle& handle, uint32_t code, CommandBlock& block, uint32_t command,
              std::span<ReadItem> items);

} // namespace protocol
