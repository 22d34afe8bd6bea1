#include "vantor/settings/CSettingsFile.h"

#include <climits>
#ifdef __linux__
#include <sys/mman.h>
#endif
#include <cstring>
#include <new>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QSysInfo>

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

CSettingsFile::CSettingsFile()
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

bool CSettingsFile::IsLowerName(QStringView name)
{
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        if (c < 0x80 ? (c >= u'A' && c <= u'Z') : (!QChar::isSurrogate(c) && QChar::toLower(char32_t(c)) != c))
            return false;
    }
    return true;
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

std::optional<QString> strictUtf8(const char* bytes, qsizetype size)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes, size));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QString> endAtZero(std::optional<QString> text)
{
    if (text) {
        const qsizetype nul = text->indexOf(QChar(u'\0'));
        if (nul >= 0)
            text->truncate(nul);
    }
    return text;
}

// The file's bytes, `size` of them, lie at the start of `buffer` (which has
// room for (size + 1) / 2 units). UTF-16 text is made from them where they
// lie: a large file is not held twice. An odd last byte is a character of
// its own (high byte 0), as the store has always read it. The text ends at
// its first zero character.
std::optional<QString> decodeInPlace(QString&& buffer, qsizetype size)
{
    char* const bytes = reinterpret_cast<char*>(buffer.data());
    const QByteArrayView view(bytes, size);
    qsizetype skip = 0;
    bool bigEndian = false;
    if (view.startsWith("\xFF\xFE")) {
        skip = 2;
    } else if (view.startsWith("\xFE\xFF")) {
        skip = 2;
        bigEndian = true;
    } else if (view.startsWith("\xEF\xBB\xBF")) {
        return endAtZero(strictUtf8(bytes + 3, size - 3));
    } else if (std::memchr(bytes, 0, size_t(size)) != nullptr) {
        // The store's own form: UTF-16LE whose first character (the CR of the
        // empty first line) is skipped, as files from earlier versions are read.
        skip = size >= 2 ? 2 : size;
    } else {
        // No zero byte: 8-bit text. Only UTF-8 (ASCII included) is known.
        return endAtZero(strictUtf8(bytes, size));
    }
    if (size < 2)
        return QString();
    // What is skipped is one whole unit: it is dropped from the front of the
    // text, which does not move the rest (a large file is not copied again).
    const qsizetype units = (size + 1) / 2;
    QChar* const out = buffer.data();
    if (size % 2)
        out[units - 1] = QChar(char16_t(uchar(bytes[size - 1])));
    if (bigEndian || QSysInfo::ByteOrder != QSysInfo::LittleEndian) {
        for (qsizetype i = skip / 2; i < size / 2; ++i) {
            const uchar a = uchar(bytes[2 * i]), b = uchar(bytes[2 * i + 1]);
            out[i] = QChar(char16_t(bigEndian ? (a << 8) | b : (b << 8) | a));
        }
    }
    buffer.truncate(units);
    buffer.remove(0, skip / 2);
    return endAtZero(std::move(buffer));
}

// A large file's text in large pages where the system gives them: a fresh
// page costs a fault the first time it is touched, and at 4 KiB a page a
// 100 MB file is 25,000 of them.
void adviseLargePages(void* data, qint64 bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr quintptr kLarge = 2 * 1024 * 1024;
    if (bytes < qint64(4 * kLarge))
        return;
    const quintptr from = (quintptr(data) + kLarge - 1) & ~(kLarge - 1);
    const quintptr to = (quintptr(data) + quintptr(bytes)) & ~(kLarge - 1);
    if (to > from)
        (void)::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE); // advice only
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

} // namespace

std::optional<QString> CSettingsFile::Decode(const QByteArray& bytes)
{
    QString buffer((bytes.size() + 1) / 2, Qt::Uninitialized);
    if (!bytes.isEmpty())
        std::memcpy(buffer.data(), bytes.constData(), size_t(bytes.size()));
    return decodeInPlace(std::move(buffer), bytes.size());
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
        std::optional<QString> text;
        const qint64 size = file.size();
        if (file.isSequential() || size <= 0 || size >= qint64(INT_MAX) * 2) {
            // No size to go by (or one beyond a string): as it comes.
            const QByteArray bytes = file.readAll();
            if (file.error() != QFileDevice::NoError)
                return false;
            text = Decode(bytes);
        } else {
            // Read straight into the text's own storage.
            QString buffer(qsizetype((size + 1) / 2), Qt::Uninitialized);
            adviseLargePages(buffer.data(), size);
            const qint64 got = file.read(reinterpret_cast<char*>(buffer.data()), size);
            if (got < 0 || file.error() != QFileDevice::NoError)
                return false;
            text = decodeInPlace(std::move(buffer), qsizetype(got));
        }
        loaded = Adopt(std::move(text));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (loaded)
        m_notLoaded.remove(key);
    return loaded;
}

bool CSettingsFile::LoadFromBytes(const QByteArray& bytes)
{
    return Adopt(Decode(bytes));
}

bool CSettingsFile::Adopt(std::optional<QString> text)
{
    if (!text)
        return false;
    Clear(); // nothing refers into the old text any more
    m_text = std::move(*text);
    Parse(m_text);
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
    KeyMap* section = nullptr; // the current section, looked up once per header
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
                if (!name.isEmpty()) {
                    SetSection(name.toString());
                    section = nullptr;
                }
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue; // comments and garbage
        const QStringView key = Trim(line.first(eq));
        const QStringView value = Trim(line.sliced(eq + 1));
        // The file already holds the escaped form. Both refer into m_text:
        // every way out of the store (GetString, Serialize) copies.
        const QString name = IsLowerName(key) ? QString::fromRawData(key.data(), key.size()) : LowerName(key);
        if (!section)
            section = &CurrentSection();
        section->Get(name) = QString::fromRawData(value.data(), value.size());
    }
}

void CSettingsFile::Clear()
{
    m_sections.Clear();
    m_text.clear();
}

QByteArray CSettingsFile::Serialize() const
{
    QString out;
    out.append(QLatin1String("\r\n"));
    m_sections.ForEach([&out](const QString& section, const KeyMap& keys) {
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
    return m_sections.Find(LowerName(name)) != nullptr;
}

bool CSettingsFile::HasKey(const QString& section, const QString& key) const
{
    const KeyMap* keys = m_sections.Find(LowerName(section));
    return keys && keys->Find(LowerName(key));
}

CSettingsFile::KeyMap& CSettingsFile::CurrentSection()
{
    return m_sections.Get(m_sectionKey);
}
