#pragma once
// Converter channels and general-purpose pin groups: one item space across
// the ADC, DAC and GPIO tests (GPIO groups 37 to 63, DAC channels 64 to 87,
// ADC channels 88 to 95).
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace protocol {

// ADC channels 1 to 8 (IOCTL_PRN_ADC_READ, command 33, 4-byte unsigned reading).
constexpr uint32_t kFirstAdcItem = 88;
constexpr uint32_t kLastAdcItem = 95;
constexpr uint32_t kAdcChannels = 8;
constexpr uint32_t adcItem(int channel) { return kFirstAdcItem + uint32_t(channel); } // channel from 0

// DAC channels (IOCTL_PRN_REGISTER, command 32, Param: the address of a word
// whose low byte is the 8-bit value). Three eight-channel DACs.
constexpr uint32_t kFirstDacItem = 64;
constexpr uint32_t kLastDacItem = 87;
constexpr uint32_t kDacCount = 3;
constexpr uint32_t kDacChannels = 8;
constexpr uint32_t dacItem(int dac, int channel) { return kFirstDacItem + uint32_t(dac) * kDacChannels + uint32_t(channel); }
constexpr bool isDacItem(uint32_t item) { return item >= kFirstDacItem && item <= kLastDacItem; }

// Full-scale output of a DAC channel in volts: DAC 1 1.5 V, DAC 2 3.3 V,
// DAC 3 3.3 V on its first four channels and 1.5 V on the last four; 0 for
// an item that is no DAC channel.
constexpr double dacFullScale(uint32_t item)
{
    if (item >= 64 && item <= 71)
        return 1.5;
    if (item >= 72 && item <= 83)
        return 3.3;
    if (item >= 84 && item <= 87)
        return 1.5;
    return 0.0;
}

// The fiducial sensor's emitters are DAC 3 channels 1 to 3.
namespace emitterItem {
constexpr uint32_t Green = 80;
constexpr uint32_t Red = 81;
constexpr uint32_t Blue = 82;
} // namespace emitterItem

// Colour index (0 red, 1 green, 2 blue) and colour bit (1, 2, 4) of the
// fiducial emitter.
constexpr uint32_t kEmitterItemByColor[] = {emitterItem::Red, emitterItem::Green, emitterItem::Blue};
constexpr int32_t colorBit(int colorIndex) { return colorIndex >= 0 && colorIndex < 3 ? 1 << colorIndex : 0; }

// GPIO groups (IOCTL_PRN_GPIO: command 30 reads 4 bytes, bit k = pin k;
// command 31 sets, Param: the address of a word whose low byte is the state).
constexpr uint32_t kFirstGpioItem = 37;
constexpr uint32_t kLastGpioItem = 63;
constexpr bool isGpioItem(uint32_t item) { return item >= kFirstGpioItem && item <= kLastGpioItem; }

// One row of the group table: four 32-bit words.
struct GpioGroup {
    uint32_t firstPin;     // index of bit 0 in kGpioPinTypes
    uint32_t bankName;     // index in kGpioBankNames
    uint32_t item;
    uint32_t bankFirstPin;
};
static_assert(sizeof(GpioGroup) == 16);

constexpr const char* kGpioBankNames[] = {
    "CPU B0",    "CPU B1",    "CPU B2",    "CPU B3",    "IOEXP1 B0", "IOEXP1 B1", "IOEXP1 B2", "IOEXP1 B3",
    "IOEXP1 B4", "IOEXP2 B0", "IOEXP2 B1", "IOEXP2 B2", "IOEXP3 B0", "IOEXP3 B1", "IOEXP3 B2",
};
static_assert(std::size(kGpioBankNames) == 15);

constexpr GpioGroup kGpioGroups[] = {
    {0, 0, 37, 0},      {8, 0, 38, 0},      {16, 0, 39, 0},     {24, 0, 40, 0},    {32, 1, 41, 32},
    {40, 1, 42, 32},    {48, 1, 43, 32},    {56, 1, 44, 32},    {64, 2, 45, 64},   {72, 2, 46, 64},
    {80, 2, 47, 64},    {88, 2, 48, 64},    {96, 3, 49, 96},    {104, 3, 50, 96},  {112, 3, 51, 96},
    {120, 3, 52, 96},   {128, 4, 53, 128},  {136, 5, 54, 136},  {144, 6, 55, 144}, {152, 7, 56, 152},
    {160, 8, 57, 160},  {168, 9, 58, 168},  {176, 10, 59, 176}, {184, 11, 60, 184}, {192, 12, 61, 192},
    {200, 13, 62, 200}, {208, 14, 63, 208},
};
static_assert(std::size(kGpioGroups) == 27);

// One character per pin, "I" input, "O" output; character (first pin + k)
// is bit k of its group. Eight characters per group, bit 0 first.
constexpr char kGpioPinTypes[] =
    "IIIIIOII" "IIIIIIII" "IIIIIIII" "IIIIIIII" // CPU B0
    "IIIIIIII" "IOIIIIII" "IIIIIOOI" "IIIOOIII" // CPU B1
    "IIIIIIII" "IIIIIIII" "IIIIIIII" "IIIIIIII" // CPU B2
    "IIOIIIIO" "IIIIIOII" "OIIIIOII" "IIIIIIII" // CPU B3
    "IIIIIIII" "OOOOOOOO" "OOOOOOOO" "OOOOOOOO" "OOOOOOOO" // IOEXP1 B0 to B4
    "OOOOOOOO" "OOOOOOOO" "IIIIIIII"            // IOEXP2 B0 to B2
    "OOOOOOOO" "OOOOOOOO" "IIIIIIII";           // IOEXP3 B0 to B2
static_assert(sizeof(kGpioPinTypes) == 216 + 1);

// The group row of an item, or null.
constexpr const GpioGroup* gpioGroupOf(uint32_t item)
{
    return isGpioItem(item) ? &kGpioGroups[item - kFirstGpioItem] : nullptr;
}
// Bit k set where pin k of the group is an output ("O").
constexpr uint8_t gpioOutputMask(const GpioGroup& g)
{
    uint8_t mask = 0;
    for (int k = 0; k < 8; ++k)
        if (kGpioPinTypes[g.firstPin + uint32_t(k)] == 'O')
            mask = uint8_t(mask | (1u << k));
    return mask;
}
static_assert(gpioOutputMask(kGpioGroups[0]) == 0x20);   // CPU B0 (P7 - P0): bit 5
static_assert(gpioOutputMask(kGpioGroups[17]) == 0xFF);  // IOEXP1 B1: all outputs
static_assert(gpioOutputMask(kGpioGroups[1]) == 0x00);   // CPU B0 (P15 - P8): all inputs

} // namespace protocol
