#pragma once
// The user program's sensor and register readings. A reading lands in the
// caller's value only when the driver answers, so a failed one keeps what
// the screen showed before (the engineering program's list reader writes
// failure values instead, which is not what these screens do).
#include <cstdint>

#include "platform/Device.h"
#include "protocol/CommandBlock.h"
#include "protocol/SensorItems.h"

namespace pellam::driver {

// IOCTL_PRN_SENSOR_READ with the item as Target, Param 0.
bool readSensorState(platform::DeviceHandle& handle, protocol::CommandBlock& block, uint32_t item, uint32_t command,
                     uint32_t& state);
bool readSensorAnalog(platform::DeviceHandle& handle, protocol::CommandBlock& block, uint32_t item, double& value);
bool readSensorTriple(platform::DeviceHandle& handle, protocol::CommandBlock& block, uint32_t item, uint32_t command,
                      protocol::ColorTriple& triple);
// IOCTL_PRN_REGISTER, command 37: a sensor setting of three bytes.
bool readSettingTriple(platform::DeviceHandle& handle, protocol::CommandBlock& block, uint32_t item,
                       protocol::ColorTriple& triple);

} // namespace pellam::driver
