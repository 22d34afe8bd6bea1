#include "LineStore.h"

#include <algorithm>
#include <cstring>

namespace ui {

void LineStore::append(QStringView line)
{
    const qsizetype n = line.size();
    if (m_chunks.empty() || m_chunks.back().capacity - m_chunks.back().used < n) {
        Chunk c;
        c.capacity = std::max(kChunkChars, n);
        c.data = std::make_unique_for_overwrite<char16_t[]>(size_t(c.capacity));
        m_chunks.push_back(std::move(c));
    }
    Chunk& c = m_chunks.back();
    if (n > 0)
        std::memcpy(c.data.get() + c.used, line.utf16(), size_t(n) * sizeof(char16_t));
    if (m_starts.size() == m_starts.capacity()) // grow by half, not double: spare room is memory per line
        m_starts.reserve(std::max<size_t>(1024, m_starts.capacity() + m_starts.capacity() / 2));
    m_starts.push_back((uint64_t(m_chunks.size() - 1) << kOffsetBits) | uint64_t(c.used));
    c.used += n;
    m_characters += n;
}

QStringView LineStore::line(qsizetype index) const
{
    if (index < 0 || index >= size())
        return {};
    const uint64_t s = m_starts[size_t(index)];
    const size_t chunk = size_t(s >> kOffsetBits);
    const qsizetype offset = qsizetype(s & ((uint64_t(1) << kOffsetBits) - 1));
    qsizetype end = m_chunks[chunk].used;
    if (index + 1 < size()) {
        const uint64_t next = m_starts[size_t(index + 1)];
        if (size_t(next >> kOffsetBits) == chunk)
            end = qsizetype(next & ((uint64_t(1) << kOffsetBits) - 1));
    }
    return QStringView(m_chunks[chunk].data.get() + offset, end - offset);
}

void LineStore::clear()
{
    std::vector<Chunk>().swap(m_chunks);
    std::vector<uint64_t>().swap(m_starts);
    m_characters = 0;
}

size_t LineStore::bytesReserved() const
{
    size_t bytes = m_starts.capacity() * sizeof(uint64_t) + m_chunks.capacity() * sizeof(Chunk);
    for (const Chunk& c : m_chunks)
        bytes += size_t(c.capacity) * sizeof(char16_t);
    return bytes;
}

} // namespace ui
