#pragma once
// The PEB values as the calibration screen checks them, widget-free: the ten
// values in screen order with their settings keys, driver items, types and
// messages; the range check in 32-bit arithmetic; the display formats.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pellam::peb {

enum class ValueType { Unsigned, Signed };

struct PebField {
    int control;            // edit of the calibration screen (151)
    uint32_t item;          // driver item
    const char* defaultKey; // in "General" of \boot\Pellam.ini
    const char* toleranceKey;
    ValueType type;
    int message; // string id shown when out of range
};

// Screen order (1029 to 1135), which is also the order of the checks.
extern const std::array<PebField, 10> kPebFields;

constexpr const char* kSettingsPath = "\\boot\\Pellam.ini";
constexpr const char* kSettingsSection = "General";

// A setting's text as a decimal integer: leading blanks, an optional sign,
// digits; anything else after them is ignored. Empty, non-numeric or not
// representable in 32 bits gives 0.
int64_t parseSetting(std::string_view text);

// value is within [d - t, d + t], the bounds computed in 32 bits (so they
// wrap), compared unsigned or signed by type. A tolerance larger than an
// unsigned default wraps the lower bound, and then nothing passes.
bool inRange(uint32_t value, uint32_t defaultValue, uint32_t tolerance, ValueType type);

// Looks a key up in the settings (text, empty when missing).
using SettingLookup = std::function<std::string(const char* key)>;

uint32_t defaultOf(const PebField& field, const SettingLookup& lookup);
uint32_t toleranceOf(const PebField& field, const SettingLookup& lookup);

// Every field checked in screen order; the fields out of range, in order.
// `valueOf` gives a field's 32-bit word (a signed value in two's complement).
std::vector<const PebField*> fieldsOutOfRange(const std::function<uint32_t(const PebField&)>& valueOf,
                                              const SettingLookup& lookup);

// Calibration screen: a distance as a whole number by its type; M and C "%.4f".
std::string formatValue(uint32_t word, ValueType type);
std::string formatCoefficient(float value);
// M and C of the display screen from the driver's thousandths: M "%5.3f";
// C "%8.3f", its word first raised by 1 when any of its top eight bits is set.
float displayM(int32_t word0);
float displayC(int32_t word1);
std::string formatDisplayM(int32_t word0);
std::string formatDisplayC(int32_t word1);

} // namespace pellam::peb
