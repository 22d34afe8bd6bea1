#include "vantor/settings/CSettingsFile.h"

#include <climits>
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
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return false;
        loaded = LoadFromBytes(bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (loaded)
        m_notLoaded.remove(key);
    return loaded;
}

bool CSettingsFile::LoadFromBytes(const QByteArray& bytes)
{
    const std::optional<QString> text = Decode(bytes);
    if (!text)
        return false;
    Clear();
    Parse(*text);
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
        CurrentSection().Get(LowerName(key)) = value.toString();
    }
}

void CSettingsFile::Clear()
{
    m_sections.Clear();
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
