#pragma once
// The PEB calibration's items and requests, widget-free: what the action
// button and "Read All" queue, and where a "Read All" reply goes.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "vantor/screens/cartridge/RequestWorker.h"

namespace vantor::cartridge {

constexpr int kPebItemCount = 10;

struct PebItemText {
    const char* listText;
    const char* rowLabel;
};
extern const std::array<PebItemText, kPebItemCount> kPebItemTexts;

// Calibrate item s: its calibrate target (s + 99), command 45, Param 0.
DriverStep pebCalibrateStep(int item);
// Save a value for item s: its save target, command 46, Param the value word.
DriverStep pebSaveStep(int item, int32_t value);
// Read all: target 109, command 47, Param 0, 36 bytes back.
DriverStep pebReadAllStep();

// The value box read as a decimal long: blanks, sign and digits, what
// follows ignored, no digits give 0; beyond 32 bits it stops at the limit.
int32_t pebValue(const QString& text);

// Each item's value from a 36-byte "Read All" reply, by the item's reply
// word; nullopt for the item that has none ("PRINT CROSSWEB OFFSET") or for
// a reply of the wrong size.
std::array<std::optional<int32_t>, kPebItemCount> pebReadValues(const QByteArray& reply);

} // namespace vantor::cartridge
