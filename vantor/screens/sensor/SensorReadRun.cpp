#include "vantor/screens/sensor/SensorReadRun.h"

#include <vector>

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "ui/Messages.h"

namespace vantor::sensor {

using namespace protocol;

const SensorRowText kSensorRowTexts[kSensorRows] = {
    {"Door Sensor:", "Closed", "Open"},
    {"Cutter Rear Home:", "Unblocked", "Blocked"},
    {"Cutter Front Home:", "Unblocked", "Blocked"},
    {"Wiper:", "Disengaged", "Engaged"},
    {"Print Head Home:", "Unblocked", "Blocked"},
    {"Ejector Home:", "Blocked", "Unblocked"},
    {"Center Notch (Downstream):", "Unblocked", "Blocked"},
    {"Center Notch (Upstream):", "Unblocked", "Blocked"},
    {"Gap (Downstream):", "Unblocked", "Blocked"},
    {"Gap (Upstream):", "Unblocked", "Blocked"},
    {"Media Present:", "Unblocked", "Blocked"},
    {"XY Pinch Home:", "Unblocked", "Blocked"},
    {"XY Unpinch Home:", "Unblocked", "Blocked"},
    {"XY Cross Web Home:", "Unblocked", "Blocked"},
    {"Side Notch (Downstream):", "Unblocked", "Blocked"},
    {"Side Notch (Upstream):", "Unblocked", "Blocked"},
    {"Termistor  (\u00b0C):", nullptr, nullptr},
    {"Room Temp  (\u00b0C):", nullptr, nullptr},
};

const char* const kAnalogLabels[kAnalogRows] = {"Center Notch (Downstream):", "Center Notch (Upstream):",
                                                "Gap (Downstream):", "Gap (Upstream):"};

QString CalibrationPrompt(int row)
{
    return row < 2 ? QStringLiteral("Please put K7700 black ribbon.\nWhen you are done, press OK to continue.")
                   : QStringLiteral("Please put tape in.\nWhen you are done, press OK to continue.");
}

SensorReadRun::SensorReadRun(DriverRef driver, Prompt prompt, Notify notify)
    : m_driver(std::move(driver)), m_prompt(std::move(prompt)), m_notify(std::move(notify))
{
    setUnknown();
}

void SensorReadRun::setUnknown()
{
    m_values.states.fill(-1);
    m_values.temperatures.fill(-1.0);
}

void SensorReadRun::startRead()
{
    std::lock_guard lock(m_lock);
    m_queue.clear();
    m_continuous = true;
    m_queue = {kStepReadDacSettings, kStepReadSensors};
    setUnknown();
}

void SensorReadRun::startCalibrate(int row)
{
    std::lock_guard lock(m_lock);
    m_queue.clear();
    m_continuous = false;
    m_row = row >= 0 && row < kAnalogRows ? row : 0;
    m_queue = {kStepCalibrateLiner, kStepCalibrateMedia, kStepReadDacSettings, kStepReadSensors};
}

void SensorReadRun::startWriteDac(int row, int32_t value)
{
    std::lock_guard lock(m_lock);
    m_queue.clear();
    m_row = row >= 0 && row < kAnalogRows ? row : 0;
    m_writeValue = value;
    m_queue = {kStepWriteDac, kStepReadSensors};
}

void SensorReadRun::stop()
{
    m_continuous = false;
}

bool SensorReadRun::busy() const
{
    std::lock_guard lock(m_lock);
    return m_inStep || !m_queue.empty();
}

SensorValues SensorReadRun::values() const
{
    std::lock_guard lock(m_lock);
    return m_values;
}

int SensorReadRun::selectedRow() const
{
    std::lock_guard lock(m_lock);
    return m_row;
}

int SensorReadRun::step(const std::function<void()>& resetRun)
{
    int current;
    {
        std::lock_guard lock(m_lock);
        if (m_continuous && m_queue.size() < 2)
            m_queue.push_back(kStepReadSensors);
        if (m_queue.empty()) {
            // Nothing to do: rest until a start sets the run event again
            // instead of waking at once, over and over.
            if (resetRun)
                resetRun();
            return -1;
        }
        current = m_queue.front();
        m_queue.pop_front();
        m_inStep = true;
    }
    int pauseMs = 0;
    switch (current) {
    case kStepReadDacSettings:
        readDacSettings();
        pauseMs = 100;
        break;
    case kStepReadSensors:
        readSensors();
        pauseMs = 500;
        break;
    case kStepCalibrateLiner:
        calibrate(kCalibrateLinerCommand, kLinerPrompt);
        break;
    case kStepCalibrateMedia:
        calibrate(kCalibrateMediaCommand, CalibrationPrompt(selectedRow()));
        break;
    case kStepWriteDac:
        writeDac();
        pauseMs = 100;
        break;
    default:
        break;
    }
    {
        std::lock_guard lock(m_lock);
        m_inStep = false;
    }
    if (current != kStepCalibrateLiner && current != kStepCalibrateMedia && m_notify)
        m_notify();
    return pauseMs;
}

void SensorReadRun::readDacSettings()
{
    std::array<uint8_t, kAnalogRows> settings{};
    for (int row = 0; row < kAnalogRows; ++row) {
        uint32_t word = 0;
        if (sendCommand(*m_driver, IOCTL_PRN_REGISTER, m_block, kAnalogMediaSensors[row], kReadSettingCommand, 0,
                        &word, sizeof word))
            settings[size_t(row)] = uint8_t(word & 0xFFu); // the first byte
    }
    std::lock_guard lock(m_lock);
    m_values.dacSettings = settings;
}

void SensorReadRun::readSensors()
{
    std::array<int32_t, kStateRows> states{};
    std::array<double, 2> temperatures{};
    std::vector<ReadItem> items;
    for (int row = 0; row < kSensorRows; ++row) {
        const SensorTableItem& t = kSensorReadTable[row];
        void* value = row < kStateRows ? static_cast<void*>(&states[size_t(row)])
                                       : static_cast<void*>(&temperatures[size_t(row - kStateRows)]);
        items.push_back({t.target, readingSizeOfKind(t.kind), value, -1.0});
    }
    readItems(*m_driver, IOCTL_PRN_SENSOR_READ, m_block, kSensorReadCommand, items);
    std::lock_guard lock(m_lock);
    m_values.states = states;
    m_values.temperatures = temperatures;
    m_values.roomTempRead = true;
}

void SensorReadRun::calibrate(uint32_t command, const QString& prompt)
{
    // A box that did not answer OK (the dialog closing) sends nothing.
    if (m_prompt && m_prompt(prompt) != ui::IDOK)
        return;
    const uint32_t target = kAnalogMediaSensors[selectedRow()];
    sendCommand(*m_driver, IOCTL_PRN_SENSOR_READ, m_block, target, command, 0, &m_scratch, sizeof m_scratch);
}

void SensorReadRun::writeDac()
{
    int row;
    {
        std::lock_guard lock(m_lock);
        row = m_row;
        *m_writeWord = m_writeValue;
    }
    sendCommand(*m_driver, IOCTL_PRN_REGISTER, m_block, kAnalogMediaSensors[row], kWriteSettingCommand,
                m_writeWord.address());
}

} // namespace vantor::sensor
