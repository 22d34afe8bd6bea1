#pragma once
// Item numbers of the sensors, converters and settings that the reading
// commands address (one numbering with the motor targets), and the output
// size each item answers with.
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace protocol {

// Sensor items read with IOCTL_PRN_SENSOR_READ (and, for the analogue media
// sensors and the colour sensors, calibrated with it).
namespace sensorItem {
constexpr uint32_t FiducialDetector = 12;      // red, green, blue
constexpr uint32_t ColorSensor = 13;           // red, green, blue
constexpr uint32_t Thermistor = 14;            // 64-bit float, degrees C
constexpr uint32_t PrintHeadHome = 15;         // also "Printhead Lift Sensor:"
constexpr uint32_t Wiper = 16;
constexpr uint32_t Door = 17;                  // 0 closed, 1 open
constexpr uint32_t EjectorHome = 18;           // 0 blocked
constexpr uint32_t CutterFrontHome = 19;
constexpr uint32_t CutterRearHome = 20;
constexpr uint32_t XYPinchHome = 22;
constexpr uint32_t XYUnpinchHome = 23;
constexpr uint32_t XYCrossWebHome = 24;
constexpr uint32_t MediaPresent = 25;          // 1 blocked: media present
constexpr uint32_t DownstreamSideNotch = 26;
constexpr uint32_t UpstreamSideNotch = 27;
constexpr uint32_t DownstreamGap = 28;         // analogue media sensor
constexpr uint32_t UpstreamGap = 29;           // analogue media sensor
constexpr uint32_t DownstreamCenterNotch = 30; // analogue media sensor
constexpr uint32_t UpstreamCenterNotch = 31;   // analogue media sensor
constexpr uint32_t PrintHeadVoltage = 112;     // 64-bit float, volts
constexpr uint32_t RoomTemp = 146;             // 64-bit float, degrees C ("Ambient Temperature")
constexpr uint32_t EncoderLiftUp = 148;
constexpr uint32_t EncoderLiftHome = 149;
} // namespace sensorItem

// Settings read with IOCTL_PRN_REGISTER command 37 besides the four
// analogue media sensors.
namespace settingItem {
constexpr uint32_t FiducialEmitterDacs = 96; // 3 bytes: red, green, blue emitter DAC values
constexpr uint32_t ColorSensorDacs = 97;     // 3 bytes: red, green, blue colour sensor DAC values
} // namespace settingItem

// Sensor item kinds of the reading dialogs: 0 a 32-bit state, 1 a 64-bit
// floating-point value, 2 to 4 three bytes.
namespace sensorKind {
constexpr int State = 0;
constexpr int Analog = 1;
constexpr int Triple = 2;
} // namespace sensorKind

// A red, green, blue byte triple (colour readings and DAC settings).
struct ColorTriple {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};
static_assert(sizeof(ColorTriple) == 3);
static_assert(offsetof(ColorTriple, green) == 1);
static_assert(offsetof(ColorTriple, blue) == 2);

constexpr bool isAnalogMediaSensor(uint32_t item)
{
    return item >= sensorItem::DownstreamGap && item <= sensorItem::UpstreamCenterNotch;
}
constexpr bool isColorSensor(uint32_t item)
{
    return item == sensorItem::FiducialDetector || item == sensorItem::ColorSensor;
}
constexpr bool isAnalogSensor(uint32_t item)
{
    return item == sensorItem::Thermistor || item == sensorItem::RoomTemp || item == sensorItem::PrintHeadVoltage;
}
constexpr bool isOnOffSensor(uint32_t item)
{
    return (item >= sensorItem::PrintHeadHome && item <= sensorItem::UpstreamCenterNotch &&
            item != 21) ||
           item == sensorItem::EncoderLiftUp || item == sensorItem::EncoderLiftHome;
}

// Output size of a sensor read (command 16): 4, 8 or 3 bytes; 0 for an item
// that is no sensor.
constexpr uint32_t sensorReadSize(uint32_t item)
{
    return isColorSensor(item) ? 3 : isAnalogSensor(item) ? 8 : isOnOffSensor(item) ? 4 : 0;
}

// The sensor table of the engineering sensor dialog, in row order.
struct SensorTableItem {
    uint32_t target;
    int kind;
};
constexpr SensorTableItem kSensorReadTable[] = {
    {sensorItem::Door, sensorKind::State},
    {sensorItem::CutterRearHome, sensorKind::State},
    {sensorItem::CutterFrontHome, sensorKind::State},
    {sensorItem::Wiper, sensorKind::State},
    {sensorItem::PrintHeadHome, sensorKind::State},
    {sensorItem::EjectorHome, sensorKind::State},
    {sensorItem::DownstreamCenterNotch, sensorKind::State},
    {sensorItem::UpstreamCenterNotch, sensorKind::State},
    {sensorItem::DownstreamGap, sensorKind::State},
    {sensorItem::UpstreamGap, sensorKind::State},
    {sensorItem::MediaPresent, sensorKind::State},
    {sensorItem::XYPinchHome, sensorKind::State},
    {sensorItem::XYUnpinchHome, sensorKind::State},
    {sensorItem::XYCrossWebHome, sensorKind::State},
    {sensorItem::DownstreamSideNotch, sensorKind::State},
    {sensorItem::UpstreamSideNotch, sensorKind::State},
    {sensorItem::Thermistor, sensorKind::Analog},
    {sensorItem::RoomTemp, sensorKind::Analog},
};
static_assert(std::size(kSensorReadTable) == 18);

// The four analogue media sensors in the order of the engineering dialog's
// "Analog Sensor" rows and of the media calibration.
constexpr uint32_t kAnalogMediaSensors[] = {sensorItem::DownstreamCenterNotch, sensorItem::UpstreamCenterNotch,
                                            sensorItem::DownstreamGap, sensorItem::UpstreamGap};
// The colour sensors calibrated after the media sensors (ribbon colour test).
constexpr uint32_t kColorCalibrationSensors[] = {sensorItem::ColorSensor, sensorItem::FiducialDetector};

// The user program's sensor settings screen: on/off sensors, notch and gap
// sensors, analogue sensors, each in table order.
constexpr uint32_t kUserOnOffSensors[] = {
    sensorItem::Door,          sensorItem::CutterRearHome,      sensorItem::CutterFrontHome,
    sensorItem::Wiper,         sensorItem::PrintHeadHome,       sensorItem::EjectorHome,
    sensorItem::MediaPresent,  sensorItem::XYPinchHome,         sensorItem::XYUnpinchHome,
    sensorItem::XYCrossWebHome, sensorItem::DownstreamSideNotch, sensorItem::UpstreamSideNotch,
    sensorItem::EncoderLiftHome, sensorItem::EncoderLiftUp,
};
static_assert(std::size(kUserOnOffSensors) == 14);
constexpr uint32_t kUserNotchGapSensors[] = {sensorItem::DownstreamCenterNotch, sensorItem::UpstreamCenterNotch,
                                             sensorItem::DownstreamGap, sensorItem::UpstreamGap};
constexpr uint32_t kUserAnalogSensors[] = {sensorItem::PrintHeadVoltage, sensorItem::Thermistor,
                                           sensorItem::ColorSensor, sensorItem::RoomTemp};

} // namespace protocol
