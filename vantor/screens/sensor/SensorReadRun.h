#pragma once
// The sensor read test without widgets: the pending-step queue, the steps
// (read the analogue DAC settings, read the 18 sensors, the two calibration
// steps with their operator prompts, write a DAC setting) and the values the
// dialog shows. The user-interface thread starts work; the worker takes one
// step per wake-up. Queue and values are locked: the dialog reads them while
// the worker fills them.
#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/CallerMemory.h"
#include "protocol/CommandBlock.h"
#include "protocol/RequestCodes.h"
#include "protocol/SensorItems.h"
#include "vantor/framework/TestRun.h"

namespace vantor::sensor {

constexpr int kSensorRows = 18;
constexpr int kStateRows = 16;
constexpr int kAnalogRows = 4;

// Commands of the sensor dialog.
constexpr uint32_t kSensorReadCommand = protocol::cmd::sensor::Read;
constexpr uint32_t kReadSettingCommand = protocol::cmd::reg::ReadSetting;
constexpr uint32_t kCalibrateLinerCommand = protocol::cmd::sensor::CalibrateLiner;
constexpr uint32_t kCalibrateMediaCommand = protocol::cmd::sensor::CalibrateMedia;
constexpr uint32_t kWriteSettingCommand = protocol::cmd::reg::WriteSetting;

// Pending steps.
enum SensorStep : int {
    kStepReadDacSettings = 0,
    kStepReadSensors = 1,
    kStepCalibrateLiner = 2,
    kStepCalibrateMedia = 3,
    kStepWriteDac = 5,
};

struct SensorRowText {
    const char* label;
    const char* state0; // first radio
    const char* state1; // second radio
};
// Labels of the 18 rows (the two temperatures have no state texts).
extern const SensorRowText kSensorRowTexts[kSensorRows];
extern const char* const kAnalogLabels[kAnalogRows];

inline const QString kLinerPrompt =
    QStringLiteral("Please put a L5190 liner in.\nWhen you are done, press OK to continue.");
// The prompt of calibration step two of analogue row `row`.
QString CalibrationPrompt(int row);

struct SensorValues {
    std::array<int32_t, kStateRows> states{}; // -1 unknown
    std::array<double, 2> temperatures{};    // thermistor, room; -1 unknown
    std::array<uint8_t, kAnalogRows> dacSettings{};
    bool roomTempRead = false; // "Room Temp" shows "-" until its first reading
};

class SensorReadRun {
public:
    // Asks the operator (OK only) and returns the answer; IDOK goes on.
    using Prompt = std::function<int(const QString&)>;
    // Called on the worker after a step that changed what is shown.
    using Notify = std::function<void()>;

    SensorReadRun(DriverRef driver, Prompt prompt, Notify notify);

    // --- user-interface thread: each start removes the pending steps first.
    // The caller then sets the run event.
    void startRead();
    void startCalibrate(int row);
    void startWriteDac(int row, int32_t value);
    void stop(); // continuous reading off; pending steps stay
    bool continuous() const { return m_continuous.load(); }
    // A step is queued or in progress.
    bool busy() const;
    SensorValues values() const;
    int selectedRow() const;

    // --- worker: one wake-up with the run event set. Returns the pause that
    // follows the step in ms, or -1 when nothing was pending (the run event
    // is then reset through `resetRun`, under the queue's lock, so a start
    // that queues at the same moment is never lost).
    int step(const std::function<void()>& resetRun);

private:
    void readDacSettings();
    void readSensors();
    void calibrate(uint32_t command, const QString& prompt);
    void writeDac();
    void setUnknown();

    DriverRef m_driver;
    Prompt m_prompt;
    Notify m_notify;
    protocol::CommandBlock m_block;
    platform::CallerRecord<int32_t> m_writeWord; // Param of the DAC setting write
    int32_t m_scratch = 0;                      // calibration results (not shown)

    mutable std::mutex m_lock; // queue, selection, write value, values, in-step flag
    std::deque<int> m_queue;
    bool m_inStep = false;
    int m_row = 0;
    int32_t m_writeValue = 0;
    SensorValues m_values;
    std::atomic<bool> m_continuous{false};
};

} // namespace vantor::sensor
