#pragma once
// What the sensor screens read and how they show it, widget-free: the rows of
// "Sensor Settings" with their controls, the display texts and formats, and
// the requests of the gap and colour sensor calibrations in their order.
#include <cstdint>
#include <string>

#include "platform/Device.h"
#include "protocol/CommandBlock.h"
#include "protocol/SensorItems.h"

namespace pellam::sensors {

// An on/off sensor: state 0 ticks the first button, any other the second.
struct OnOffRow {
    uint32_t item;
    int firstButton;  // state 0
    int secondButton; // state not 0
};
extern const OnOffRow kOnOffRows[14];

// A notch or gap sensor shown as a text.
struct NotchRow {
    uint32_t item;
    int text;
};
extern const NotchRow kNotchRows[4];

enum class AnalogKind { Float, Triple };
struct AnalogRow {
    uint32_t item;
    int text;
    AnalogKind kind;
};
extern const AnalogRow kAnalogRows[4];

// "Blocked" for a state other than 0, "UnBlocked" for 0.
std::string notchText(uint32_t state);
std::string analogText(double value);                     // "%4.2f"
std::string tripleText(const protocol::ColorTriple& rgb); // "%u,%u,%u"

// Gap sensor calibration (item 28). The results of the two steps are not
// looked at; the DAC value is byte 3 of the record, 0 when it cannot be read.
void gapStepOnLiner(platform::DeviceHandle& handle, protocol::CommandBlock& block);
// `dacRead`, when given, says whether the DAC value was read at all.
uint8_t gapStepOnTape(platform::DeviceHandle& handle, protocol::CommandBlock& block, bool* dacRead = nullptr);
std::string gapResultText(uint8_t dac); // "Calibrated DAC Value: %u"

// Colour sensor calibration (item 13, setting 97): calibrate, read the DAC
// setting, then read the colour. A failed calibration or DAC reading counts
// as zeros; the colour only counts when its reading succeeds.
struct ColorCalibration {
    protocol::ColorTriple dacs;
    bool colorRead = false;
    protocol::ColorTriple color;
};
ColorCalibration calibrateColorSensor(platform::DeviceHandle& handle, protocol::CommandBlock& block);
std::string dacResultText(const protocol::ColorTriple& dacs);  // "Calibrated DAC value %u,%u,%u"
std::string colorResultText(const protocol::ColorTriple& rgb); // "Calibrated RGB Value %u,%u,%u"

} // namespace pellam::sensors
