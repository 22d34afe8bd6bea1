#pragma once
// The simulated printer driver behind PRN1:. It accepts exactly the request
// codes, input lengths, targets and output lengths of the driver contract,
// reads and writes records only through CallerMemory, runs one module per
// mechanism, takes simulated time (scaled, through the injectable clock),
// keeps what a printer keeps in the state file, captures every print in the
// spool folder and injects the configured faults. A refused request says
// why in the trace and on standard error.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/Device.h"
#include "sim/printer/FaultInjector.h"
#include "sim/printer/Machine.h"
#include "sim/printer/SimConfig.h"
#include "sim/printer/StateStore.h"

namespace sim {

class SimulatedPrinter final : public platform::Device {
public:
    // The state store may be shared with the keyboard; it is loaded already.
    SimulatedPrinter(const SimConfig& config, std::shared_ptr<StateStore> state);
    ~SimulatedPrinter() override;

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* bytesReturned) override;
    bool write(const void* data, uint32_t len, uint32_t* written) override;

    // Test and demo controls; values are kept within the bounds of SimConfig.
    void setTimeScale(double scale);
    void setMaxRequestMs(int64_t ms);
    FaultInjector& faults() { return *m_faults; }
    std::shared_ptr<FaultInjector> sharedFaults() const { return m_faults; }
    StateStore& state() { return *m_state; }
    // The configuration's warnings, noted in the trace by the first request.
    std::shared_ptr<ConfigWarnings> sharedConfigWarnings() const { return m_configWarnings; }

    // What the last request did (for tests and the trace).
    struct LastRequest {
        bool ok = false;
        bool injectedFault = false;
        double machineMs = 0;   // before scaling
        int64_t sleptMs = 0;    // scaled time plus latency
        QString refusal;
    };
    LastRequest lastRequest() const;

    // Whether a request (a command of the engineering family, or a code of
    // the user family) is simulated.
    static bool isBuilt(uint32_t code, uint32_t command);
    // Names every request code of the contract for the trace.
    static void nameRequests();

private:
    mutable std::mutex m_mutex; // one request at a time inside the machine
    std::shared_ptr<StateStore> m_state;
    std::shared_ptr<FaultInjector> m_faults;
    std::shared_ptr<ConfigWarnings> m_configWarnings;
    Machine m_machine;
    std::atomic<double> m_timeScale;
    std::atomic<int64_t> m_maxRequestMs;
    LastRequest m_last;
};

// Says a refusal on standard error (a run of the same one once, counted).
void reportRefusal(const QString& text);

} // namespace sim
