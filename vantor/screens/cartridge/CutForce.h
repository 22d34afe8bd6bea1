#pragma once
// The XY cut-force coefficients M and C, widget-free: what "Save" and
// "Read All" queue and how values are read and shown.
#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

#include "vantor/screens/cartridge/RequestWorker.h"

namespace vantor::cartridge {

constexpr int kCutForceCount = 2;
extern const std::array<const char*, kCutForceCount> kCutForceListTexts; // "XY CUTFORCE_M", "XY CUTFORCE_C"
extern const std::array<const char*, kCutForceCount> kCutForceRowLabels; // "XY CUTFORCE M", "XY CUTFORCE C"

// Save value `index` (0 M, 1 C): target 107 + index, command 48, Param the
// single-precision value.
DriverStep cutForceSaveStep(int index, float value);
// Read both: target 111, command 49, Param 0, 8 bytes back.
DriverStep cutForceReadAllStep();

// The value box as a number: blanks, sign, digits, decimal point and
// exponent, what follows ignored, nothing convertible gives 0; then rounded
// to single precision. nullopt when single precision cannot hold it (an
// infinity would go to the driver).
std::optional<float> cutForceValue(const QString& text);
// "%f": six decimals.
QString cutForceText(float value);
// M and C from an 8-byte "Read All" reply; nullopt for another size.
std::optional<std::array<float, kCutForceCount>> cutForceReadValues(const QByteArray& reply);

// Shown when the value box holds a number beyond single precision.
QString cutForceRangeMessage(int index);

} // namespace vantor::cartridge
