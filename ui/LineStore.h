#pragma once
// Lines of text stored compactly: the characters of many lines share large
// UTF-16 chunks, and each line costs one 64-bit position besides its
// characters. A result list can hold millions of lines this way.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

namespace ui {

class LineStore {
public:
    void append(QStringView line);
    qsizetype size() const { return qsizetype(m_starts.size()); }
    bool empty() const { return m_starts.empty(); }
    // Valid until the store changes.
    QStringView line(qsizetype index) const;
    void clear(); // gives the memory back
    qsizetype characters() const { return m_characters; }
    // Bytes held (chunks and positions, including spare capacity).
    size_t bytesReserved() const;

private:
    static constexpr qsizetype kChunkChars = 1 << 20; // 2 MiB chunks
    static constexpr int kOffsetBits = 40;
    struct Chunk {
        std::unique_ptr<char16_t[]> data;
        qsizetype capacity = 0;
        qsizetype used = 0;
    };
    std::vector<Chunk> m_chunks;
    std::vector<uint64_t> m_starts; // chunk index << 40 | offset
    qsizetype m_characters = 0;
};

} // namespace ui
