#pragma once
// The engineering side of the PEB values and the XY cut-force coefficients
// (IOCTL_PRN_PEB and IOCTL_PRN_CUT_FORCE). The driver keeps one set of
// values; the user program reaches the same set through its own requests
// (UserRequests.h).
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "protocol/UserRequests.h"

namespace protocol {

// Target of "Read All" (command 47): 36 bytes, a PebRecord.
constexpr uint32_t kPebReadAllTarget = 109;

// The PEB items of the engineering calibration dialog in list order: the
// target that calibrates the item (command 45, Param 0), the target that
// saves a value for it (command 46, Param: the address of a 32-bit word),
// and the word of the "Read All" reply that carries it (-1: none).
struct PebCalibrationItem {
    uint32_t calibrateTarget;
    uint32_t saveTarget;
    int32_t replyWord;
};
constexpr PebCalibrationItem kPebCalibrationItems[] = {
    {99, pebItem::DownstreamSideNotch, 7},   // "DOWNSTREAM SIDE NOTCH"
    {100, pebItem::DownstreamGap, 5},        // "DOWNSTREAM GAP"
    {101, pebItem::DownstreamCenterNotch, 3}, // "DOWNSTREAM CENTER NOTCH"
    {102, pebItem::UpstreamSideNotch, 6},    // "UPSTREAM SIDE NOTCH"
    {103, pebItem::UpstreamGap, 4},          // "UPSTREAM GAP"
    {104, pebItem::UpstreamCenterNotch, 2},  // "UPSTREAM CENTER NOTCH"
    {105, pebItem::PrintlineToEndCutter, 1}, // "CUTLINE"
    {106, pebItem::PrintlineToXYCut, 0},     // "XY CUTLINE"
    {107, pebItem::XYHomeToTapeCenter, 8},   // "XY HOME TO TAPE CENTER"
    {108, pebItem::CrossWebPrintOffset, -1}, // "PRINT CROSSWEB OFFSET"
};
static_assert(std::size(kPebCalibrationItems) == 10);

// The calibrate targets run 99 to 108 (list index + 99).
constexpr uint32_t kFirstPebCalibrateTarget = 99;
constexpr uint32_t kLastPebCalibrateTarget = 108;

// Command 46 from the user program answers 4 bytes into the value it was
// given, as command 64 does for the items 106, 123 and 136.
constexpr uint32_t pebUserWriteCommand(uint32_t item)
{
    return item == pebItem::PrintlineToXYCut || item == pebItem::XYHomeToTapeCenter ||
                   item == pebItem::CrossWebPrintOffset
               ? 64u
               : 46u;
}

// "Read All" of the cut-force coefficients (command 49, target 111): M then
// C as IEEE 754 single-precision values. Command 48 writes one of them
// (target 107 M, 108 C) from the float its Param addresses.
struct CutForceFloats {
    float m = 0.0f;
    float c = 0.0f;
};
static_assert(sizeof(CutForceFloats) == 8);
static_assert(offsetof(CutForceFloats, c) == 4);

} // namespace protocol
