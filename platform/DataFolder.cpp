#include "platform/DataFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

#include "platform/DevicePath.h"

#ifndef DIAG_STARTER_FROM_BIN
#define DIAG_STARTER_FROM_BIN "../share/printer-diagnostics"
#endif

namespace platform {

namespace {
std::mutex g_mutex;
QString g_folder; // empty: the program's folder

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
} // namespace

QString dataFolder()
{
    {
        std::lock_guard lock(g_mutex);
        if (!g_folder.isEmpty())
            return g_folder;
    }
    return programFolder();
}

void useDataFolder(const QString& folder)
{
    std::lock_guard lock(g_mutex);
    g_folder = folder.isEmpty() ? QString() : withSlash(QDir::cleanPath(folder));
}

bool folderWritable(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString userDataFolder()
{
    const QString name = QString::fromLatin1(kDataFolderName);
    const QString xdg = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    // The base directory rules: a relative path is to be ignored.
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return withSlash(QDir::cleanPath(xdg + QLatin1Char('/') + name));
    QString home = QString::fromLocal8Bit(qgetenv("HOME"));
    if (home.isEmpty())
        home = QDir::homePath();
    return withSlash(QDir::cleanPath(home + QStringLiteral("/.local/share/") + name));
}

QString installedStarterFolder(const QString& programFolder)
{
    if (programFolder.isEmpty())
        return QString();
    const QString starter = QDir::cleanPath(withSlash(programFolder) + QStringLiteral(DIAG_STARTER_FROM_BIN));
    if (!QFileInfo(starter + QStringLiteral("/Vantor.ini")).isFile() || !QFileInfo(starter + QStringLiteral("/device")).isDir())
        return QString();
    return starter;
}

DataFolderChoice chooseDataFolder(const QString& programFolder, bool programFolderWritable,
                                  const QString& starterFolder, const QString& userFolder)
{
    DataFolderChoice c;
    c.starter = starterFolder;
    // Installed: even where the program could write (root, a prefix in the
    // home folder), the installation is not the user's to change.
    if (starterFolder.isEmpty() && programFolderWritable) {
        c.folder = withSlash(programFolder);
        return c;
    }
    c.folder = withSlash(userFolder);
    c.userData = true;
    return c;
}

bool seedOnce(const QString& starter, const QString& target, bool* seeded, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (seeded)
        *seeded = false;
    const QString to = QDir::cleanPath(target);
    if (QFileInfo::exists(to))
        return true;
    const QString parent = QFileInfo(to).path();
    if (!QDir().mkpath(parent))
        return fail(QStringLiteral("cannot create %1").arg(parent));
    // The tree is listed before anything is made, so a target below the
    // starter folder is never copied into itself.
    QStringList entries;
    QDirIterator it(starter, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << it.next();
    QTemporaryDir scratch(parent + QStringLiteral("/.") + QFileInfo(to).fileName() + QStringLiteral("-seed-XXXXXX"));
    if (!scratch.isValid())
        return fail(QStringLiteral("cannot create a folder in %1: %2").arg(parent, scratch.errorString()));
    const QDir from(starter);
    for (const QString& src : entries) {
        const QString dst = scratch.filePath(from.relativeFilePath(src));
        const QFileInfo info(src);
        if (info.isDir()) {
            if (!QDir().mkpath(dst))
                return fail(QStringLiteral("cannot create %1").arg(dst));
            continue;
        }
        QDir().mkpath(QFileInfo(dst).path());
        if (!QFile::copy(src, dst))
            return fail(QStringLiteral("cannot copy %1").arg(src));
        // Installed files are read-only; the user's copies are the user's to change.
        QFile::setPermissions(dst, QFile::permissions(dst) | QFile::WriteOwner | QFile::ReadOwner);
    }
    QFile::setPermissions(scratch.path(), QFile::permissions(scratch.path()) | QFile::WriteOwner | QFile::ExeOwner);
    if (!QDir().rename(scratch.path(), to)) {
        // Another start got there first: its seed serves.
        if (QFileInfo::exists(to))
            return true;
        return fail(QStringLiteral("cannot rename %1 to %2").arg(scratch.path(), to));
    }
    scratch.setAutoRemove(false);
    if (seeded)
        *seeded = true;
    return true;
}

DataFolderChoice prepareDataFolder()
{
    const QString program = programFolder();
    DataFolderChoice c = chooseDataFolder(program, folderWritable(program), installedStarterFolder(program),
                                          userDataFolder());
    if (c.userData && !c.starter.isEmpty())
        seedOnce(c.starter, c.folder, &c.seeded, &c.error);
    useDataFolder(c.folder);
    return c;
}

} // namespace platform
