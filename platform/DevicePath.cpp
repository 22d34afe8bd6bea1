#include "DevicePath.h"

#include <cstdlib>
#include <mutex>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {
std::mutex g_rootMutex;
QString g_root; // empty: default
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
    return programFolder() + QStringLiteral("device");
}

void setDeviceRoot(const QString& hostFolder)
{
    std::lock_guard<std::mutex> lock(g_rootMutex);
    g_root = hostFolder.isEmpty() ? QString() : QDir::cleanPath(hostFolder);
}

QString hostPath(const QString& devicePath)
{
    QString normal = devicePath;
    normal.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QStringList parts = normal.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString current = deviceRoot();
    bool exists = QFileInfo(current).isDir();
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
