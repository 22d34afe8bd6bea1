#include "vantor/settings/CSettingsFile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <new>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

QStringView trimSpace(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].isSpace())
        ++b;
    while (e > b && s[e - 1].isSpace())
        --e;
    return s.sliced(b, e - b);
}

QStringView trimQuotes(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u'"')
        ++b;
    while (e > b && s[e - 1] == u'"')
        --e;
    return s.sliced(b, e - b);
}

void appendBackslashes(QString& out, qsizetype count)
{
    out.append(QString(count, QLatin1Char('\\')));
}

} // namespace

CSettingsFile::CSettingsFile() : m_sections(std::make_unique<SettingsHashMap<KeyMap>>())
{
    SetSection(QStringLiteral("general"));
}

CSettingsFile::~CSettingsFile() = default;

QString CSettingsFile::LowerName(QStringView name)
{
    // One 16-bit unit at a time, so the name keeps its length and hash input.
    QString out(name.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        char16_t lower = c;
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z')
                lower = char16_t(c + 32);
        } else if (!QChar::isSurrogate(c)) {
            const char32_t l = QChar::toLower(char32_t(c));
            if (l <= 0xFFFF)
                lower = char16_t(l);
        }
        dst[i] = QChar(lower);
    }
    return out;
}

QStringView CSettingsFile::Trim(QStringView text)
{
    return trimSpace(trimQuotes(trimSpace(text)));
}

// Line feeds and carriage returns become \n and \r. A run of backslashes that
// stands before 'n', 'r', a line feed or a carriage return is doubled, so that
// a path such as \Hard Disk\new\ramp.txt comes back as it was written; every
// other backslash is written as it is, as in files from earlier versions.
QString CSettingsFile::Escape(QStringView value)
{
    QString out;
    out.reserve(value.size() + 8);
    const qsizetype n = value.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = value[i];
        if (c == u'\\') {
            qsizetype j = i;
            while (j < n && value[j] == u'\\')
                ++j;
            const qsizetype run = j - i;
            const bool ambiguous = j < n && (value[j] == u'n' || value[j] == u'r' || isLineEnd(value[j]));
            appendBackslashes(out, ambiguous ? 2 * run : run);
            i = j;
        } else if (c == u'\n') {
            out.append(QLatin1String("\\n"));
            ++i;
        } else if (c == u'\r') {
            out.append(QLatin1String("\\r"));
            ++i;
        } else {
            out.append(c);
            ++i;
        }
    }
    return out;
}

QString CSettingsFile::Unescape(QStringView stored)
{
    if (!stored.contains(u'\\'))
        return stored.toString();
    QString out;
    out.reserve(stored.size());
    const qsizetype n = stored.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = stored[i];
        if (c != u'\\') {
            out.append(c);
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < n && stored[j] == u'\\')
            ++j;
        const qsizetype run = j - i;
        if (j < n && (stored[j] == u'n' || stored[j] == u'r')) {
            const bool isN = stored[j] == u'n';
            // An odd run ends in an escape; the pairs before it are backslashes.
            appendBackslashes(out, run / 2);
            if (run % 2)
                out.append(isN ? QChar(u'\n') : QChar(u'\r'));
            else
                out.append(stored[j]);
            i = j + 1;
        } else {
            appendBackslashes(out, run);
            i = j;
        }
    }
    return out;
}

int32_t CSettingsFile::ToLong(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int64_t value = 0;
    const int64_t limit = negative ? -int64_t(INT32_MIN) : int64_t(INT32_MAX);
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > limit)
            value = limit; // saturate as the C conversion does
    }
    return int32_t(negative ? -value : value);
}

namespace {

QString absoluteKey(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

// UTF-16 code units from `bytes`; an odd last byte is a character of its own
// (high byte 0), as the store has always read it.
QString utf16Units(const char* bytes, qsizetype size, bool bigEndian)
{
    QString text((size + 1) / 2, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i + 1 < size; i += 2) {
        const uchar a = uchar(bytes[i]), b = uchar(bytes[i + 1]);
        out[i / 2] = QChar(char16_t(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    if (size % 2)
        out[size / 2] = QChar(char16_t(uchar(bytes[size - 1])));
    return text;
}

std::optional<QString> strictUtf8(const char* bytes, qsizetype size)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes, size));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

std::optional<QString> CSettingsFile::Decode(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    std::optional<QString> text;
    if (bytes.startsWith("\xFF\xFE")) {
        text = utf16Units(data + 2, size - 2, false);
    } else if (bytes.startsWith("\xFE\xFF")) {
        text = utf16Units(data + 2, size - 2, true);
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = strictUtf8(data + 3, size - 3);
    } else if (bytes.contains('\0')) {
        // The store's own form: UTF-16LE whose first character (the CR of the
        // empty first line) is skipped, as files from earlier versions are read.
        text = size >= 2 ? utf16Units(data + 2, size - 2, false) : QString();
    } else {
        // No zero byte: 8-bit text. Only UTF-8 (ASCII included) is known.
        text = strictUtf8(data, size);
    }
    if (text) {
        const qsizetype nul = text->indexOf(QChar(u'\0'));
        if (nul >= 0)
            text->truncate(nul);
    }
    return text;
}

namespace {
constexpr qsizetype kLoadChunk = 1 << 20; // bytes decoded and parsed at a time
}

bool CSettingsFile::Load(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString key = absoluteKey(path);
    // Until it loads again, a file that did not load is not saved over.
    m_notLoaded.insert(key);
    if (QFileInfo(path).isDir())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bool loaded = false;
    try {
        loaded = LoadStream(
            [&file](char* into, qsizetype size) -> qsizetype {
                const qint64 n = file.read(into, size);
                return n < 0 || file.error() != QFileDevice::NoError ? -1 : qsizetype(n);
            },
            kLoadChunk, false);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (loaded)
        m_notLoaded.remove(key);
    return loaded;
}

bool CSettingsFile::LoadFromBytes(const QByteArray& bytes)
{
    return LoadFromBytes(bytes, kLoadChunk);
}

bool CSettingsFile::LoadFromBytes(const QByteArray& bytes, qsizetype chunkBytes)
{
    qsizetype at = 0;
    return LoadStream(
        [&bytes, &at](char* into, qsizetype size) {
            const qsizetype n = std::min(size, bytes.size() - at);
            memcpy(into, bytes.constData() + at, size_t(n));
            at += n;
            return n;
        },
        chunkBytes, false);
}

namespace {

// Where a UTF-8 chunk may be cut: before a sequence that it does not hold
// whole (the bytes from there go with the next chunk).
qsizetype utf8Cut(const char* data, qsizetype size)
{
    for (qsizetype back = 1; back <= 4 && back <= size; ++back) {
        const uchar c = uchar(data[size - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back
        const qsizetype length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        return length > back ? size - back : size;
    }
    return size; // no lead byte near the end: invalid anyway, the decoder says so
}

} // namespace

bool CSettingsFile::LoadStream(const ReadChunk& read, qsizetype chunkBytes, bool storeForm)
{
    // Appends up to `want` bytes to `buffer`; false on a read error.
    auto fill = [&read](QByteArray& buffer, qsizetype want, bool& atEnd) {
        const qsizetype target = buffer.size() + want;
        while (buffer.size() < target) {
            const qsizetype old = buffer.size();
            buffer.resize(target);
            const qsizetype n = read(buffer.data() + old, target - old);
            buffer.resize(old + std::max<qsizetype>(n, 0));
            if (n < 0)
                return false;
            if (n == 0) {
                atEnd = true;
                break;
            }
        }
        return true;
    };
    chunkBytes = std::max<qsizetype>(chunkBytes & ~qsizetype(1), 4); // whole UTF-16 units
    QByteArray chunk;
    chunk.reserve(chunkBytes + 4);
    bool atEnd = false;
    if (!fill(chunk, chunkBytes, atEnd))
        return false;

    enum class Form { Utf16Le, Utf16Be, Utf8 } form = Form::Utf8;
    qsizetype skip = 0;
    if (chunk.startsWith("\xFF\xFE")) {
        form = Form::Utf16Le, skip = 2;
    } else if (chunk.startsWith("\xFE\xFF")) {
        form = Form::Utf16Be, skip = 2;
    } else if (chunk.startsWith("\xEF\xBB\xBF")) {
        skip = 3;
    } else if (storeForm || chunk.contains('\0')) {
        form = Form::Utf16Le, skip = std::min<qsizetype>(2, chunk.size()); // the store's own form (see Decode)
    }
    const bool unmarkedUtf8 = form == Form::Utf8 && skip == 0;
    // Unmarked 8-bit text has no zero byte; one further on makes the whole
    // file the store's own form, so its bytes are kept until that is known.
    QByteArray kept;

    // Parsed into a new store: the old one comes back if the bytes are refused.
    auto previous = std::exchange(m_sections, std::make_unique<SettingsHashMap<KeyMap>>());
    const QString previousName = m_sectionName;
    auto refuse = [&] {
        m_sections = std::move(previous);
        SetSection(previousName);
        return false;
    };

    QSet<QString> names;
    m_names = &names;
    struct Unset {
        QSet<QString>*& names;
        ~Unset() { names = nullptr; }
    } unset{m_names};
    QString text;       // the unparsed end of the text (a line not yet ended)
    QByteArray carried; // UTF-8: a sequence cut by the chunk's end
    bool ended = false; // a zero character was seen: the text ends there
    for (bool first = true;; first = false) {
        const bool last = atEnd;
        const char* data = chunk.constData() + (first ? skip : 0);
        qsizetype size = chunk.size() - (first ? skip : 0);
        QString decoded;
        if (form == Form::Utf8) {
            if (unmarkedUtf8)
                kept += chunk;
            // The rest of the file, then the whole of it as the store's form.
            auto asStoreForm = [&] {
                for (bool end = atEnd; !end;)
                    if (!fill(kept, chunkBytes, end))
                        return refuse();
                refuse();
                if (!kept.contains('\0'))
                    return false; // 8-bit text that is not UTF-8
                qsizetype at = 0;
                return LoadStream(
                    [&kept, &at](char* into, qsizetype n) {
                        n = std::min(n, kept.size() - at);
                        memcpy(into, kept.constData() + at, size_t(n));
                        at += n;
                        return n;
                    },
                    chunkBytes, true);
            };
            if (unmarkedUtf8 && chunk.contains('\0'))
                return asStoreForm();
            carried.append(data, size);
            const qsizetype cut = last ? carried.size() : utf8Cut(carried.constData(), carried.size());
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            decoded = utf8.decode(QByteArrayView(carried.constData(), cut));
            if (utf8.hasError())
                return unmarkedUtf8 ? asStoreForm() : refuse(); // a zero byte further on decides
            carried.remove(0, cut);
        } else if (!ended) {
            decoded = utf16Units(data, size, form == Form::Utf16Be);
        }
        if (!ended) {
            const qsizetype nul = decoded.indexOf(QChar(u'\0'));
            if (nul >= 0) {
                decoded.truncate(nul);
                ended = true;
            }
            text.append(decoded);
            // Complete lines now; the rest waits for the next chunk.
            qsizetype cut = text.size();
            if (!ended && !last) {
                cut = 0;
                for (qsizetype i = text.size(); i > 0; --i)
                    if (isLineEnd(text[i - 1])) {
                        cut = i;
                        break;
                    }
            }
            if (cut > 0) {
                Parse(QStringView(text).first(cut));
                text.remove(0, cut);
            }
        }
        // UTF-16 needs nothing past its end; UTF-8 is checked to the end.
        if (last || (ended && form != Form::Utf8))
            break;
        chunk.clear();
        if (!fill(chunk, chunkBytes, atEnd))
            return refuse();
    }
    return true;
}

bool CSettingsFile::DidNotLoad(const QString& path) const
{
    return !path.isEmpty() && m_notLoaded.contains(absoluteKey(path));
}

void CSettingsFile::Parse(QStringView text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && isLineEnd(text[i]))
            ++i;
        const qsizetype start = i;
        while (i < n && !isLineEnd(text[i]))
            ++i;
        if (i == start)
            continue;
        const QStringView line = Trim(text.sliced(start, i - start));
        if (line.isEmpty())
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.indexOf(u']');
            if (close > 0) {
                const QStringView name = Trim(line.sliced(1, close - 1));
                if (!name.isEmpty())
                    SetSection(name.toString());
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue; // comments and garbage
        const QStringView key = Trim(line.first(eq));
        const QStringView value = Trim(line.sliced(eq + 1));
        // The file already holds the escaped form.
        QString name = LowerName(key);
        if (m_names) {
            // One copy of each name for the whole file: sections repeat their keys.
            const auto known = m_names->constFind(name);
            if (known != m_names->cend())
                name = *known;
            else
                m_names->insert(name);
        }
        CurrentSection().Get(name) = value.toString();
    }
}

void CSettingsFile::Clear()
{
    m_sections->Clear();
}

QByteArray CSettingsFile::Serialize() const
{
    QString out;
    out.append(QLatin1String("\r\n"));
    m_sections->ForEach([&out](const QString& section, const KeyMap& keys) {
        out.append(u'[');
        out.append(section);
        out.append(QLatin1String("]\r\n"));
        keys.ForEach([&out](const QString& key, const QString& value) {
            out.append(key);
            out.append(QLatin1String(" = "));
            out.append(value);
            out.append(QLatin1String("\r\n"));
        });
    });
    QByteArray bytes(out.size() * 2, Qt::Uninitialized);
    char* dst = bytes.data();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out[i].unicode();
        dst[2 * i] = char(c & 0xFF);
        dst[2 * i + 1] = char(c >> 8);
    }
    return bytes;
}

bool CSettingsFile::Save(const QString& path)
{
    if (path.isEmpty() || DidNotLoad(path))
        return false;
    const QFileInfo info(path);
    // Only an existing, writable file is replaced; the file is never created.
    if (!info.exists() || !info.isFile() || !info.isWritable())
        return false;
    // A read-only file stays read-only even for the administrator, as on the
    // device.
    if (!(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)))
        return false;
    const QByteArray bytes = Serialize();
    // Only through a temporary file that replaces the old one: written in
    // place, a write that fails half way would leave half a file.
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

QString CSettingsFile::GetString(const char* key, const char* defaultValue)
{
    return GetString(QString::fromUtf8(key), QString::fromUtf8(defaultValue));
}

QString CSettingsFile::GetString(const QString& key, const QString& defaultValue)
{
    const QString* stored = CurrentSection().Find(LowerName(key));
    return stored ? Unescape(*stored) : defaultValue;
}

int32_t CSettingsFile::GetLong(const QString& key, int32_t defaultValue)
{
    return ToLong(GetString(key, QString::number(defaultValue)));
}

int32_t CSettingsFile::GetInt(const QString& key, int32_t defaultValue)
{
    return ToLong(GetString(key, QString::number(defaultValue)));
}

void CSettingsFile::SetInt(const QString& key, int32_t value)
{
    SetString(key, QString::number(value));
}

void CSettingsFile::SetSection(const char* name)
{
    SetSection(QString::fromUtf8(name));
}

void CSettingsFile::SetSection(const QString& name)
{
    m_sectionName = name;
    m_sectionKey = LowerName(name);
}

void CSettingsFile::SetString(const QString& key, const QString& value)
{
    const QString stored = Escape(value);
    CurrentSection().Get(LowerName(key)) = stored;
}

bool CSettingsFile::HasSection(const QString& name) const
{
    return m_sections->Find(LowerName(name)) != nullptr;
}

bool CSettingsFile::HasKey(const QString& section, const QString& key) const
{
    const KeyMap* keys = m_sections->Find(LowerName(section));
    return keys && keys->Find(LowerName(key));
}

CSettingsFile::KeyMap& CSettingsFile::CurrentSection()
{
    return m_sections->Get(m_sectionKey);
}
