// Device-change records as the USB test reads them: any bytes as a record,
// held in a buffer of exactly their size so that a read past it is caught.
// Checks: the name never holds more characters than the record has room
// for, nor more than the bound; an arrival ends in the message, a removal
// is the removal text. The same bytes as a udev model string give a
// printable name without blanks at its ends.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <QList>

#include "pellam/service/UsbNotice.h"
#include "platform/DeviceChange.h"
#include "platform/HostDeviceChanges.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(exact.get(), data, size);
    const std::span<const uint8_t> record(exact.get(), size);

    const QString name = pellam::usbDeviceName(record);
    fuzzing::check(size_t(name.size()) <= pellam::kMaxUsbNameChars);
    fuzzing::check(size < 12 ? name.isEmpty() : size_t(name.size()) <= (size - 12) / 2);
    for (QChar c : name)
        fuzzing::check(c.unicode() >= 0x20);

    const QString detected = QStringLiteral("USB Device Detected!");
    const QString removed = QStringLiteral("USB Device Removed.");
    const auto arrival = pellam::usbNoticeText(platform::DBT_DEVICEARRIVAL, record, detected, removed);
    fuzzing::check(arrival && *arrival == name + u' ' + detected);
    const auto removal = pellam::usbNoticeText(platform::DBT_DEVICEREMOVECOMPLETE, record, detected, removed);
    fuzzing::check(removal && *removal == removed);

    const std::string text(reinterpret_cast<const char*>(data), size);
    const QString host = platform::hotplugDeviceName({{"ID_MODEL_ENC", text}});
    fuzzing::check(host == host.trimmed());
    for (char32_t c : host.toUcs4())
        fuzzing::check(QChar::isPrint(c) || c == U' ');
    return 0;
}
