#include "DevicePath.h"

#include <cstdlib>
#include <mutex>
#include <QDir>
#include <QFileInfo>

#include "platform/DataFolder.h"

namespace platform {

namespace {
std::mutex g_rootMutex;
QString g_root;     // empty: default
QString g_hardDisk; // empty: the environment, else below the root
} // namespace

QString programFolder()
{
    // The link /proc/self/exe names the running program, like the module
    // file name on the device.
    QFileInfo exe(QStringLiteral("/proc/self/exe"));
    QString path = exe.symLinkTarget();
    if (path.isEmpty())
        path = QDir::currentPath() + QStringLiteral("/program");
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1);
}

QString deviceRoot()
{
    {
        std::lock_guard<std::mutex> lock(g_rootMutex);
        if (!g_root.isEmpty())
            return g_root;
    }
    const char* env = std::getenv("DIAG_DEVICE_ROOT");
    if (env && *env)
        return QDir::cleanPath(QString::fromLocal8Bit(env));
    return dataFolder() + QStringLiteral("device");
}

void setDeviceRoot(const QString& hostFolder)
{
    std::lock_guard<std::mutex> lock(g_rootMutex);
    g_root = hostFolder.isEmpty() ? QString() : QDir::cleanPath(hostFolder);
}

QString hardDiskFolder()
{
    {
        std::lock_guard<std::mutex> lock(g_rootMutex);
        if (!g_hardDisk.isEmpty())
            return g_hardDisk;
    }
    const char* env = std::getenv("DIAG_HARD_DISK");
    if (env && *env)
        return QDir::cleanPath(QString::fromLocal8Bit(env));
    return QString();
}

void setHardDiskFolder(const QString& hostFolder)
{
    std::lock_guard<std::mutex> lock(g_rootMutex);
    g_hardDisk = hostFolder.isEmpty() ? QString() : QDir::cleanPath(hostFolder);
}

namespace {

bool within(const QString& path, const QString& root)
{
    return path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

// False when the entry at `path` is a symbolic link whose target lies
// outside `realRoot` (the canonical device root), followed to its end. A
// dangling link counts by where it would create its file.
bool staysInside(const QString& path, const QString& realRoot)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return true;
    const QString real = info.canonicalFilePath();
    if (!real.isEmpty())
        return within(real, realRoot);
    // Dangling: judge the folder it points into.
    QFileInfo target(info.symLinkTarget());
    for (int hops = 0; hops < 32 && target.isSymLink(); ++hops) {
        if (!target.canonicalFilePath().isEmpty())
            return within(target.canonicalFilePath(), realRoot);
        target = QFileInfo(target.symLinkTarget());
    }
    if (target.isSymLink())
        return false;
    const QString folder = QFileInfo(target.absolutePath()).canonicalFilePath();
    return !folder.isEmpty() && within(folder, realRoot);
}

} // namespace

QString hostPath(const QString& devicePath)
{
    // No file name holds a zero character: refused here, before every file
    // function the mapping calls refuses it again with a warning.
    if (devicePath.contains(QChar(u'\0')))
        return QString();
    QString normal = devicePath;
    normal.replace(QLatin1Char('/'), QLatin1Char('\\'));
    QStringList parts = normal.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString current = deviceRoot();
    if (!parts.isEmpty() && parts.first().compare(QLatin1String("Hard Disk"), Qt::CaseInsensitive) == 0) {
        const QString drive = hardDiskFolder();
        if (!drive.isEmpty()) {
            current = drive;
            parts.removeFirst();
        }
    }
    bool exists = QFileInfo(current).isDir();
    // Links below the root may not lead out of it, as ".." may not.
    const QString realRoot = exists ? QFileInfo(current).canonicalFilePath() : QString();
    for (const QString& part : parts) {
        if (part == QLatin1String(".."))
            return QString();
        if (part == QLatin1String("."))
            continue;
        QString name = part;
        if (exists) {
            QDir dir(current);
            // An exact match wins; otherwise the first entry that differs only
            // in case.
            if (!QFileInfo::exists(current + QLatin1Char('/') + part)) {
                const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
                for (const QString& e : entries) {
                    if (e.compare(part, Qt::CaseInsensitive) == 0) {
                        name = e;
                        break;
                    }
                }
            }
        }
        current += QLatin1Char('/') + name;
        if (exists && !staysInside(current, realRoot))
            return QString();
        exists = exists && QFileInfo(current).isDir();
    }
    return current;
}

QString userFilePath(const QString& path)
{
    if (path.startsWith(QLatin1Char('\\')))
        return hostPath(path);
    return path;
}

} // namespace platform
