#include "CIniFile.h"

#include <QFile>
#include <QStringDecoder>

#include "platform/CodePage.h"
#include "platform/DevicePath.h"

namespace {

QString decode(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool little = bytes[0] == '\xFF';
        QString text;
        text.reserve((bytes.size() - 2) / 2);
        // An odd trailing byte is dropped; unpaired surrogates pass through
        // as they are and only ever land in values.
        for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
            const auto lo = uchar(bytes[little ? i : i + 1]);
            const auto hi = uchar(bytes[little ? i + 1 : i]);
            text.append(QChar(char16_t(lo | (hi << 8))));
        }
        return text;
    }
    QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(body);
    if (!utf8.hasError())
        return text;
    // Not UTF-8: the installation wrote it in the ANSI code page.
    return platform::fromAnsi(body);
}

QString stripQuotes(const QString& value)
{
    if (value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"'))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

bool CIniFile::LoadIniFile(const QString& path)
{
    const QString host = path.isEmpty() ? QString() : platform::hostPath(path);
    QByteArray bytes;
    bool ok = false;
    if (!host.isEmpty()) {
        QFile f(host);
        if (f.open(QIODevice::ReadOnly) && f.size() <= kMaxFileBytes) {
            bytes = f.read(kMaxFileBytes + 1);
            ok = bytes.size() <= kMaxFileBytes;
        }
    }
    if (!ok) {
        std::lock_guard lock(m_mutex);
        m_sections.clear();
        m_loaded = false;
        return false;
    }
    LoadFromBytes(bytes);
    return true;
}

void CIniFile::LoadFromBytes(const QByteArray& bytes)
{
    std::map<QString, Section> sections;
    const QString text = decode(bytes);
    Section* current = nullptr;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const QString line = text.mid(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line.front() == QLatin1Char(';') || line.front() == QLatin1Char('#'))
            continue;
        if (line.front() == QLatin1Char('[')) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            if (close < 0) {
                current = nullptr; // a broken header: its lines belong nowhere
                continue;
            }
            current = &sections[line.mid(1, close - 1).trimmed().toLower()];
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!current || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        if (key.isEmpty())
            continue;
        // The first occurrence of a key wins, as the platform's reader does.
        current->emplace(key, stripQuotes(line.mid(eq + 1).trimmed()));
    }
    std::lock_guard lock(m_mutex);
    m_sections = std::move(sections);
    m_loaded = true;
}

bool CIniFile::CurrentSection(const QString& section)
{
    std::lock_guard lock(m_mutex);
    m_current = section.trimmed().toLower();
    return m_sections.count(m_current) != 0;
}

QString CIniFile::GetStringValue(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    auto s = m_sections.find(m_current);
    if (s == m_sections.end())
        return {};
    auto v = s->second.find(key.trimmed().toLower());
    return v == s->second.end() ? QString() : v->second;
}

bool CIniFile::IsLoaded() const
{
    std::lock_guard lock(m_mutex);
    return m_loaded;
}

int CIniFile::SectionCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_sections.size());
}
