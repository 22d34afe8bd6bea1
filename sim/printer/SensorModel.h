#pragma once
// What the sensors see, shared by the sensor requests and the mechanisms
// that sample sensors (fiducial and ribbon colour runs, printing).
#include <cstdint>

#include "protocol/SensorItems.h"
#include "sim/printer/Machine.h"

namespace sim::sensors {

// A two-state sensor's state (a configured state wins).
int32_t state(const Machine& m, uint32_t item);
double headTemperature(Machine& m);
protocol::ColorTriple emitterDacs(const Machine& m);
protocol::ColorTriple colorDacs(const Machine& m);
// The colour of the ribbon panel at a position (from the ribbon TagChip).
protocol::ColorTriple ribbonPanelColor(const Machine& m, double positionMm);
// The colour sensor's reading of the ribbon at a position.
protocol::ColorTriple colorReading(Machine& m, double positionMm);
double tapeReflectance(const Machine& m);
// The fiducial detector over a surface of the given reflectance.
protocol::ColorTriple fiducialReading(Machine& m, double reflectance);

} // namespace sim::sensors
