#include "SensorReads.h"

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"

namespace pellam::driver {

namespace {

template <class T>
bool readInto(platform::DeviceHandle& handle, uint32_t code, protocol::CommandBlock& block, uint32_t item,
              uint32_t command, T& value)
{
    T answer{};
    if (!protocol::sendCommand(handle, code, block, item, command, 0, &answer, sizeof answer))
        return false;
    value = answer;
    return true;
}

} // namespace

bool readSensorState(platform::DeviceHandle& handle, protocol::CommandBlock& block, uint32_t item, uint32_t command,
                     uint32_t& state)
{
    return readInto(handle, protocol::IOCTL_PRN_SENSOR_READ, block, item, command, state);
}

bool readSensorAnalog(platform::DeviceHandle& handle, protocol::CommandBlock& block, uint32_t item, double& value)
{
    return readInto(handle, protocol::IOCTL_PRN_SENSOR_READ, block, item, protocol::cmd::sensor::Read, value);
}

bool readSensorTriple(platform::DeviceHandle& handle, protocol::CommandBlock& block, uint32_t item, uint32_t command,
                      protocol::ColorTriple& triple)
{
    return readInto(handle, protocol::IOCTL_PRN_SENSOR_READ, block, item, command, triple);
}

bool readSettingTriple(platform::DeviceHandle& handle, protocol::CommandBlock& block, uint32_t item,
                       protocol::ColorTriple& triple)
{
    return readInto(handle, protocol::IOCTL_PRN_REGISTER, block, item, protocol::cmd::reg::ReadSetting, triple);
}

} // namespace pellam::driver
