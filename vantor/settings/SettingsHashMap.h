#pragma once
// The map behind the settings store: 17 buckets, each a chain with the newest
// entry at its head, walked bucket by bucket. That walk decides the order of
// sections and keys in the written file, so it is kept exactly; a side index
// keeps look-ups fast for files with many keys.
//
// Entries lie side by side in one array and the chains and the index hold
// their positions, not pointers: a map is a few allocations however many
// keys it holds, not two per key, and half the memory to touch. A reference
// that Get or Find returns stays valid until the next entry is added to the
// same map.
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <vector>

template <class V>
class SettingsHashMap {
public:
    static constexpr uint32_t kBuckets = 17;

    SettingsHashMap() { m_heads.fill(kNone); }
    // A map moved from is left empty, its chains too.
    SettingsHashMap(SettingsHashMap&& other) noexcept
        : m_nodes(std::move(other.m_nodes)), m_slots(std::move(other.m_slots)), m_heads(other.m_heads)
    {
        other.Clear();
    }
    SettingsHashMap& operator=(SettingsHashMap&& other) noexcept
    {
        if (this != &other) {
            m_nodes = std::move(other.m_nodes);
            m_slots = std::move(other.m_slots);
            m_heads = other.m_heads;
            other.Clear();
        }
        return *this;
    }
    SettingsHashMap(const SettingsHashMap&) = delete;
    SettingsHashMap& operator=(const SettingsHashMap&) = delete;

    // h = h * 33 + c over the 16-bit characters, wrapping at 32 bits.
    static uint32_t Hash(QStringView name)
    {
        uint32_t h = 0;
        for (QChar c : name)
            h = h * 33u + c.unicode();
        return h;
    }
    static uint32_t Bucket(QStringView name) { return Hash(name) % kBuckets; }

    V* Find(QStringView key)
    {
        const uint32_t i = IndexOf(key, IndexHash(key));
        return i == kNone ? nullptr : &m_nodes[i].value;
    }
    const V* Find(QStringView key) const
    {
        const uint32_t i = IndexOf(key, IndexHash(key));
        return i == kNone ? nullptr : &m_nodes[i].value;
    }

    // The entry of `key`, created empty at the head of its chain if missing.
    V& Get(const QString& key)
    {
        const uint32_t h = IndexHash(key);
        const uint32_t found = IndexOf(key, h);
        if (found != kNone)
            return m_nodes[found].value;
        if (m_nodes.size() >= kMaxEntries)
            throw std::bad_alloc(); // positions are 32 bits
        const auto i = uint32_t(m_nodes.size());
        // Everything that can fail is allocated before the entry is linked.
        if (m_nodes.size() == m_nodes.capacity())
            m_nodes.reserve(m_nodes.empty() ? kLinear : 2 * m_nodes.size());
        std::vector<uint32_t> grown;
        if (i + 1 > kLinear && 2 * (size_t(i) + 1) > m_slots.size())
            grown.assign(m_slots.empty() ? 4 * kLinear : 2 * m_slots.size(), kNone);
        Node& n = m_nodes.emplace_back();
        n.key = key;
        n.hash = h;
        const uint32_t b = Bucket(key);
        n.next = m_heads[b];
        m_heads[b] = i;
        if (!grown.empty()) {
            m_slots.swap(grown);
            for (uint32_t k = 0; k <= i; ++k)
                Place(k);
        } else if (!m_slots.empty()) {
            Place(i);
        }
        return n.value;
    }

    void Clear() noexcept
    {
        std::vector<Node>().swap(m_nodes); // the memory too
        std::vector<uint32_t>().swap(m_slots);
        m_heads.fill(kNone);
    }

    qsizetype Size() const { return qsizetype(m_nodes.size()); }
    bool IsEmpty() const { return m_nodes.empty(); }

    // Buckets 0 to 16, each chain from its head.
    template <class F>
    void ForEach(F&& f) const
    {
        for (const uint32_t head : m_heads)
            for (uint32_t i = head; i != kNone; i = m_nodes[i].next)
                f(m_nodes[i].key, m_nodes[i].value);
    }

private:
    static constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
    static constexpr size_t kMaxEntries = kNone / 4; // the index has room for twice as many
    // Up to this many entries a look-up walks them all (their stored hashes
    // first): most sections are that small and need no index.
    static constexpr size_t kLinear = 8;

    struct Node {
        QString key;
        V value{};
        uint32_t next = kNone;
        uint32_t hash = 0;
    };

    // Seeded per process (Qt's hash seed), so that a file made to collide
    // cannot slow the index down. Our own multiply-mix over 8 bytes at a
    // time: Qt's seeded hash takes over 100 ns for a key shorter than 16
    // bytes on some processors, twenty times the rest of a look-up.
    static uint32_t IndexHash(QStringView key)
    {
        static const std::array<uint64_t, 2> seed = [] {
            uint64_t x = uint64_t(QHashSeed::globalSeed());
            auto next = [&x] { // splitmix64
                uint64_t z = (x += 0x9E3779B97F4A7C15ull);
                z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
                z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
                return z ^ (z >> 31);
            };
            const uint64_t a = next();
            return std::array<uint64_t, 2>{a, next()};
        }();
        auto mix = [](uint64_t a, uint64_t b) {
            const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
            return uint64_t(r) ^ uint64_t(r >> 64);
        };
        const auto* p = reinterpret_cast<const unsigned char*>(key.utf16());
        size_t n = size_t(key.size()) * sizeof(char16_t);
        uint64_t h = seed[0] ^ n;
        for (; n >= 8; p += 8, n -= 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            h = mix(w ^ seed[1], h ^ 0xA0761D6478BD642Full);
        }
        uint64_t tail = 0;
        std::memcpy(&tail, p, n);
        h = mix(tail ^ seed[1], h ^ 0xE7037ED1A0B428DBull);
        return uint32_t(h ^ (h >> 32));
    }

    uint32_t IndexOf(QStringView key, uint32_t h) const
    {
        if (m_slots.empty()) {
            for (size_t i = 0; i < m_nodes.size(); ++i)
                if (m_nodes[i].hash == h && m_nodes[i].key == key)
                    return uint32_t(i);
            return kNone;
        }
        const size_t mask = m_slots.size() - 1;
        for (size_t s = h & mask;; s = (s + 1) & mask) {
            const uint32_t i = m_slots[s];
            if (i == kNone || (m_nodes[i].hash == h && m_nodes[i].key == key))
                return i;
        }
    }

    void Place(uint32_t i)
    {
        const size_t mask = m_slots.size() - 1;
        size_t s = m_nodes[i].hash & mask;
        while (m_slots[s] != kNone)
            s = (s + 1) & mask;
        m_slots[s] = i;
    }

    std::vector<Node> m_nodes;
    std::vector<uint32_t> m_slots; // positions in m_nodes; a power of two, at most half full
    std::array<uint32_t, kBuckets> m_heads{};
};
