#pragma once
// The map behind the settings store: 17 buckets, each a chain with the newest
// entry at its head, walked bucket by bucket. That walk decides the order of
// sections and keys in the written file, so it is kept exactly; a side index
// keeps look-ups fast for files with many keys.
#include <array>
#include <cstdint>
#include <deque>
#include <QHash>
#include <QString>
#include <QStringView>

template <class V>
class SettingsHashMap {
public:
    static constexpr uint32_t kBuckets = 17;

    SettingsHashMap() = default;
    // The chains point into the node storage: no copies.
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

    V* Find(const QString& key)
    {
        const auto it = m_index.constFind(key);
        return it == m_index.cend() ? nullptr : &it.value()->value;
    }
    const V* Find(const QString& key) const
    {
        const auto it = m_index.constFind(key);
        return it == m_index.cend() ? nullptr : &it.value()->value;
    }

    // The entry of `key`, created empty at the head of its chain if missing.
    V& Get(const QString& key)
    {
        if (V* v = Find(key))
            return *v;
        const uint32_t b = Bucket(key);
        Node& n = m_nodes.emplace_back();
        n.key = key;
        n.next = m_heads[b];
        m_heads[b] = &n;
        m_index.insert(key, &n);
        return n.value;
    }

    void Clear()
    {
        m_index.clear();
        m_heads.fill(nullptr);
        m_nodes.clear();
    }

    qsizetype Size() const { return m_index.size(); }
    bool IsEmpty() const { return m_index.isEmpty(); }

    // Buckets 0 to 16, each chain from its head.
    template <class F>
    void ForEach(F&& f) const
    {
        for (const Node* head : m_heads)
            for (const Node* n = head; n; n = n->next)
                f(n->key, n->value);
    }

private:
    struct Node {
        QString key;
        V value{};
        Node* next = nullptr;
    };
    std::deque<Node> m_nodes; // stable addresses for the chains
    std::array<Node*, kBuckets> m_heads{};
    QHash<QString, Node*> m_index;
};
