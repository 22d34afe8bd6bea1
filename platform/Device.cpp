#include "Device.h"

#include <map>
#include <mutex>

#include "Trace.h"

namespace platform {

namespace {
struct Registry {
    std::mutex mutex;
    std::map<QString, std::shared_ptr<Device>> devices;
};
Registry& devices()
{
    static Registry r;
    return r;
}
QString key(const QString& name) { return name.toUpper(); }
} // namespace

void registerDevice(const QString& name, std::shared_ptr<Device> device)
{
    std::lock_guard<std::mutex> lock(devices().mutex);
    if (device)
        devices().devices[key(name)] = std::move(device);
    else
        devices().devices.erase(key(name));
}

void unregisterDevice(const QString& name)
{
    std::lock_guard<std::mutex> lock(devices().mutex);
    devices().devices.erase(key(name));
}

void unregisterAllDevices()
{
    std::lock_guard<std::mutex> lock(devices().mutex);
    devices().devices.clear();
}

DeviceHandle openDevice(const QString& name, const OpenFlags& flags)
{
    DeviceHandle h;
    h.m_name = name;
    h.m_flags = flags;
    {
        std::lock_guard<std::mutex> lock(devices().mutex);
        auto it = devices().devices.find(key(name));
        if (it != devices().devices.end())
            h.m_device = it->second;
    }
    if (h.m_device)
        h.m_device->opened();
    return h;
}

DeviceHandle::DeviceHandle(DeviceHandle&& o) noexcept
    : m_device(std::move(o.m_device)), m_name(std::move(o.m_name)), m_flags(o.m_flags)
{
}

DeviceHandle& DeviceHandle::operator=(DeviceHandle&& o) noexcept
{
    if (this != &o) {
        close();
        m_device = std::move(o.m_device);
        m_name = std::move(o.m_name);
        m_flags = o.m_flags;
    }
    return *this;
}

DeviceHandle::~DeviceHandle() { close(); }

void DeviceHandle::close()
{
    if (m_device) {
        m_device->closed();
        m_device.reset();
    }
}

bool DeviceHandle::ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                             uint32_t* bytesReturned)
{
    const bool tracing = trace::enabled();
    if (tracing)
        trace::beginRequest();
    bool ok = false;
    if (m_device) {
        // A driver gets a null buffer together with a zero length, never a
        // dangling one.
        ok = m_device->ioControl(code, inLen ? in : nullptr, in ? inLen : 0, outLen ? out : nullptr,
                                 out ? outLen : 0, bytesReturned);
    }
    if (tracing)
        trace::endRequest(m_name, "ioctl", code, in, in ? inLen : 0, out, out ? outLen : 0, ok, bytesReturned);
    return ok;
}

bool DeviceHandle::write(const void* data, uint32_t len, uint32_t* written)
{
    const bool tracing = trace::enabled();
    if (tracing)
        trace::beginRequest();
    bool ok = false;
    if (m_device)
        ok = m_device->write(data, data ? len : 0, written);
    else if (written)
        *written = 0;
    if (tracing)
        trace::endRequest(m_name, "write", 0, data, data ? len : 0, nullptr, 0, ok, written);
    return ok;
}

} // namespace platform
