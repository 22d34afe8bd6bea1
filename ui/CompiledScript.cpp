#include "CompiledScript.h"

#include <QResource>
#include <cstring>
#include <iterator>
#include <utility>

namespace ui {

namespace {

// Little-endian fields, strings as their UTF-16 units with a count before
// them (kNull for a null string): read straight from the embedded bytes,
// one allocation a string.
constexpr char kMagic[4] = {'D', 'R', 'C', 'B'};
constexpr uint16_t kFormat = 2;
constexpr uint32_t kNull = 0xFFFFFFFFu;

class Writer {
public:
    explicit Writer(QByteArray& out) : m_out(out) {}
    void bytes(const void* p, size_t n) { m_out.append(static_cast<const char*>(p), qsizetype(n)); }
    template <typename T>
    void number(T v)
    {
        unsigned char b[sizeof(T)];
        for (size_t i = 0; i < sizeof(T); ++i)
            b[i] = static_cast<unsigned char>(static_cast<uint64_t>(v) >> (8 * i));
        bytes(b, sizeof b);
    }
    void text(const QString& s)
    {
        if (s.isNull()) {
            number<uint32_t>(kNull);
            return;
        }
        number<uint32_t>(uint32_t(s.size()));
        for (QChar c : s)
            number<uint16_t>(c.unicode());
    }
    void rect(const QRect& r) // by its corners, which QRect keeps: no arithmetic
    {
        number<int32_t>(r.left());
        number<int32_t>(r.top());
        number<int32_t>(r.right());
        number<int32_t>(r.bottom());
    }

private:
    QByteArray& m_out;
};

class Reader {
public:
    Reader(const char* data, qsizetype size) : m_p(data), m_end(data + size) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_p == m_end; }
    qsizetype left() const { return m_end - m_p; }
    bool take(void* out, qsizetype n)
    {
        if (!m_ok || left() < n)
            return m_ok = false;
        std::memcpy(out, m_p, size_t(n));
        m_p += n;
        return true;
    }
    template <typename T>
    T number()
    {
        unsigned char b[sizeof(T)] = {};
        if (!take(b, sizeof b))
            return T{};
        uint64_t v = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            v |= uint64_t(b[i]) << (8 * i);
        return static_cast<T>(v);
    }
    // A count of entries: never more than bytes left, so that a damaged
    // count cannot make the reader loop or allocate past the data.
    uint32_t count()
    {
        const uint32_t n = number<uint32_t>();
        if (qint64(n) > left())
            m_ok = false;
        return m_ok ? n : 0;
    }
    QString text()
    {
        const uint32_t n = number<uint32_t>();
        if (!m_ok || n == kNull)
            return QString();
        if (qint64(n) * 2 > left()) {
            m_ok = false;
            return QString();
        }
        QString s(qsizetype(n), Qt::Uninitialized);
        char16_t* out = reinterpret_cast<char16_t*>(s.data());
        for (uint32_t i = 0; i < n; ++i, m_p += 2)
            out[i] = char16_t(uint8_t(m_p[0]) | (uint8_t(m_p[1]) << 8));
        return s;
    }
    QRect rect()
    {
        const int32_t left = number<int32_t>(), top = number<int32_t>();
        const int32_t right = number<int32_t>(), bottom = number<int32_t>();
        return QRect(QPoint(left, top), QPoint(right, bottom));
    }

private:
    const char* m_p;
    const char* m_end;
    bool m_ok = true;
};

} // namespace

QByteArray compileScript(const ResourceScript& script)
{
    QByteArray bytes;
    Writer out(bytes);
    out.bytes(kMagic, sizeof kMagic);
    out.number<uint16_t>(kFormat);
    out.number<uint32_t>(uint32_t(script.dialogs.size()));
    for (const auto& [id, d] : script.dialogs) {
        out.number<int32_t>(id);
        out.number<int32_t>(d.id);
        out.text(d.idName);
        out.rect(d.rect);
        out.text(d.caption);
        out.number<uint32_t>(d.style);
        out.number<uint32_t>(d.exStyle);
        out.text(d.fontName);
        out.number<int32_t>(d.fontPointSize);
        out.text(d.fileName);
        out.number<int32_t>(d.line);
        out.number<uint32_t>(uint32_t(d.controls.size()));
        for (const ControlTemplate& c : d.controls) {
            out.text(c.statement);
            out.text(c.className);
            out.text(c.text);
            out.number<int32_t>(c.id);
            out.text(c.idName);
            out.rect(c.rect);
            out.number<uint32_t>(c.style);
            out.number<uint32_t>(c.exStyle);
            out.number<int32_t>(c.line);
        }
    }
    out.number<uint32_t>(uint32_t(script.strings.size()));
    for (const auto& [id, text] : script.strings) {
        out.number<int32_t>(id);
        out.text(text);
    }
    out.number<uint32_t>(uint32_t(script.symbols.size()));
    for (const auto& [name, value] : script.symbols) {
        out.text(name);
        out.number<int64_t>(value);
    }
    return bytes;
}

std::optional<ResourceScript> readCompiledScript(const QByteArray& bytes)
{
    Reader in(bytes.constData(), bytes.size());
    char magic[sizeof kMagic] = {};
    in.take(magic, sizeof magic);
    if (!in.ok() || std::memcmp(magic, kMagic, sizeof kMagic) != 0 || in.number<uint16_t>() != kFormat)
        return std::nullopt;
    ResourceScript script;
    // Written in key order: each entry goes in at the end, and one that does
    // not (a repeated or unordered key) means the bytes are not ours.
    auto putLast = [](auto& map, auto key, auto&& value) {
        if (!map.empty() && !(std::prev(map.end())->first < key))
            return false;
        map.emplace_hint(map.end(), std::move(key), std::forward<decltype(value)>(value));
        return true;
    };
    const uint32_t dialogs = in.count();
    for (uint32_t i = 0; i < dialogs && in.ok(); ++i) {
        const int32_t key = in.number<int32_t>();
        DialogTemplate d;
        d.id = in.number<int32_t>();
        d.idName = in.text();
        d.rect = in.rect();
        d.caption = in.text();
        d.style = in.number<uint32_t>();
        d.exStyle = in.number<uint32_t>();
        d.fontName = in.text();
        d.fontPointSize = in.number<int32_t>();
        d.fileName = in.text();
        d.line = in.number<int32_t>();
        const uint32_t controls = in.count();
        d.controls.reserve(controls);
        for (uint32_t k = 0; k < controls && in.ok(); ++k) {
            ControlTemplate& c = d.controls.emplace_back();
            c.statement = in.text();
            c.className = in.text();
            c.text = in.text();
            c.id = in.number<int32_t>();
            c.idName = in.text();
            c.rect = in.rect();
            c.style = in.number<uint32_t>();
            c.exStyle = in.number<uint32_t>();
            c.line = in.number<int32_t>();
        }
        if (!in.ok() || !putLast(script.dialogs, key, std::move(d)))
            return std::nullopt;
    }
    const uint32_t strings = in.count();
    for (uint32_t i = 0; i < strings && in.ok(); ++i) {
        const int32_t id = in.number<int32_t>();
        QString text = in.text();
        if (!in.ok() || !putLast(script.strings, id, std::move(text)))
            return std::nullopt;
    }
    const uint32_t symbols = in.count();
    for (uint32_t i = 0; i < symbols && in.ok(); ++i) {
        QString name = in.text();
        const int64_t value = in.number<int64_t>();
        if (!in.ok() || !putLast(script.symbols, std::move(name), value))
            return std::nullopt;
    }
    if (!in.ok() || !in.atEnd())
        return std::nullopt;
    return script;
}

QString compiledScriptPath(const QString& path)
{
    return path + QStringLiteral(".compiled");
}

ParseResult readBuiltinScript(const QString& path)
{
    if (path.startsWith(u':')) {
        // Embedded uncompressed, the bytes are read where they lie (no copy).
        const QResource res(compiledScriptPath(path));
        std::optional<ResourceScript> script;
        if (res.isValid())
            script = readCompiledScript(res.uncompressedData());
        if (script) {
            ParseResult r;
            r.script = std::move(script);
            return r;
        }
    }
    return parseResourceFile(path);
}

} // namespace ui
