#include "platform/DeviceChange.h"

#include <algorithm>

namespace platform {

namespace detail {

struct DeviceChangeEntry {
    // Held while the handler runs, so that unsubscribing from another thread
    // waits for a call in progress; recursive so that the handler may
    // unsubscribe itself.
    std::recursive_mutex call;
    bool active = true;                // guarded by call
    int depth = 0;                     // calls in progress (all on the thread holding call)
    DeviceChangeHandler handler;       // guarded by call
};

struct DeviceChangeList {
    mutable std::mutex mutex;
    std::vector<std::shared_ptr<DeviceChangeEntry>> entries;
};

} // namespace detail

namespace {

void put32(std::vector<uint8_t>& r, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        r[at + i] = uint8_t(v >> (8 * i));
}

std::vector<uint8_t> header(uint32_t type, size_t total)
{
    std::vector<uint8_t> r(total, 0);
    put32(r, 0, uint32_t(total));
    put32(r, 4, type);
    return r;
}

} // namespace

std::vector<uint8_t> portRecord(std::u16string_view name)
{
    std::vector<uint8_t> r = header(DBT_DEVTYP_PORT, kDeviceRecordHeaderBytes + 2 * (name.size() + 1));
    size_t at = kDeviceRecordHeaderBytes;
    for (char16_t c : name) {
        r[at++] = uint8_t(c);
        r[at++] = uint8_t(c >> 8);
    }
    return r; // the NUL is already there
}

std::vector<uint8_t> volumeRecord(uint32_t unitMask, uint16_t flags)
{
    // 18 bytes of fields, padded to 20 as the platform's structure is.
    std::vector<uint8_t> r = header(DBT_DEVTYP_VOLUME, 20);
    put32(r, 12, unitMask);
    r[16] = uint8_t(flags);
    r[17] = uint8_t(flags >> 8);
    return r;
}

std::vector<uint8_t> oemRecord(uint32_t identifier, uint32_t supportedFunctions)
{
    std::vector<uint8_t> r = header(DBT_DEVTYP_OEM, 20);
    put32(r, 12, identifier);
    put32(r, 16, supportedFunctions);
    return r;
}

DeviceChangeSubscription::DeviceChangeSubscription(DeviceChangeSubscription&& o) noexcept
    : m_list(std::move(o.m_list)), m_entry(std::move(o.m_entry))
{
}

DeviceChangeSubscription& DeviceChangeSubscription::operator=(DeviceChangeSubscription&& o) noexcept
{
    if (this != &o) {
        unsubscribe();
        m_list = std::move(o.m_list);
        m_entry = std::move(o.m_entry);
    }
    return *this;
}

void DeviceChangeSubscription::unsubscribe()
{
    std::shared_ptr<detail::DeviceChangeEntry> entry = std::move(m_entry);
    if (!entry)
        return;
    {
        std::lock_guard<std::recursive_mutex> lock(entry->call);
        entry->active = false;
        // Inside its own handler the function is still running: it goes with
        // the entry once the delivery lets go of it.
        if (entry->depth == 0)
            entry->handler = nullptr;
    }
    if (auto list = m_list.lock()) {
        std::lock_guard<std::mutex> lock(list->mutex);
        auto& v = list->entries;
        v.erase(std::remove(v.begin(), v.end(), entry), v.end());
    }
    m_list.reset();
}

DeviceChangeHub::DeviceChangeHub() : m_list(std::make_shared<detail::DeviceChangeList>()) {}

DeviceChangeHub::~DeviceChangeHub() = default;

DeviceChangeSubscription DeviceChangeHub::subscribe(DeviceChangeHandler handler)
{
    auto entry = std::make_shared<detail::DeviceChangeEntry>();
    entry->handler = std::move(handler);
    {
        std::lock_guard<std::mutex> lock(m_list->mutex);
        m_list->entries.push_back(entry);
    }
    return DeviceChangeSubscription(m_list, entry);
}

void DeviceChangeHub::publish(const DeviceChange& change)
{
    std::vector<std::shared_ptr<detail::DeviceChangeEntry>> entries;
    {
        std::lock_guard<std::mutex> lock(m_list->mutex);
        entries = m_list->entries;
    }
    for (const auto& e : entries) {
        std::lock_guard<std::recursive_mutex> lock(e->call);
        if (!e->active || !e->handler)
            continue;
        ++e->depth;
        try {
            e->handler(change);
        } catch (...) {
            // A subscriber's fault must not stop the source's thread nor
            // keep the notification from the others.
        }
        --e->depth;
    }
}

size_t DeviceChangeHub::subscriberCount() const
{
    std::lock_guard<std::mutex> lock(m_list->mutex);
    return m_list->entries.size();
}

DeviceChangeHub& deviceChanges()
{
    static DeviceChangeHub hub;
    return hub;
}

} // namespace platform
