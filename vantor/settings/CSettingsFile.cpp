#include "vantor/settings/CSettingsFile.h"

#include <climits>
#include <new>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

bool CSettingsFile::Load(const QString& path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;

    QString text;
    try {
        // The first 16-bit character is a byte order mark or the CR of the
        // empty first line that Save writes.
        char skipped[2];
        file.read(skipped, 2);
        const qint64 remaining = file.size() - file.pos();
        if (remaining > 0) {
            text.resize((remaining + 1) / 2);
            char* bytes = reinterpret_cast<char*>(text.data());
            const qint64 got = file.read(bytes, remaining);
            const qint64 have = got < 0 ? 0 : got;
            if (have % 2) {
                // An odd last byte is a character of its own, high byte 0.
                const uchar low = uchar(bytes[have - 1]);
                text.data()[have / 2] = QChar(char16_t(low));
            }
            text.truncate((have + 1) / 2);
            if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
                for (QChar& c : text)
                    c = QChar(char16_t((c.unicode() >> 8) | (c.unicode() << 8)));
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    file.close();

    // The text ends at its first zero character.
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);

    Clear();
    Parse(text);
    return true;
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
    if (path.isEmpty())
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
    QSaveFile out(path);
    // In a folder that takes no new files, write over the file itself.
    out.setDirectWriteFallback(true);
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
