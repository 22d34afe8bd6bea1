#pragma once
// The host's own device-change notifications: USB devices plugged into this
// machine, watched through udev's hot-plug events where the program was
// built with libudev. Each arrival or removal of a USB device is published
// as a port record carrying the device's name, so a real stick shows what
// it is called.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "platform/DeviceChange.h"

namespace platform {

// udev's properties of one event, by name.
using HotplugProperties = std::map<std::string, std::string, std::less<>>;

// The name to show for a USB device: the vendor and model strings the device
// reports (udev's *_ENC values, escapes decoded), else the hardware
// database's, else the plain ones ('_' for blanks), else the product ids,
// else the device node. Empty when there is none of these.
QString hotplugDeviceName(const HotplugProperties& properties);

// The notification for one udev event: "add" of a USB device is an arrival,
// "remove" a completed removal, each with a port record of the device's name.
// Anything else (interfaces, other subsystems, "change", "bind") gives none.
std::optional<DeviceChange> hotplugChange(std::string_view action, const HotplugProperties& properties);

// Watches the host's hot-plug events on a thread of its own and publishes
// them into a hub until destroyed (which joins the thread).
class HostDeviceChanges {
public:
    virtual ~HostDeviceChanges() = default;

    // Null when the program was built without libudev or udev cannot be
    // watched here; `why` then says which.
    static std::unique_ptr<HostDeviceChanges> start(DeviceChangeHub& hub, QString* why = nullptr);
    static bool built(); // the program was built with libudev
};

} // namespace platform
