#pragma once
// The pending-step queues of the fiducial dialog and of the emitter
// calibration, without widgets. The user-interface thread appends steps; the
// worker takes one step from the head at each time-out of its wait and
// reports through callbacks (never the dialog). Queue and values are locked:
// the dialog reads the values while the worker fills them.
#include <QString>
#include <deque>
#include <functional>
#include <initializer_list>
#include <mutex>

#include "vantor/framework/TestRun.h"
#include "vantor/screens/fiducial/FiducialRun.h"

namespace vantor::fiducial {

// Steps of the fiducial dialog.
enum FiducialStep : int {
    kStepWriteDacs = 1,    // write the three emitter DAC values
    kStepReadDacs = 2,     // read them back
    kStepReadDetector = 3, // read the detector
};

class FiducialSteps {
public:
    struct Reports {
        std::function<void(QString)> post;  // a result line, posted
        std::function<void(QString)> send;  // a result line, sent (the worker waits)
        std::function<void()> valuesRead;   // refresh the controls (WM_USER+103)
        std::function<void()> busyEnded;    // refresh, enable the buttons (WM_USER+104)
    };

    FiducialSteps(DriverRef driver, Reports reports);

    // --- user-interface thread
    // PRN1: once the dialog has opened it (before the first step is taken).
    void setDriver(DriverRef driver);
    void queue(std::initializer_list<int> steps);
    // The values step 1 writes (the "DAC:" boxes after a calibration).
    void setDacValues(const ColorBytes& values);
    ColorBytes dacValues() const;
    ColorBytes detector() const;
    // A step is queued or in progress.
    bool busy() const;

    // --- worker: one step at a time-out; false when none was pending.
    bool takeStep();

private:
    DriverRef driver() const;
    void writeDacs();
    void readDacs();
    void readDetector();

    Reports m_reports;
    mutable std::mutex m_lock; // driver, queue, in-step flag, values
    DriverRef m_driver;
    std::deque<int> m_queue;
    bool m_inStep = false;
    ColorBytes m_dac{};
    ColorBytes m_detector{};
};

// Steps of the emitter calibration.
enum CalibrationStep : int {
    kStepWriteEmitter = 0, // the value to the chosen colour, 0 to the other two
    kStepReadColor = 1,    // the detector; only the chosen colour's byte is kept
};

class CalibrationSteps {
public:
    CalibrationSteps(DriverRef driver, ColorBytes detector, std::function<void()> busyEnded);

    // "Read": queues steps 0 and 1 for `color` with `value`.
    void read(int color, uint8_t value);
    ColorBytes detector() const;
    bool busy() const;

    bool takeStep();

private:
    DriverRef m_driver;
    std::function<void()> m_busyEnded;
    mutable std::mutex m_lock;
    std::deque<int> m_queue;
    bool m_inStep = false;
    int m_color = 0;
    uint8_t m_value = 0;
    ColorBytes m_detector{};
};

} // namespace vantor::fiducial
