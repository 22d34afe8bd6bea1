#pragma once
// The records of the engineering print commands (IOCTL_PRN_PRINT, target
// 34): the default pattern (18, 19, 52, 53), the customised pattern from an
// image file (20, 54) and print-to-cut (36). Default member values are the
// records' initial values; every text address points at a UTF-16LE text
// ended by a 0 character.
#include <cstddef>
#include <cstdint>

namespace protocol {

// Height in dots of a customised pattern image ("mono,height:1248"): the
// packed image holds the pixels column by column, kPrintImageHeight bits per
// column, most significant bit first; a set bit prints nothing, a clear bit
// prints a dot.
constexpr uint32_t kPrintImageHeight = 1248;

struct PrintPatternParams {
    float patternSize = 2.0f;       // inches: 2.0 or 4.0
    int32_t leadingEdgeOffset = 0;  // leading edge to print line
    uint32_t burnSetting = 100;     // percent, 50 to 150
    uint32_t word12 = 0;
    uint32_t endCut = 0;            // 1 when "End Cut:" is ticked
    uint32_t fileName = 0;          // the data file of this cycle, "%s%03d.txt"
};
static_assert(sizeof(PrintPatternParams) == 24);
static_assert(offsetof(PrintPatternParams, leadingEdgeOffset) == 4);
static_assert(offsetof(PrintPatternParams, burnSetting) == 8);
static_assert(offsetof(PrintPatternParams, word12) == 12);
static_assert(offsetof(PrintPatternParams, endCut) == 16);
static_assert(offsetof(PrintPatternParams, fileName) == 20);

struct PrintImageParams {
    uint32_t image = 0;             // the packed image
    uint32_t byteCount = 2;         // bytes of the packed image
    uint32_t burnSetting = 100;     // percent
    uint32_t printCompliance = 0;   // 1 when "Print Compliance" is ticked
    uint32_t endCut = 0;
    uint32_t fileName = 0;          // the empty text
};
static_assert(sizeof(PrintImageParams) == 24);
static_assert(offsetof(PrintImageParams, byteCount) == 4);
static_assert(offsetof(PrintImageParams, burnSetting) == 8);
static_assert(offsetof(PrintImageParams, printCompliance) == 12);
static_assert(offsetof(PrintImageParams, endCut) == 16);
static_assert(offsetof(PrintImageParams, fileName) == 20);

// Print speed index of the print-to-cut record.
namespace printSpeed {
constexpr uint32_t Ips1 = 0;
constexpr uint32_t Ips2 = 1;
constexpr uint32_t Ips2_5 = 2;
constexpr uint32_t NoneChosen = 3;
} // namespace printSpeed

struct PrintToCutParams {
    uint32_t printSpeed = printSpeed::NoneChosen;
    uint32_t vref = 255;            // 1 to 255
    int32_t crossWebOffset = 0;     // XY cutter offset
    int32_t downWebOffset = 0;      // XY cutter offset
    uint32_t totalBoxes = 0;
    uint32_t endCut = 0;            // 1 when "End Cut" is ticked
    float boxLength = 0.0f;         // inches
    uint32_t fileName = 0;          // the data file of this cycle, "%s%03d.txt"
};
static_assert(sizeof(PrintToCutParams) == 32);
static_assert(offsetof(PrintToCutParams, vref) == 4);
static_assert(offsetof(PrintToCutParams, crossWebOffset) == 8);
static_assert(offsetof(PrintToCutParams, downWebOffset) == 12);
static_assert(offsetof(PrintToCutParams, totalBoxes) == 16);
static_assert(offsetof(PrintToCutParams, endCut) == 20);
static_assert(offsetof(PrintToCutParams, boxLength) == 24);
static_assert(offsetof(PrintToCutParams, fileName) == 28);

} // namespace protocol
