#pragma once
// The state a unit leaves the factory with: counters at zero, its encoder
// ratios, sensor levels, converter settings, PEB and cut-force values, head
// resistor value and cartridge images, each varying a little from unit to
// unit with the seed.
#include <cstdint>
#include <map>
#include <QByteArray>
#include <QString>

namespace sim {

void factoryMachineState(uint64_t seed, std::map<QString, QString>& values);

// This unit's true PEB distance of an item (what a calibration measures,
// before its noise), near the service program's defaults.
int32_t pebUnitValue(uint64_t seed, uint32_t item);

// The images on the TagChips of the cartridges the unit ships with.
QByteArray factoryTapeTagChipImage();
QByteArray factoryRibbonTagChipImage();

// Keys of per-item values.
inline QString itemKey(const char* prefix, uint32_t item) { return QLatin1String(prefix) + QString::number(item); }

} // namespace sim
