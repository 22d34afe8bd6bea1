#pragma once
// The end cutter test without widgets: its checks, the cycle record
// (EndCutterParams with its result word in caller memory) and a run: load
// the print head before the first cycle, one cut per cycle (target 5,
// command 9), unload after the last cycle or the one during which "Stop"
// was pressed.
#include <atomic>
#include <cstdint>
#include <memory>
#include <QString>

#include "platform/CallerMemory.h"
#include "protocol/DriverRecord.h"
#include "protocol/EndCutterParams.h"
#include "vantor/framework/TestDefinition.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::motion {

// The stop flag of a run: cleared by RUN (each run has its own), set by
// "Stop", read by the worker after each cycle request.
using StopFlag = std::shared_ptr<std::atomic<bool>>;


class EndCutterRun : public TestRun {
public:
    explicit EndCutterRun(DriverRef driver);

    // Reset, then the values of the dialog; a new result word.
    void build(const CEndCutterSettings& values);

    const StopFlag& stopFlag() const { return m_stop; }
    void cycle(int cycle, int totalCycles, RunSink& sink) override;

    const protocol::DriverRecord<protocol::EndCutterParams>& params() const { return m_params; }
    int32_t resultWord() const { return (*m_result)[0]; }

private:
    DriverRef m_driver;
    protocol::DriverRecord<protocol::EndCutterParams> m_params;
    platform::CallerTable<int32_t>* m_result = nullptr; // owned by m_params
    StopFlag m_stop = std::make_shared<std::atomic<bool>>(false);
};

PreparedRun PrepareEndCutter(const CEndCutterSettings& values, const DriverRef& driver);

extern const TestDefinition<CEndCutterSettings> kEndCutterTest;

} // namespace vantor::motion
