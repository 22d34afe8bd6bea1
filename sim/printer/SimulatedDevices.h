#pragma once
// The composition root's one call: reads the simulator configuration (file
// below the device root, then DIAG_SIM_* variables) and registers the
// simulated printer as PRN1: and keyboard as KBD1:, each unless configured
// absent. Both share one state file.
#include <memory>

#include "sim/keyboard/SimulatedKeyboard.h"
#include "sim/printer/SimConfig.h"
#include "sim/printer/SimulatedPrinter.h"

namespace sim {

struct SimulatedDevices {
    std::shared_ptr<SimulatedPrinter> printer;   // null when absent
    std::shared_ptr<SimulatedKeyboard> keyboard; // null when absent
    std::shared_ptr<StateStore> state;
};

SimulatedDevices registerSimulatedDevices();
SimulatedDevices registerSimulatedDevices(const SimConfig& config);
// Unregisters PRN1: and KBD1: and saves the state.
void unregisterSimulatedDevices(SimulatedDevices& devices);

constexpr const char16_t* kPrinterName = u"PRN1:";
constexpr const char16_t* kKeyboardName = u"KBD1:";

} // namespace sim
