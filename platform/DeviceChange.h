#pragma once
// The platform's device-change notifications (WM_DEVICECHANGE): an event code
// and the notification record exactly as the platform lays it out (a 12-byte
// header of size, device type and a reserved word, then the type's own
// fields). Sources (the simulated USB port, the host's hot-plug events)
// publish into a DeviceChangeHub; screens subscribe to a DeviceChangeSource.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>
#include <vector>

namespace platform {

// Event codes (wParam of WM_DEVICECHANGE).
constexpr uint32_t DBT_DEVICEARRIVAL = 0x8000;
constexpr uint32_t DBT_DEVICEQUERYREMOVE = 0x8001;
constexpr uint32_t DBT_DEVICEREMOVEPENDING = 0x8003;
constexpr uint32_t DBT_DEVICEREMOVECOMPLETE = 0x8004;
constexpr uint32_t DBT_DEVNODES_CHANGED = 0x0007;

// Device types (the 32-bit word at byte 4 of the record).
constexpr uint32_t DBT_DEVTYP_OEM = 0;    // identifier and supported functions at byte 12
constexpr uint32_t DBT_DEVTYP_VOLUME = 2; // unit mask at byte 12, flags at byte 16
constexpr uint32_t DBT_DEVTYP_PORT = 3;   // the port's name (UTF-16, NUL-ended) at byte 12

constexpr size_t kDeviceRecordHeaderBytes = 12;

struct DeviceChange {
    uint32_t event = 0;
    std::vector<uint8_t> record;
};

// Records as the platform lays them out (little-endian, size word filled in).
std::vector<uint8_t> portRecord(std::u16string_view name);
std::vector<uint8_t> volumeRecord(uint32_t unitMask, uint16_t flags);
std::vector<uint8_t> oemRecord(uint32_t identifier, uint32_t supportedFunctions);

// A handler runs on the thread of the source that publishes. It must return
// soon and must not wait for a thread that may unsubscribe it (post, do not
// send).
using DeviceChangeHandler = std::function<void(const DeviceChange&)>;

namespace detail {
struct DeviceChangeEntry;
struct DeviceChangeList;
} // namespace detail

// Ends a subscription when reset or destroyed. Once unsubscribe() returns,
// the handler is not running on any other thread and is never called again;
// called from inside the handler itself, it returns at once and the handler
// is not called again either.
class DeviceChangeSubscription {
public:
    DeviceChangeSubscription() = default;
    ~DeviceChangeSubscription() { unsubscribe(); }
    DeviceChangeSubscription(DeviceChangeSubscription&& o) noexcept;
    DeviceChangeSubscription& operator=(DeviceChangeSubscription&& o) noexcept;
    DeviceChangeSubscription(const DeviceChangeSubscription&) = delete;
    DeviceChangeSubscription& operator=(const DeviceChangeSubscription&) = delete;

    void unsubscribe();
    bool active() const { return m_entry != nullptr; }

private:
    friend class DeviceChangeHub;
    DeviceChangeSubscription(std::weak_ptr<detail::DeviceChangeList> list, std::shared_ptr<detail::DeviceChangeEntry> entry)
        : m_list(std::move(list)), m_entry(std::move(entry))
    {
    }
    std::weak_ptr<detail::DeviceChangeList> m_list;
    std::shared_ptr<detail::DeviceChangeEntry> m_entry;
};

// What a screen sees: notifications to subscribe to.
class DeviceChangeSource {
public:
    virtual ~DeviceChangeSource() = default;
    [[nodiscard]] virtual DeviceChangeSubscription subscribe(DeviceChangeHandler handler) = 0;
};

// Hands every published notification to every subscriber. Safe from any
// thread; a subscriber added during a delivery gets the next one.
class DeviceChangeHub final : public DeviceChangeSource {
public:
    DeviceChangeHub();
    ~DeviceChangeHub() override;
    DeviceChangeHub(const DeviceChangeHub&) = delete;
    DeviceChangeHub& operator=(const DeviceChangeHub&) = delete;

    [[nodiscard]] DeviceChangeSubscription subscribe(DeviceChangeHandler handler) override;
    void publish(const DeviceChange& change);
    void publish(uint32_t event, std::vector<uint8_t> record) { publish(DeviceChange{event, std::move(record)}); }
    size_t subscriberCount() const;

private:
    std::shared_ptr<detail::DeviceChangeList> m_list;
};

// The process's notifications: what the program's sources publish into and
// its screens subscribe to.
DeviceChangeHub& deviceChanges();

} // namespace platform
