#include "SensorSteps.h"

#include <cstdio>

#include "pellam/driver/SensorReads.h"
#include "pellam/driver/UserDriver.h"
#include "pellam/res/resource.h"
#include "protocol/RequestCodes.h"

namespace pellam::sensors {

namespace item = protocol::sensorItem;
namespace cmd = protocol::cmd;

// Wiper detect and eject home read 0 when blocked: their first button is "Blocked".
const OnOffRow kOnOffRows[14] = {
    {item::Door, IDC_SR_DOOR_CLOSED, IDC_SR_DOOR_OPEN},
    {item::CutterRearHome, IDC_SR_CUTTER_REAR_UNBLOCKED, IDC_SR_CUTTER_REAR_BLOCKED},
    {item::CutterFrontHome, IDC_SR_CUTTER_FRONT_UNBLOCKED, IDC_SR_CUTTER_FRONT_BLOCKED},
    {item::Wiper, IDC_SR_WIPER_BLOCKED, IDC_SR_WIPER_UNBLOCKED},
    {item::PrintHeadHome, IDC_SR_HEAD_LIFT_UNBLOCKED, IDC_SR_HEAD_LIFT_BLOCKED},
    {item::EjectorHome, IDC_SR_EJECT_HOME_BLOCKED, IDC_SR_EJECT_HOME_UNBLOCKED},
    {item::MediaPresent, IDC_SR_MEDIA_UNBLOCKED, IDC_SR_MEDIA_BLOCKED},
    {item::XYPinchHome, IDC_SR_XY_PINCH_UNBLOCKED, IDC_SR_XY_PINCH_BLOCKED},
    {item::XYUnpinchHome, IDC_SR_XY_UNPINCH_UNBLOCKED, IDC_SR_XY_UNPINCH_BLOCKED},
    {item::XYCrossWebHome, IDC_SR_XY_CROSSWEB_UNBLOCKED, IDC_SR_XY_CROSSWEB_BLOCKED},
    {item::DownstreamSideNotch, IDC_SR_DS_SIDE_NOTCH_UNBLOCKED, IDC_SR_DS_SIDE_NOTCH_BLOCKED},
    {item::UpstreamSideNotch, IDC_SR_US_SIDE_NOTCH_UNBLOCKED, IDC_SR_US_SIDE_NOTCH_BLOCKED},
    {item::EncoderLiftHome, IDC_SR_LIFT_HOME_UNBLOCKED, IDC_SR_LIFT_HOME_BLOCKED},
    {item::EncoderLiftUp, IDC_SR_LIFT_UP_UNBLOCKED, IDC_SR_LIFT_UP_BLOCKED},
};

const NotchRow kNotchRows[4] = {
    {item::DownstreamCenterNotch, IDC_SR_DS_CENTER_NOTCH},
    {item::UpstreamCenterNotch, IDC_SR_US_CENTER_NOTCH},
    {item::DownstreamGap, IDC_SR_DS_GAP},
    {item::UpstreamGap, IDC_SR_US_GAP},
};

const AnalogRow kAnalogRows[4] = {
    {item::PrintHeadVoltage, IDC_SR_HEAD_VOLTAGE, AnalogKind::Float},
    {item::Thermistor, IDC_SR_THERMISTOR, AnalogKind::Float},
    {item::ColorSensor, IDC_SR_RIBBON_COLOR, AnalogKind::Triple},
    {item::RoomTemp, IDC_SR_AMBIENT, AnalogKind::Float},
};

namespace {
std::string tripleWith(const char* fmt, const protocol::ColorTriple& t)
{
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, fmt, unsigned(t.red), unsigned(t.green), unsigned(t.blue));
    return buffer;
}
} // namespace

std::string notchText(uint32_t state)
{
    return state != 0 ? "Blocked" : "UnBlocked";
}

std::string analogText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%4.2f", value);
    return buffer;
}

std::string tripleText(const protocol::ColorTriple& rgb)
{
    return tripleWith("%u,%u,%u", rgb);
}

void gapStepOnLiner(platform::DeviceHandle& handle, protocol::CommandBlock& block)
{
    uint32_t result = 0;
    driver::readSensorState(handle, block, item::DownstreamGap, cmd::sensor::CalibrateLiner, result);
}

uint8_t gapStepOnTape(platform::DeviceHandle& handle, protocol::CommandBlock& block, bool* dacRead)
{
    uint32_t result = 0;
    driver::readSensorState(handle, block, item::DownstreamGap, cmd::sensor::CalibrateMedia, result);
    protocol::GapDacRecord dac; // cleared by the read
    const bool read = driver::readGapSensorDac(handle, dac);
    if (dacRead)
        *dacRead = read;
    return dac.dac;
}

std::string gapResultText(uint8_t dac)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Calibrated DAC Value: %u", unsigned(dac));
    return buffer;
}

ColorCalibration calibrateColorSensor(platform::DeviceHandle& handle, protocol::CommandBlock& block)
{
    ColorCalibration out;
    protocol::ColorTriple calibrated;
    driver::readSensorTriple(handle, block, item::ColorSensor, cmd::sensor::CalibrateColor, calibrated);
    driver::readSettingTriple(handle, block, protocol::settingItem::ColorSensorDacs, out.dacs);
    out.colorRead = driver::readSensorTriple(handle, block, item::ColorSensor, cmd::sensor::Read, out.color);
    return out;
}

std::string dacResultText(const protocol::ColorTriple& dacs)
{
    return tripleWith("Calibrated DAC value %u,%u,%u", dacs);
}

std::string colorResultText(const protocol::ColorTriple& rgb)
{
    return tripleWith("Calibrated RGB Value %u,%u,%u", rgb);
}

} // namespace pellam::sensors
