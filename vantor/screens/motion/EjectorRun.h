#pragma once
// The ejector test without widgets: its checks, the move record a run sends
// (target 4, command 7) and one cycle's request, line and revolution count.
#include <cstdint>
#include <functional>
#include <QString>

#include "protocol/DriverRecord.h"
#include "protocol/EjectorMoveParams.h"
#include "vantor/framework/TestDefinition.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::motion {

// "%d. Run %d rev (actual run %d rev) - OK" / "- FAIL".
QString EjectorLine(int cycle, int32_t asked, int32_t counted, bool ok);

// A ramp-up choice must name an existing file that holds a value (the run
// speed is its last entry). The pulses go to the driver as read.
QString CheckEjector(const CEjectorSettings& values);

class EjectorRun : public TestRun {
public:
    explicit EjectorRun(DriverRef driver) : m_driver(std::move(driver)) {}

    // The record as RUN builds it: reset, speed and ramps, then the fields
    // of the dialog. False when a ramp-up choice gave no run speed or the
    // pulses left for the constant phase are out of range (`why` says which).
    bool build(const CEjectorSettings& values, QString& why);

    // Called on the worker after each cycle's line with the revolutions
    // counted (message 1131: "Total Rev:" grows by it).
    void onRevolutions(std::function<void(int32_t)> report) { m_report = std::move(report); }

    void cycle(int cycle, int totalCycles, RunSink& sink) override;

    const protocol::DriverRecord<protocol::EjectorMoveParams>& move() const { return m_move; }

private:
    DriverRef m_driver;
    protocol::DriverRecord<protocol::EjectorMoveParams> m_move;
    std::function<void(int32_t)> m_report;
};

PreparedRun PrepareEjector(const CEjectorSettings& values, const DriverRef& driver);

// Checks the box and the profile; the total is not checked ("Boxes are
// not validated" holds for "Total Cycle:").
extern const TestDefinition<CEjectorSettings> kEjectorTest;

} // namespace vantor::motion
