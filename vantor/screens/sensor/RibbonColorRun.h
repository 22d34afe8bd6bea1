#pragma once
// The ribbon colour test without widgets: its checks, the measuring record a
// run sends (target 36, command 28) and the sequence of runs ("Run:" n gives
// n + 1 runs of "Total Cycle:" cycles, each with its own log file), and the
// colour sensor's readings and calibration that the screen queues between
// runs.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/CallerMemory.h"
#include "protocol/DriverRecord.h"
#include "protocol/RibbonColorParams.h"
#include "protocol/SensorItems.h"
#include "vantor/framework/TestDefinition.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::sensor {

// "%s%d.txt": the log of run `run` (from 0).
QString RibbonColorLogName(const QString& prefix, int run);
// "%d. Run Ribbon Color - OK " and "%d. log file is save.", or
// "%d. Run Ribbon Color - FAIL".
QStringList RibbonColorLines(int cycle, bool ok);
// "Run:" as a count of further runs, read as the program reads a number:
// its leading digits (after blanks and a sign); text without digits, and a
// count below 0, make 0 (one run).
int RibbonColorRunCount(const QString& text);
// The seven header lines ("Unit#: " ... "Detector#: ").
QStringList RibbonColorHeader(const CRibbonColorSettings& values);

// A ramp-up choice names an existing file holding a value, and the runs of
// "Run:", times "Total Cycle:", stay a count a worker holds. Every other value
// goes to the driver as read.
QString CheckRibbonColor(const CRibbonColorSettings& values);

class RibbonColorRun : public TestRun {
public:
    explicit RibbonColorRun(DriverRef driver) : m_driver(std::move(driver)) {}

    // The record as RUN builds it: reset, speed and ramp, the sensor values
    // and the text addresses. False when the values cannot make a cycle
    // (`why` says which).
    bool build(const CRibbonColorSettings& values, QString& why);

    QStringList headerLines() const override { return m_header; }
    int cyclesFor(int totalCycles) override;
    bool pausesAfter(int cycle) const override;
    void cycle(int cycle, int totalCycles, RunSink& sink) override;

    const protocol::DriverRecord<protocol::RibbonColorParams>& record() const { return m_record; }
    int runs() const { return m_runs; }

private:
    void setLogName(int run);

    DriverRef m_driver;
    protocol::DriverRecord<protocol::RibbonColorParams> m_record;
    QString m_prefix;
    QStringList m_header;
    int m_runs = 0;                        // "Run:": the runs after the first
    int m_perRun = 1;                      // "Total Cycle:", at least 1
    platform::CallerBuffer* m_logName = nullptr; // owned by m_record
};

PreparedRun PrepareRibbonColor(const CRibbonColorSettings& values, const DriverRef& driver);

// Checks its own values; "Total Cycle:" 0 runs one cycle per run.
extern const TestDefinition<CRibbonColorSettings> kRibbonColorTest;

// The colour sensor's queued steps, carried out by the test's worker one per
// idle time-out (never during a run).
namespace colorStep {
constexpr int Calibrate = 0; // media and colour sensors; nothing reported
constexpr int ReadDacs = 1;  // "Calibration:%d,%d,%d"
constexpr int ReadColor = 2; // "SensorRead:%d,%d,%d"
} // namespace colorStep

class RibbonColorReadings {
public:
    // Called on the worker after a reading step with the step and its bytes
    // (zeros when the request failed).
    using Report = std::function<void(int step, protocol::ColorTriple rgb)>;
    RibbonColorReadings(DriverRef driver, Report report) : m_driver(std::move(driver)), m_report(std::move(report)) {}

    // User-interface thread.
    void queue(std::initializer_list<int> steps);
    bool pending() const;
    // Worker: carries out the oldest queued step, if any; its line goes to
    // the sink. False when none was queued.
    bool runOne(RunSink& sink);

private:
    void calibrate();
    protocol::ColorTriple read(uint32_t code, uint32_t target, uint32_t command);

    DriverRef m_driver;
    Report m_report;
    mutable std::mutex m_lock;
    std::deque<int> m_steps; // guarded by m_lock
};

} // namespace vantor::sensor
