#pragma once
// The simulated USB port: a device plugged in and removed again, published as
// the platform's device-change notifications. Plugs come from a test (plug(),
// remove()) or from the [Usb] section of \Simulator\simulator.ini and the
// DIAG_SIM_USB_* variables (which win): a device plugged some time after the
// start, removed some time after the plug, and again and again if asked.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <QString>
#include <QStringList>

#include "platform/DeviceChange.h"

namespace sim {

constexpr int64_t kMaxUsbDelayMs = 24LL * 3600 * 1000; // a day

struct UsbDevice {
    QString name = QStringLiteral("Simulated USB Stick");
    // The record's device type: 3 a port record with the name, 2 a volume
    // record (unit mask of `unitMask`), 0 an OEM record.
    uint32_t type = platform::DBT_DEVTYP_PORT;
    uint32_t unitMask = 1u << 4; // a volume's drive bits (E:)

    // The record as the platform lays it out for this device.
    std::vector<uint8_t> record() const;
};

struct UsbConfig {
    UsbDevice device;
    std::optional<int64_t> plugAfterMs;   // after the start; none: never
    std::optional<int64_t> removeAfterMs; // after the plug; none: stays in
    bool repeat = false;                  // plug again plugAfterMs after each removal
    QStringList warnings;

    // Defaults, then the file below the device root, then the environment.
    static UsbConfig fromEnvironment();
    void applyFile(const QString& hostPath);
    void applyEnvironment();
    // One key of the [Usb] section (case ignored); false when not understood.
    bool apply(const QString& key, const QString& value);
};

class SimulatedUsb {
public:
    explicit SimulatedUsb(platform::DeviceChangeHub& hub);
    ~SimulatedUsb(); // ends the schedule (a device still in stays in: no removal is published)
    SimulatedUsb(const SimulatedUsb&) = delete;
    SimulatedUsb& operator=(const SimulatedUsb&) = delete;

    // Publishes an arrival; false (and nothing published) when a device is in.
    bool plug(const UsbDevice& device);
    // Publishes the completed removal of the device that is in; false when none is.
    bool remove();
    bool pluggedIn() const;

    // Runs the configured plugs and removals on a thread of its own, timed on
    // the clock in force. Nothing when the configuration plugs nothing.
    void start(const UsbConfig& config);
    // Ends the schedule and waits for its thread.
    void stop();

private:
    struct Schedule;
    platform::DeviceChangeHub& m_hub;
    mutable std::mutex m_mutex;
    std::optional<UsbDevice> m_in; // guarded by m_mutex
    std::unique_ptr<Schedule> m_schedule;
};

} // namespace sim
