#pragma once
// Requests of the user program: its own family (device type 0x18, read
// access), the keyboard family (device type 0x0B) and the engineering-family
// requests it shares with the engineering program.
#include <cstddef>
#include <cstdint>

#include "platform/Device.h"
#include "protocol/CommandBlock.h"
#include "protocol/RequestCodes.h"

namespace protocol {


constexpr uint32_t kUserDeviceType = 0x18;
constexpr uint32_t kKeyboardDeviceType = 0x0B;

constexpr uint32_t userCode(uint32_t function)
{
    return platform::ctlCode(kUserDeviceType, function, platform::METHOD_BUFFERED, platform::FILE_READ_ACCESS);
}
constexpr uint32_t keyboardCode(uint32_t function)
{
    return platform::ctlCode(kKeyboardDeviceType, function, platform::METHOD_BUFFERED, platform::FILE_READ_ACCESS);
}

constexpr uint32_t IOCTL_PRN_GET_DOT_WIDTH = userCode(0x80E);
constexpr uint32_t IOCTL_PRN_PRINT_PREPARE = userCode(0x812);
constexpr uint32_t IOCTL_PRN_GET_BUSY = userCode(0x817);
constexpr uint32_t IOCTL_PRN_GET_PEB = userCode(0x839);
constexpr uint32_t IOCTL_PRN_GET_USAGE = userCode(0x846);
constexpr uint32_t IOCTL_PRN_JOB_BEGIN = userCode(0x849);
constexpr uint32_t IOCTL_PRN_JOB_END = userCode(0x84A);
constexpr uint32_t IOCTL_PRN_IMAGE_BEGIN = userCode(0x84B);
constexpr uint32_t IOCTL_PRN_IMAGE_END = userCode(0x84C);
constexpr uint32_t IOCTL_PRN_GET_CROSSWEB_OFFSET = userCode(0x864);
constexpr uint32_t IOCTL_PRN_GET_HEAD_RESISTANCE = userCode(0x883);
constexpr uint32_t IOCTL_PRN_SET_HEAD_RESISTANCE = userCode(0x884);
constexpr uint32_t IOCTL_PRN_GET_CUT_FORCE_COEFFS = userCode(0x885);
constexpr uint32_t IOCTL_PRN_GET_GAP_SENSOR_DAC = userCode(0x886);
constexpr uint32_t IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION = userCode(0x9DB);
constexpr uint32_t IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION = userCode(0x9DF);

constexpr uint32_t IOCTL_KBD_SET_LAYOUT = keyboardCode(0x7D0);
constexpr uint32_t IOCTL_KBD_GET_LAYOUT = keyboardCode(0x7D1);

static_assert(IOCTL_PRN_GET_DOT_WIDTH == 0x186038);
static_assert(IOCTL_PRN_PRINT_PREPARE == 0x186048);
static_assert(IOCTL_PRN_GET_BUSY == 0x18605C);
static_assert(IOCTL_PRN_GET_PEB == 0x1860E4);
static_assert(IOCTL_PRN_GET_USAGE == 0x186118);
static_assert(IOCTL_PRN_JOB_BEGIN == 0x186124);
static_assert(IOCTL_PRN_JOB_END == 0x186128);
static_assert(IOCTL_PRN_IMAGE_BEGIN == 0x18612C);
static_assert(IOCTL_PRN_IMAGE_END == 0x186130);
static_assert(IOCTL_PRN_GET_CROSSWEB_OFFSET == 0x186190);
static_assert(IOCTL_PRN_GET_HEAD_RESISTANCE == 0x18620C);
static_assert(IOCTL_PRN_SET_HEAD_RESISTANCE == 0x186210);
static_assert(IOCTL_PRN_GET_CUT_FORCE_COEFFS == 0x186214);
static_assert(IOCTL_PRN_GET_GAP_SENSOR_DAC == 0x186218);
static_assert(IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION == 0x18676C);
static_assert(IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION == 0x18677C);
static_assert(IOCTL_KBD_SET_LAYOUT == 0xB5F40);
static_assert(IOCTL_KBD_GET_LAYOUT == 0xB5F44);

constexpr const char* userRequestName(uint32_t code)
{
    switch (code) {
    case IOCTL_PRN_GET_DOT_WIDTH: return "IOCTL_PRN_GET_DOT_WIDTH";
    case IOCTL_PRN_PRINT_PREPARE: return "IOCTL_PRN_PRINT_PREPARE";
    case IOCTL_PRN_GET_BUSY: return "IOCTL_PRN_GET_BUSY";
    case IOCTL_PRN_GET_PEB: return "IOCTL_PRN_GET_PEB";
    case IOCTL_PRN_GET_USAGE: return "IOCTL_PRN_GET_USAGE";
    case IOCTL_PRN_JOB_BEGIN: return "IOCTL_PRN_JOB_BEGIN";
    case IOCTL_PRN_JOB_END: return "IOCTL_PRN_JOB_END";
    case IOCTL_PRN_IMAGE_BEGIN: return "IOCTL_PRN_IMAGE_BEGIN";
    case IOCTL_PRN_IMAGE_END: return "IOCTL_PRN_IMAGE_END";
    case IOCTL_PRN_GET_CROSSWEB_OFFSET: return "IOCTL_PRN_GET_CROSSWEB_OFFSET";
    case IOCTL_PRN_GET_HEAD_RESISTANCE: return "IOCTL_PRN_GET_HEAD_RESISTANCE";
    case IOCTL_PRN_SET_HEAD_RESISTANCE: return "IOCTL_PRN_SET_HEAD_RESISTANCE";
    case IOCTL_PRN_GET_CUT_FORCE_COEFFS: return "IOCTL_PRN_GET_CUT_FORCE_COEFFS";
    case IOCTL_PRN_GET_GAP_SENSOR_DAC: return "IOCTL_PRN_GET_GAP_SENSOR_DAC";
    case IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION: return "IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION";
    case IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION: return "IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION";
    case IOCTL_KBD_SET_LAYOUT: return "IOCTL_KBD_SET_LAYOUT";
    case IOCTL_KBD_GET_LAYOUT: return "IOCTL_KBD_GET_LAYOUT";
    default: return nullptr;
    }
}

// Selector byte of IOCTL_PRN_GET_USAGE.
constexpr uint8_t kUsageSelector = 'i';

// Calibration distances, nine 32-bit words.
struct PebRecord {
    int32_t printlineToXYCut = 0;             // signed
    uint32_t printlineToEndCutter = 0;
    uint32_t upstreamCenterNotchToPrintline = 0;
    uint32_t downstreamCenterNotchToPrintline = 0;
    uint32_t upstreamGapToPrintline = 0;
    uint32_t downstreamGapToPrintline = 0;
    uint32_t upstreamSideNotchToPrintline = 0;
    uint32_t downstreamSideNotchToPrintline = 0;
    int32_t xyHomeToTapeCenter = 0;           // signed
};
static_assert(sizeof(PebRecord) == 36);
static_assert(offsetof(PebRecord, xyHomeToTapeCenter) == 32);

struct UsageRecord {
    uint32_t cutsMade = 0;
    uint32_t inchesPrinted = 0;
    uint32_t word2 = 0; // not read
};
static_assert(sizeof(UsageRecord) == 12);

// Cut-force coefficients in thousandths.
struct CutForceCoeffs {
    int32_t m = 0;
    int32_t c = 0;
};
static_assert(sizeof(CutForceCoeffs) == 8);

// Byte 3 (the most significant byte of the word) is the calibrated DAC value.
struct GapDacRecord {
    uint8_t unused[3] = {};
    uint8_t dac = 0;
};
static_assert(sizeof(GapDacRecord) == 4);
static_assert(offsetof(GapDacRecord, dac) == 3);

// PEB items and what each carries.
namespace pebItem {
constexpr uint32_t DownstreamSideNotch = 99;
constexpr uint32_t DownstreamGap = 100;
constexpr uint32_t DownstreamCenterNotch = 101;
constexpr uint32_t UpstreamSideNotch = 102;
constexpr uint32_t UpstreamGap = 103;
constexpr uint32_t UpstreamCenterNotch = 104;
constexpr uint32_t PrintlineToEndCutter = 105;
constexpr uint32_t PrintlineToXYCut = 106;
constexpr uint32_t XYHomeToTapeCenter = 123;
constexpr uint32_t CrossWebPrintOffset = 136;
} // namespace pebItem

// Cut-force items of IOCTL_PRN_CUT_FORCE.
namespace cutForceItem {
constexpr uint32_t M = 107;
constexpr uint32_t C = 108;
constexpr uint32_t ReadBoth = 111;
} // namespace cutForceItem

// Print head resistor values the driver stores (IOCTL_PRN_SET_HEAD_RESISTANCE);
// a value read back above kHeadResistanceNotSetAbove (unsigned) means none is set.
constexpr int32_t kHeadResistanceMin = 1074;
constexpr int32_t kHeadResistanceMax = 1184;
constexpr uint32_t kHeadResistanceNotSetAbove = 2157;

// Raster rows of a print job per inch of job length.
constexpr uint32_t kRasterRowsPerInch = 320;

// Keyboard layouts 1 to 5.
constexpr int32_t kFirstKeyboardLayout = 1;
constexpr int32_t kLastKeyboardLayout = 5;

} // namespace protocol
