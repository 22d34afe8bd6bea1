#pragma once
// Request codes of the engineering family (device type 0x1E, buffered, any
// access), the command numbers grouped by the request they travel with, and
// the targets the engineering program addresses.
#include <cstdint>

#include "platform/Device.h"

namespace protocol {

constexpr uint32_t kEngineeringDeviceType = 0x1E;

constexpr uint32_t engineeringCode(uint32_t function)
{
    return platform::ctlCode(kEngineeringDeviceType, function, platform::METHOD_BUFFERED,
                             platform::FILE_ANY_ACCESS);
}

constexpr uint32_t IOCTL_PRN_MOTION = engineeringCode(0x801);
constexpr uint32_t IOCTL_PRN_SENSOR_READ = engineeringCode(0x802);
constexpr uint32_t IOCTL_PRN_TAGCHIP = engineeringCode(0x803);
constexpr uint32_t IOCTL_PRN_PRINT = engineeringCode(0x804);
constexpr uint32_t IOCTL_PRN_GPIO = engineeringCode(0x805);
constexpr uint32_t IOCTL_PRN_REGISTER = engineeringCode(0x806);
constexpr uint32_t IOCTL_PRN_ADC_READ = engineeringCode(0x807);
constexpr uint32_t IOCTL_PRN_TEST_RUN = engineeringCode(0x808);
constexpr uint32_t IOCTL_PRN_RIBBON_COLOR = engineeringCode(0x809);
constexpr uint32_t IOCTL_PRN_PEB = engineeringCode(0x80C);
constexpr uint32_t IOCTL_PRN_CUT_FORCE = engineeringCode(0x80D);

static_assert(IOCTL_PRN_MOTION == 0x1E2004);
static_assert(IOCTL_PRN_SENSOR_READ == 0x1E2008);
static_assert(IOCTL_PRN_TAGCHIP == 0x1E200C);
static_assert(IOCTL_PRN_PRINT == 0x1E2010);
static_assert(IOCTL_PRN_GPIO == 0x1E2014);
static_assert(IOCTL_PRN_REGISTER == 0x1E2018);
static_assert(IOCTL_PRN_ADC_READ == 0x1E201C);
static_assert(IOCTL_PRN_TEST_RUN == 0x1E2020);
static_assert(IOCTL_PRN_RIBBON_COLOR == 0x1E2024);
static_assert(IOCTL_PRN_PEB == 0x1E2030);
static_assert(IOCTL_PRN_CUT_FORCE == 0x1E2034);

// Name of a request code of this family, or null.
constexpr const char* engineeringRequestName(uint32_t code)
{
    switch (code) {
    case IOCTL_PRN_MOTION: return "IOCTL_PRN_MOTION";
    case IOCTL_PRN_SENSOR_READ: return "IOCTL_PRN_SENSOR_READ";
    case IOCTL_PRN_TAGCHIP: return "IOCTL_PRN_TAGCHIP";
    case IOCTL_PRN_PRINT: return "IOCTL_PRN_PRINT";
    case IOCTL_PRN_GPIO: return "IOCTL_PRN_GPIO";
    case IOCTL_PRN_REGISTER: return "IOCTL_PRN_REGISTER";
    case IOCTL_PRN_ADC_READ: return "IOCTL_PRN_ADC_READ";
    case IOCTL_PRN_TEST_RUN: return "IOCTL_PRN_TEST_RUN";
    case IOCTL_PRN_RIBBON_COLOR: return "IOCTL_PRN_RIBBON_COLOR";
    case IOCTL_PRN_PEB: return "IOCTL_PRN_PEB";
    case IOCTL_PRN_CUT_FORCE: return "IOCTL_PRN_CUT_FORCE";
    default: return nullptr;
    }
}

// Command numbers. One numbering for all requests; each number belongs to
// the one request it is grouped under.
namespace cmd {

namespace motion { // IOCTL_PRN_MOTION
constexpr uint32_t LoadPrintHead = 1;
constexpr uint32_t UnloadPrintHead = 2;
constexpr uint32_t PlatenMove = 3;
constexpr uint32_t RibbonMove = 4;
constexpr uint32_t RibbonTension = 5;
constexpr uint32_t RibbonTensionSlipClutch = 6;
constexpr uint32_t EjectorMove = 7;
constexpr uint32_t EndCutterCut = 9;
constexpr uint32_t TapeRewind = 11;
constexpr uint32_t XYDownWeb = 14;
constexpr uint32_t XYPinch = 15;
constexpr uint32_t TapeOvershoot = 25;
constexpr uint32_t TapeRollTightness = 26;
constexpr uint32_t PlatenLife = 27;
constexpr uint32_t MediaJam = 35;
constexpr uint32_t XYCrossWeb = 38;
constexpr uint32_t PrintHeadLift = 44;
} // namespace motion

namespace print { // IOCTL_PRN_PRINT
constexpr uint32_t Print1 = 18;
constexpr uint32_t Print2 = 19;
constexpr uint32_t Print3 = 20;
constexpr uint32_t PrintToCut = 36;
constexpr uint32_t AgingPrint1 = 52;
constexpr uint32_t AgingPrint2 = 53;
constexpr uint32_t AgingPrint3 = 54;
} // namespace print

namespace sensor { // IOCTL_PRN_SENSOR_READ
constexpr uint32_t Read = 16;
constexpr uint32_t CalibrateColor = 17;
constexpr uint32_t CalibrateLiner = 50;
constexpr uint32_t CalibrateMedia = 51;
} // namespace sensor

namespace reg { // IOCTL_PRN_REGISTER
constexpr uint32_t Write = 32;
constexpr uint32_t ReadSetting = 37;
constexpr uint32_t WriteSetting = 62;
} // namespace reg

namespace adc { // IOCTL_PRN_ADC_READ
constexpr uint32_t Read = 33;
} // namespace adc

namespace gpio { // IOCTL_PRN_GPIO
constexpr uint32_t Read = 30;
constexpr uint32_t Set = 31;
} // namespace gpio

namespace ribbonColor { // IOCTL_PRN_RIBBON_COLOR
constexpr uint32_t Measure = 28;
} // namespace ribbonColor

namespace testRun { // IOCTL_PRN_TEST_RUN
constexpr uint32_t XYAging = 21;
constexpr uint32_t XYHoming = 22;
constexpr uint32_t XYPinch = 23;
constexpr uint32_t Fiducial = 24;
} // namespace testRun

namespace tagChip { // IOCTL_PRN_TAGCHIP
constexpr uint32_t ReadTape = 39;
constexpr uint32_t ProgramTape = 40;
constexpr uint32_t ReadRibbon = 41;
constexpr uint32_t ProgramRibbon = 42;
} // namespace tagChip

namespace peb { // IOCTL_PRN_PEB
constexpr uint32_t Calibrate = 45;    // calibrate an item, Param 0
constexpr uint32_t Save = 46;         // save a value for an item
constexpr uint32_t Set = Calibrate;   // older names
constexpr uint32_t SetItem = Save;
constexpr uint32_t Read = 47;
constexpr uint32_t SetWideItem = 64; // items 106, 123 and 136 of the user program
} // namespace peb

namespace cutForce { // IOCTL_PRN_CUT_FORCE
constexpr uint32_t Program = 48;
constexpr uint32_t Read = 49;
} // namespace cutForce

} // namespace cmd

// Targets of the motion, test-run, print, ribbon colour, TagChip and
// calibration commands (sensor, converter and GPIO items: SensorItems.h,
// ConverterItems.h).
namespace target {
constexpr uint32_t PrintHead = 0; // load, unload, lift
constexpr uint32_t Platen = 1;
constexpr uint32_t RibbonDrive = 2;
constexpr uint32_t RibbonTension = 3;
constexpr uint32_t Ejector = 4;
constexpr uint32_t EndCutter = 5;
constexpr uint32_t TapeRewind = 6;
constexpr uint32_t XYCrossWeb = 8;
constexpr uint32_t XYDownWeb = 9;
constexpr uint32_t XYPinch = 10;
constexpr uint32_t Sequence = 11; // platen life, media jam
constexpr uint32_t Print = 34;
constexpr uint32_t TestRun = 35;
constexpr uint32_t RibbonColor = 36;
constexpr uint32_t TagChip = 98;
constexpr uint32_t PebReadAll = 109;
constexpr uint32_t CutForceBase = 107; // plus the cut-force index
} // namespace target

} // namespace protocol
