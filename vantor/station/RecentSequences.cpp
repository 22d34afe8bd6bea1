#include "vantor/station/RecentSequences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/DevicePath.h"
#include "vantor/settings/TestSettingsStore.h"

namespace vantor::station {

namespace {
QString normalised(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

RecentSequences::RecentSequences(QString file) : m_file(std::move(file))
{
    QFile f(m_file);
    if (m_file.isEmpty() || !f.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        line = normalised(line);
        if (!m_paths.contains(line))
            m_paths << line;
        if (m_paths.size() == kKept)
            break;
    }
}

QString RecentSequences::defaultFile()
{
    const QString settings = SettingsPath();
    const QString folder = settings.isEmpty() ? platform::programFolder() : QFileInfo(settings).absolutePath();
    return QDir(folder).filePath(QStringLiteral("Station.recent"));
}

bool RecentSequences::add(const QString& path)
{
    const QString p = normalised(path);
    m_paths.removeAll(p);
    m_paths.prepend(p);
    while (m_paths.size() > kKept)
        m_paths.removeLast();
    return save();
}

bool RecentSequences::save() const
{
    if (m_file.isEmpty())
        return true;
    // Written beside and renamed over, so a crash never leaves half a list.
    QSaveFile f(m_file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write((m_paths.join(u'\n') + u'\n').toUtf8());
    return f.commit();
}

} // namespace vantor::station
