#pragma once
// The device namespace: drivers register under a name ("PRN1:", "KBD1:") and
// programs open them by name and send I/O control requests and writes. A name
// nobody registered gives an invalid handle on which every request fails, as
// with a missing driver.
#include <cstdint>
#include <memory>
#include <string>
#include <QString>

namespace platform {

// CTL_CODE(DeviceType, Function, Method, Access)
constexpr uint32_t ctlCode(uint32_t deviceType, uint32_t function, uint32_t method, uint32_t access)
{
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}
constexpr uint32_t METHOD_BUFFERED = 0;
constexpr uint32_t FILE_ANY_ACCESS = 0;
constexpr uint32_t FILE_READ_ACCESS = 1;
constexpr uint32_t FILE_WRITE_ACCESS = 2;

constexpr uint32_t GENERIC_READ = 0x80000000u;
constexpr uint32_t GENERIC_WRITE = 0x40000000u;
constexpr uint32_t FILE_SHARE_READ = 1;
constexpr uint32_t FILE_SHARE_WRITE = 2;
constexpr uint32_t OPEN_EXISTING = 3;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

// A driver. Requests may come from several threads; a driver serialises what
// it must. It must never write more than outLen bytes into out.
class Device {
public:
    virtual ~Device() = default;
    virtual bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                           uint32_t* bytesReturned) = 0;
    virtual bool write(const void* data, uint32_t len, uint32_t* written)
    {
        (void)data;
        (void)len;
        if (written)
            *written = 0;
        return false;
    }
    virtual void opened() {}
    virtual void closed() {}
};

void registerDevice(const QString& name, std::shared_ptr<Device> device);
void unregisterDevice(const QString& name);
void unregisterAllDevices();

struct OpenFlags {
    uint32_t access = GENERIC_READ | GENERIC_WRITE;
    uint32_t share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    uint32_t creation = OPEN_EXISTING;
    uint32_t attributes = FILE_ATTRIBUTE_NORMAL;
};

// An open device handle. Moves, never copies; closes itself.
class DeviceHandle {
public:
    DeviceHandle() = default;
    DeviceHandle(DeviceHandle&& o) noexcept;
    DeviceHandle& operator=(DeviceHandle&& o) noexcept;
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;
    ~DeviceHandle();

    bool valid() const { return m_device != nullptr; }
    const QString& name() const { return m_name; }
    const OpenFlags& flags() const { return m_flags; }

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* bytesReturned = nullptr);
    bool write(const void* data, uint32_t len, uint32_t* written = nullptr);
    void close();

private:
    friend DeviceHandle openDevice(const QString&, const OpenFlags&);
    std::shared_ptr<Device> m_device;
    QString m_name;
    OpenFlags m_flags;
};

// Opens a registered device; an invalid handle when none answers to the name.
DeviceHandle openDevice(const QString& name, const OpenFlags& flags = {});

} // namespace platform
