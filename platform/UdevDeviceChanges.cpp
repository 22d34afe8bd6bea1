// The host source over libudev (built only when the library is found).
#include "platform/HostDeviceChanges.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

#include <libudev.h>

namespace platform {

namespace {

HotplugProperties propertiesOf(udev_device* device)
{
    HotplugProperties p;
    for (udev_list_entry* e = udev_device_get_properties_list_entry(device); e; e = udev_list_entry_get_next(e)) {
        const char* name = udev_list_entry_get_name(e);
        const char* value = udev_list_entry_get_value(e);
        if (name)
            p[name] = value ? value : "";
    }
    return p;
}

class UdevDeviceChanges final : public HostDeviceChanges {
public:
    UdevDeviceChanges(DeviceChangeHub& hub, udev* u, udev_monitor* monitor, int stopFd)
        : m_hub(hub), m_udev(u), m_monitor(monitor), m_stopFd(stopFd)
    {
        m_thread = std::thread([this] { run(); });
    }

    ~UdevDeviceChanges() override
    {
        const uint64_t one = 1;
        // The thread polls this descriptor too; a failed write leaves it to
        // the poll's time-out.
        [[maybe_unused]] ssize_t n = ::write(m_stopFd, &one, sizeof one);
        m_thread.join();
        udev_monitor_unref(m_monitor);
        udev_unref(m_udev);
        ::close(m_stopFd);
    }

private:
    void run()
    {
        const int fd = udev_monitor_get_fd(m_monitor);
        for (;;) {
            pollfd fds[2] = {{m_stopFd, POLLIN, 0}, {fd, POLLIN, 0}};
            const int n = ::poll(fds, 2, 1000);
            if (n < 0 && errno != EINTR)
                return;
            if (fds[0].revents)
                return;
            if (n <= 0 || !(fds[1].revents & POLLIN))
                continue;
            udev_device* device = udev_monitor_receive_device(m_monitor);
            if (!device)
                continue;
            const char* action = udev_device_get_action(device);
            if (auto change = hotplugChange(action ? action : "", propertiesOf(device)))
                m_hub.publish(*change);
            udev_device_unref(device);
        }
    }

    DeviceChangeHub& m_hub;
    udev* m_udev;
    udev_monitor* m_monitor;
    int m_stopFd;
    std::thread m_thread;
};

} // namespace

std::unique_ptr<HostDeviceChanges> HostDeviceChanges::start(DeviceChangeHub& hub, QString* why)
{
    auto fail = [why](const char* reason) -> std::unique_ptr<HostDeviceChanges> {
        if (why)
            *why = QString::fromLatin1(reason);
        return nullptr;
    };
    udev* u = udev_new();
    if (!u)
        return fail("udev is not available");
    udev_monitor* monitor = udev_monitor_new_from_netlink(u, "udev");
    if (!monitor) {
        udev_unref(u);
        return fail("udev's hot-plug events cannot be watched here");
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_device") < 0
        || udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        udev_unref(u);
        return fail("udev's hot-plug events cannot be watched here");
    }
    const int stopFd = ::eventfd(0, EFD_CLOEXEC);
    if (stopFd < 0) {
        udev_monitor_unref(monitor);
        udev_unref(u);
        return fail("no event descriptor for the hot-plug watch");
    }
    return std::make_unique<UdevDeviceChanges>(hub, u, monitor, stopFd);
}

bool HostDeviceChanges::built() { return true; }

} // namespace platform
