#pragma once
// A command block followed by its move record, both in caller memory, plus
// the tables the record points to. The tables are freed when the record is
// reset or the owner goes away, so a record never points at freed memory
// while its owner can still send it.
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "platform/CallerMemory.h"
#include "protocol/CommandBlock.h"

namespace protocol {

// Owns the caller-memory tables of one record.
class RecordTables {
public:
    RecordTables() = default;
    RecordTables(RecordTables&&) noexcept = default;
    RecordTables& operator=(RecordTables&&) noexcept = default;

    // A new zero-filled table of `count` entries.
    template <class E>
    platform::CallerTable<E>& newTable(size_t count)
    {
        return adopt(platform::CallerTable<E>(count));
    }
    // Takes over a table (for instance one read by ReadRampProfile).
    template <class E>
    platform::CallerTable<E>& adopt(platform::CallerTable<E>&& table)
    {
        auto holder = std::make_unique<TableHolder<E>>(std::move(table));
        auto& ref = holder->table;
        m_tables.push_back(std::move(holder));
        return ref;
    }
    // A zero-filled byte buffer (path texts and the like).
    platform::CallerBuffer& newBuffer(size_t bytes)
    {
        auto holder = std::make_unique<BufferHolder>(bytes);
        auto& ref = holder->buffer;
        m_tables.push_back(std::move(holder));
        return ref;
    }
    void releaseTables() { m_tables.clear(); }
    size_t tableCount() const { return m_tables.size(); }

private:
    struct Holder {
        virtual ~Holder() = default;
    };
    template <class E>
    struct TableHolder final : Holder {
        explicit TableHolder(platform::CallerTable<E>&& t) : table(std::move(t)) {}
        platform::CallerTable<E> table;
    };
    struct BufferHolder final : Holder {
        explicit BufferHolder(size_t bytes) : buffer(bytes) {}
        platform::CallerBuffer buffer;
    };
    std::vector<std::unique_ptr<Holder>> m_tables;
};

template <class T>
class DriverRecord : public RecordTables {
public:
    struct Layout {
        CommandBlock block;
        T record;
    };
    static_assert(offsetof(Layout, record) == sizeof(CommandBlock), "the record follows the block");

    DriverRecord() = default;

    CommandBlock& block() { return m_mem->block; }
    const CommandBlock& block() const { return m_mem.get()->block; }
    T& record() { return m_mem->record; }
    const T& record() const { return m_mem.get()->record; }
    T* operator->() { return &m_mem->record; }
    const T* operator->() const { return &m_mem.get()->record; }

    // Caller address of the record (what Param normally holds).
    platform::CallerAddress address() const { return m_mem.address() + offsetof(Layout, record); }
    // Caller address of a part of the record, e.g. &record().load.
    platform::CallerAddress addressOf(const void* part) const
    {
        auto base = reinterpret_cast<const char*>(m_mem.get());
        auto p = static_cast<const char*>(part);
        return m_mem.address() + platform::CallerAddress(p - base);
    }

    // Fills the block for one request; Param defaults to the record.
    CommandBlock& setCommand(uint32_t target, uint32_t command) { return setCommand(target, command, address()); }
    CommandBlock& setCommand(uint32_t target, uint32_t command, uint32_t param)
    {
        CommandBlock& b = block();
        b.Target = target;
        b.Command = command;
        b.Param = param;
        return b;
    }

    // Frees the tables and puts the record back to its reset values; the
    // block is kept.
    void reset()
    {
        releaseTables();
        m_mem->record = T{};
    }

private:
    platform::CallerRecord<Layout> m_mem;
};

} // namespace protocol
