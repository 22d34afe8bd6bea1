#pragma once
// Caller memory: the driver records carry 32-bit addresses, which cannot hold
// a host pointer. Live buffers are mapped to 32-bit caller addresses; a driver
// resolves an address together with the length it needs and gets null for
// anything unknown, released or out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace platform {

using CallerAddress = uint32_t;

class CallerMemory {
public:
    static CallerMemory& instance();

    // Maps [data, data+length) and returns its address (never 0).
    CallerAddress map(void* data, size_t length);
    void unmap(CallerAddress address);
    // The host bytes for [address, address+length), or null. An address may
    // point inside a mapped range.
    uint8_t* resolve(CallerAddress address, size_t length) const;
    size_t mappedCount() const;

private:
    CallerMemory() = default;
    struct Impl;
    Impl& impl() const;
};

// A zero-filled byte buffer mapped for its whole life.
class CallerBuffer {
public:
    CallerBuffer() = default;
    explicit CallerBuffer(size_t bytes);
    ~CallerBuffer();
    CallerBuffer(CallerBuffer&& o) noexcept;
    CallerBuffer& operator=(CallerBuffer&& o) noexcept;
    CallerBuffer(const CallerBuffer&) = delete;
    CallerBuffer& operator=(const CallerBuffer&) = delete;

    uint8_t* data() { return m_bytes.get(); }
    const uint8_t* data() const { return m_bytes.get(); }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    CallerAddress address() const { return m_address; }
    void reset(); // releases (address becomes 0)

private:
    std::unique_ptr<uint8_t[]> m_bytes;
    size_t m_size = 0;
    CallerAddress m_address = 0;
};

// A table of trivially copyable entries in caller memory.
template <class T>
class CallerTable {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    CallerTable() = default;
    explicit CallerTable(size_t count) : m_buf(count * sizeof(T)), m_count(count) {}
    T* data() { return reinterpret_cast<T*>(m_buf.data()); }
    const T* data() const { return reinterpret_cast<const T*>(m_buf.data()); }
    T& operator[](size_t i) { return data()[i]; }
    const T& operator[](size_t i) const { return data()[i]; }
    size_t count() const { return m_count; }
    bool empty() const { return m_count == 0; }
    CallerAddress address() const { return m_buf.address(); }
    void reset()
    {
        m_buf.reset();
        m_count = 0;
    }

private:
    CallerBuffer m_buf;
    size_t m_count = 0;
};

// A single record in caller memory.
template <class T>
class CallerRecord {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    CallerRecord() : m_buf(sizeof(T)) { new (m_buf.data()) T{}; }
    T& operator*() { return *get(); }
    T* operator->() { return get(); }
    T* get() { return reinterpret_cast<T*>(m_buf.data()); }
    const T* get() const { return reinterpret_cast<const T*>(m_buf.data()); }
    CallerAddress address() const { return m_buf.address(); }

private:
    CallerBuffer m_buf;
};

} // namespace platform
