#pragma once
// What the USB test shows for a device-change notification, read from the
// record as the platform lays it out. Widget-free.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <QString>

namespace pellam {

// A name longer than this is cut: the text 1074 has one line.
constexpr size_t kMaxUsbNameChars = 256;

// The device's name in a notification record: the UTF-16 text at byte 12 for
// device types 3 (port), 2 and 0, else empty. The record ends at its size
// word or at the bytes delivered, whichever comes first; nothing past that
// end is read, and a record too short for its type word has no name. The
// text ends at a NUL or at the first control character: volume (2) and OEM
// (0) records hold numbers there, not text, so such a record gives at most
// the few characters its own bytes make up to that point, usually none.
QString usbDeviceName(std::span<const uint8_t> record);

// The text for event `event`: an arrival (0x8000) gives "%s %s" of the name
// and `detected`, a completed removal (0x8004) gives `removed`; any other
// event changes nothing (nullopt).
std::optional<QString> usbNoticeText(uint32_t event, std::span<const uint8_t> record, const QString& detected,
                                     const QString& removed);

} // namespace pellam
