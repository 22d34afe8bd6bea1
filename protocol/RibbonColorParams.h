#pragma once
// The record of one ribbon colour measuring cycle (IOCTL_PRN_RIBBON_COLOR,
// target 36, command 28). Default member values are its reset values; the
// text addresses point at UTF-16LE texts ended by a 0 character.
#include <cstddef>
#include <cstdint>

namespace protocol {

struct RibbonColorParams {
    int32_t word0 = 0;
    int32_t stepMode = 0;         // radio index 0 "Full" ... 3 "1/8"
    int32_t word8 = 1;            // 2 at RUN
    int32_t pulseCount = 0;       // "Total No. of Pulses:" minus the ramp-up entries
    int32_t runSpeed = 1000;      // pps
    uint32_t rampUpTable = 0;     // 32-bit entries
    int32_t rampUpCount = 0;
    int32_t word28 = 0;
    uint8_t vref = 255;           // "VRef :" 1 to 255
    uint8_t vrefPad[3] = {};      // never written
    int32_t word36 = 0;
    int32_t word40 = 0;
    int32_t word44 = 1;           // 2 at RUN
    int32_t word48 = 0;
    int32_t word52 = 0;
    int32_t word56 = 0;           // 1000 at RUN
    int32_t samplingDelay = 1000; // ms
    int32_t sensingPerSample = 2; // 2, 4, 8 or 16
    uint32_t logFileName = 0;     // "%s%d.txt" of the current run
    uint32_t colorText = 0;       // "Color: "
    uint32_t panelLengthText = 0; // "Panel Length:"
    uint32_t lotNumberText = 0;   // "Lot Number:"
    uint32_t unitNumberText = 0;  // "Unit Number:"
    uint32_t emitterNumberText = 0;  // "Emitter Number:"
    uint32_t detectorNumberText = 0; // "Detector Number:"
    int32_t firstCycle = 0;       // 1 for the first cycle of each run
};
static_assert(sizeof(RibbonColorParams) == 100);
static_assert(offsetof(RibbonColorParams, stepMode) == 4);
static_assert(offsetof(RibbonColorParams, word8) == 8);
static_assert(offsetof(RibbonColorParams, pulseCount) == 12);
static_assert(offsetof(RibbonColorParams, runSpeed) == 16);
static_assert(offsetof(RibbonColorParams, rampUpTable) == 20);
static_assert(offsetof(RibbonColorParams, rampUpCount) == 24);
static_assert(offsetof(RibbonColorParams, word28) == 28);
static_assert(offsetof(RibbonColorParams, vref) == 32);
static_assert(offsetof(RibbonColorParams, word36) == 36);
static_assert(offsetof(RibbonColorParams, word40) == 40);
static_assert(offsetof(RibbonColorParams, word44) == 44);
static_assert(offsetof(RibbonColorParams, word48) == 48);
static_assert(offsetof(RibbonColorParams, word52) == 52);
static_assert(offsetof(RibbonColorParams, word56) == 56);
static_assert(offsetof(RibbonColorParams, samplingDelay) == 60);
static_assert(offsetof(RibbonColorParams, sensingPerSample) == 64);
static_assert(offsetof(RibbonColorParams, logFileName) == 68);
static_assert(offsetof(RibbonColorParams, colorText) == 72);
static_assert(offsetof(RibbonColorParams, panelLengthText) == 76);
static_assert(offsetof(RibbonColorParams, lotNumberText) == 80);
static_assert(offsetof(RibbonColorParams, unitNumberText) == 84);
static_assert(offsetof(RibbonColorParams, emitterNumberText) == 88);
static_assert(offsetof(RibbonColorParams, detectorNumberText) == 92);
static_assert(offsetof(RibbonColorParams, firstCycle) == 96);

} // namespace protocol
