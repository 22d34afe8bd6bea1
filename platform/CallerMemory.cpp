#include "CallerMemory.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <mutex>

namespace platform {

struct CallerMemory::Impl {
    struct Range {
        uint8_t* data;
        size_t length;
    };
    mutable std::mutex mutex;
    std::map<CallerAddress, Range> ranges; // by base address
    uint64_t next = kFirst;

    static constexpr uint64_t kFirst = 0x00100000;
    static constexpr uint64_t kLimit = 0xFFFF0000;
    static constexpr uint64_t kGap = 0x1000; // keeps neighbours from touching

    // Finds room for `length` bytes at or after `from`; 0 when there is none.
    uint64_t findRoom(uint64_t from, uint64_t length) const
    {
        uint64_t candidate = from;
        auto it = ranges.upper_bound(CallerAddress(std::min<uint64_t>(candidate, kLimit)));
        if (it != ranges.begin()) {
            auto prev = std::prev(it);
            const uint64_t prevEnd = uint64_t(prev->first) + prev->second.length + kGap;
            if (prevEnd > candidate)
                candidate = prevEnd;
        }
        for (; it != ranges.end(); ++it) {
            if (candidate + length + kGap <= it->first)
                break;
            candidate = uint64_t(it->first) + it->second.length + kGap;
        }
        candidate = (candidate + 15) & ~uint64_t(15);
        if (candidate + length > kLimit)
            return 0;
        return candidate;
    }
};

CallerMemory& CallerMemory::instance()
{
    static CallerMemory m;
    return m;
}

CallerMemory::Impl& CallerMemory::impl() const
{
    static Impl i;
    return i;
}

CallerAddress CallerMemory::map(void* data, size_t length)
{
    Impl& m = impl();
    std::lock_guard<std::mutex> lock(m.mutex);
    const uint64_t len = length ? length : 1;
    // Addresses are handed out in rising order and only reused after the
    // space wraps, so a stale address rarely finds a new buffer.
    uint64_t at = m.findRoom(m.next, len);
    if (!at)
        at = m.findRoom(Impl::kFirst, len);
    if (!at)
        return 0;
    m.ranges[CallerAddress(at)] = {static_cast<uint8_t*>(data), length};
    m.next = at + len + Impl::kGap;
    return CallerAddress(at);
}

void CallerMemory::unmap(CallerAddress address)
{
    Impl& m = impl();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.ranges.erase(address);
}

uint8_t* CallerMemory::resolve(CallerAddress address, size_t length) const
{
    Impl& m = impl();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (address == 0)
        return nullptr;
    auto it = m.ranges.upper_bound(address);
    if (it == m.ranges.begin())
        return nullptr;
    --it;
    const uint64_t offset = uint64_t(address) - it->first;
    // Written so that a huge length cannot wrap the sum.
    if (offset > it->second.length || length > it->second.length - offset)
        return nullptr;
    return it->second.data + offset;
}

size_t CallerMemory::mappedCount() const
{
    Impl& m = impl();
    std::lock_guard<std::mutex> lock(m.mutex);
    return m.ranges.size();
}

CallerBuffer::CallerBuffer(size_t bytes) : m_bytes(new uint8_t[bytes ? bytes : 1]()), m_size(bytes)
{
    m_address = CallerMemory::instance().map(m_bytes.get(), m_size);
}

CallerBuffer::~CallerBuffer() { reset(); }

CallerBuffer::CallerBuffer(CallerBuffer&& o) noexcept
    : m_bytes(std::move(o.m_bytes)), m_size(o.m_size), m_address(o.m_address)
{
    o.m_size = 0;
    o.m_address = 0;
}

CallerBuffer& CallerBuffer::operator=(CallerBuffer&& o) noexcept
{
    if (this != &o) {
        reset();
        m_bytes = std::move(o.m_bytes);
        m_size = o.m_size;
        m_address = o.m_address;
        o.m_size = 0;
        o.m_address = 0;
    }
    return *this;
}

void CallerBuffer::reset()
{
    if (m_address)
        CallerMemory::instance().unmap(m_address);
    m_address = 0;
    m_bytes.reset();
    m_size = 0;
}

} // namespace platform
