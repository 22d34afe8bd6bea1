#include "protocol/CommandChannel.h"

#include <cstring>
#include <QString>

namespace protocol {

platform::OpenFlags printerOpenFlags()
{
    platform::OpenFlags f;
    f.access = platform::GENERIC_READ | platform::GENERIC_WRITE;
    f.share = platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE;
    f.creation = platform::OPEN_EXISTING;
    f.attributes = platform::FILE_ATTRIBUTE_NORMAL;
    return f;
}

platform::DeviceHandle openPrinter()
{
    return platform::openDevice(QString::fromUtf16(kPrinterDeviceName), printerOpenFlags());
}

bool sendCommand(platform::DeviceHandle& handle, uint32_t code, const CommandBlock& block, void* out,
                 uint32_t outLen)
{
    return handle.ioControl(code, &block, kCommandBlockLength, out, out ? outLen : 0, nullptr);
}

bool sendCommand(platform::DeviceHandle& handle, uint32_t code, CommandBlock& block, uint32_t target,
                 uint32_t command, uint32_t param, void* out, uint32_t outLen)
{
    block.Target = target;
    block.Command = command;
    block.Param = param;
    return sendCommand(handle, code, block, out, outLen);
}

bool sendCountedCommand(platform::DeviceHandle& handle, uint32_t code, const CommandBlock& block,
                        uint32_t& counter)
{
    counter = 0;
    return handle.ioControl(code, &block, kCommandBlockLength, nullptr, 0, &counter);
}

ReadingSize readingSizeOfKind(int kind)
{
    switch (kind) {
    case 0: return ReadingSize::Four;
    case 1: return ReadingSize::Eight;
    default: return ReadingSize::Three;
    }
}

int readItems(platform::DeviceHandle& handle, uint32_t code, CommandBlock& block, uint32_t command,
              std::span<ReadItem> items)
{
    int ok = 0;
    block.Command = command;
    block.Param = 0;
    for (ReadItem& item : items) {
        block.Target = item.target;
        const uint32_t len = uint32_t(item.size);
        if (item.value && sendCommand(handle, code, block, item.value, len)) {
            ++ok;
            continue;
        }
        if (!item.value)
            continue;
        switch (item.size) {
        case ReadingSize::Four: {
            const int32_t failed = -1;
            std::memcpy(item.value, &failed, sizeof failed);
            break;
        }
        case ReadingSize::Three:
            std::memset(item.value, 0, 3);
            break;
        case ReadingSize::Eight:
            std::memcpy(item.value, &item.failureValue, sizeof(double));
            break;
        }
    }
    return ok;
}

} // namespace protocol
