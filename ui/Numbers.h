#pragma once
// Numbers in edit boxes. The lenient readers take the number the text begins
// with, and 0 when there is none (as the platform's dialog data exchange and
// GetDlgItemInt leave a field that holds no number); the strict ones accept
// only a whole number and report anything else as "not a number".
#include <QString>
#include <optional>

namespace ui {

int leadingInt(const QString& text);
unsigned leadingUInt(const QString& text); // a leading minus sign gives 0
double leadingDouble(const QString& text);

std::optional<int> strictInt(const QString& text);
std::optional<unsigned> strictUInt(const QString& text);
std::optional<double> strictDouble(const QString& text);

// The data exchange's formats: "%d", "%u", "%.6g" for float, "%.15g" for double.
QString formatInt(long long v);
QString formatUInt(unsigned long long v);
QString formatFloat(float v);
QString formatDouble(double v);

} // namespace ui
