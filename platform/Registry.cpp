#include "Registry.h"

#include <cstring>
#include <map>
#include <mutex>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <fcntl.h>
#include <unistd.h>

#include "DevicePath.h"

namespace platform {

namespace {
std::mutex g_mutex;

QString hivePath(Hive hive)
{
    return hostPath(hive == Hive::LocalMachine ? QStringLiteral("\\Registry\\HKLM.reg")
                                               : QStringLiteral("\\Registry\\HKCU.reg"));
}

QString normalKey(const QString& k)
{
    QString s = k;
    s.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (s.startsWith(QLatin1Char('\\')))
        s.remove(0, 1);
    while (s.endsWith(QLatin1Char('\\')))
        s.chop(1);
    return s.toLower();
}

// The escapes quote() writes, undone in one pass: \\ and \" stand for a
// backslash and a quote; any other backslash is kept as it is.
QString unescape(QStringView t)
{
    QString out;
    out.reserve(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == QLatin1Char('\\') && i + 1 < t.size() && (t[i + 1] == QLatin1Char('\\') || t[i + 1] == QLatin1Char('"')))
            ++i;
        out += t[i];
    }
    return out;
}

QString unquote(const QString& s)
{
    QString t = s.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('"')) && t.endsWith(QLatin1Char('"')))
        t = t.mid(1, t.size() - 2);
    return unescape(t);
}

// Where the '=' after a value's name stands, or -1. A quoted name is read
// with its escapes, so a name that holds '=' or '"=' is not cut short.
qsizetype nameEnd(const QString& line)
{
    if (!line.startsWith(QLatin1Char('"')))
        return line.indexOf(QLatin1String("\"=")) < 0 ? -1 : line.indexOf(QLatin1String("\"=")) + 1;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (line[i] == QLatin1Char('"'))
            return i + 1 < line.size() && line[i + 1] == QLatin1Char('=') ? i + 1 : -1;
    }
    return -1;
}

QString quote(const QString& s)
{
    QString t = s;
    t.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    t.replace(QLatin1String("\""), QLatin1String("\\\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

// key (lower case) -> (value name lower case -> (spelling, value))
using Values = std::map<QString, std::pair<QString, QString>>;
struct Hive_ {
    std::map<QString, std::pair<QString, Values>> keys;
};

bool readHive(Hive hive, Hive_& out)
{
    QFile f(hivePath(hive));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    Values* current = nullptr;
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.mid(1, line.size() - 2);
            auto& entry = out.keys[normalKey(name)];
            entry.first = name;
            current = &entry.second;
            continue;
        }
        const qsizetype eq = nameEnd(line);
        if (!current || eq < 0)
            continue;
        const QString name = unquote(line.left(eq));
        (*current)[name.toLower()] = {name, unquote(line.mid(eq + 1))};
    }
    return true;
}

bool writeHive(Hive hive, const Hive_& h)
{
    const QString path = hivePath(hive);
    if (path.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QString text;
    for (const auto& [k, entry] : h.keys) {
        text += QLatin1Char('[') + entry.first + QLatin1String("]\n");
        for (const auto& [n, v] : entry.second)
            text += quote(v.first) + QLatin1Char('=') + quote(v.second) + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    f.write(text.toUtf8());
    return f.commit();
}
} // namespace

bool RegKey::open(Hive hive, const QString& path)
{
    close();
    std::lock_guard<std::mutex> lock(g_mutex);
    Hive_ h;
    if (!readHive(hive, h))
        return false;
    if (h.keys.find(normalKey(path)) == h.keys.end())
        return false;
    m_open = true;
    m_hive = hive;
    m_path = normalKey(path);
    return true;
}

bool RegKey::queryString(const QString& name, QString& value) const
{
    if (!m_open)
        return false;
    std::lock_guard<std::mutex> lock(g_mutex);
    Hive_ h;
    if (!readHive(m_hive, h))
        return false;
    auto k = h.keys.find(m_path);
    if (k == h.keys.end())
        return false;
    auto v = k->second.second.find(name.toLower());
    if (v == k->second.second.end())
        return false;
    value = v->second.second;
    return true;
}

bool RegKey::queryString(const QString& name, char16_t* buffer, uint32_t bufferBytes) const
{
    QString value;
    if (!buffer || !queryString(name, value))
        return false;
    const size_t needed = (size_t(value.size()) + 1) * sizeof(char16_t);
    if (needed > bufferBytes)
        return false;
    std::memcpy(buffer, value.utf16(), size_t(value.size()) * sizeof(char16_t));
    buffer[value.size()] = 0;
    return true;
}

void RegKey::close()
{
    m_open = false;
    m_path.clear();
}

bool RegKey::flush() const
{
    if (!m_open)
        return false;
    // Values are written through a temporary file renamed over the hive, so
    // a flush makes both the hive's contents and its folder entry durable.
    std::lock_guard<std::mutex> lock(g_mutex);
    const QString path = hivePath(m_hive);
    const auto syncPath = [](const QString& p, int flags) {
        const int fd = ::open(QFile::encodeName(p).constData(), flags | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool ok = ::fsync(fd) == 0;
        ::close(fd);
        return ok;
    };
    return syncPath(path, O_RDONLY) && syncPath(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY);
}

bool regSetString(Hive hive, const QString& keyPath, const QString& name, const QString& value)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Hive_ h;
    readHive(hive, h);
    auto& entry = h.keys[normalKey(keyPath)];
    if (entry.first.isEmpty())
        entry.first = keyPath;
    entry.second[name.toLower()] = {name, value};
    return writeHive(hive, h);
}

} // namespace platform
