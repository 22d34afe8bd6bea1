#include "pellam/service/UsbNotice.h"

#include <algorithm>

#include "platform/DeviceChange.h"
#include "platform/WideText.h"

namespace pellam {

namespace {

uint32_t word(std::span<const uint8_t> r, size_t at)
{
    return uint32_t(r[at]) | uint32_t(r[at + 1]) << 8 | uint32_t(r[at + 2]) << 16 | uint32_t(r[at + 3]) << 24;
}

} // namespace

QString usbDeviceName(std::span<const uint8_t> record)
{
    if (record.size() < 8)
        return {};
    const size_t end = std::min<size_t>(word(record, 0), record.size());
    if (end < 8)
        return {};
    const uint32_t type = word(record, 4);
    if (type != platform::DBT_DEVTYP_PORT && type != platform::DBT_DEVTYP_VOLUME && type != platform::DBT_DEVTYP_OEM)
        return {};
    std::u16string name;
    for (size_t at = platform::kDeviceRecordHeaderBytes; at + 2 <= end && name.size() < kMaxUsbNameChars; at += 2) {
        const char16_t c = char16_t(record[at] | record[at + 1] << 8);
        if (c < 0x20)
            break;
        name += c;
    }
    return platform::wideText(name.data(), qsizetype(name.size()));
}

std::optional<QString> usbNoticeText(uint32_t event, std::span<const uint8_t> record, const QString& detected,
                                     const QString& removed)
{
    switch (event) {
    case platform::DBT_DEVICEARRIVAL:
        return usbDeviceName(record) + QLatin1Char(' ') + detected; // "%s %s"
    case platform::DBT_DEVICEREMOVECOMPLETE:
        return removed;
    default:
        return std::nullopt;
    }
}

} // namespace pellam
