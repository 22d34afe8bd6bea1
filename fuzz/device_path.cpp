// Device paths: any text as a device path below a scratch root that holds
// folders, a file and links (inside and outside the root). Checks: no crash;
// a path is refused or maps below the root, and never through a link whose
// target lies outside it.
#include <cstdint>
#include <cstdlib>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/DevicePath.h"
#include "fuzz/FuzzSupport.h"

namespace {

struct Scratch {
    QTemporaryDir root;
    QTemporaryDir outside;
    QString realRoot;
    Scratch()
    {
        QDir(root.path()).mkpath(QStringLiteral("Store/Profiles"));
        QDir(root.path()).mkpath(QStringLiteral("Hard Disk/Logs"));
        QFile f(root.filePath(QStringLiteral("Store/Error_Log.txt")));
        (void)f.open(QIODevice::WriteOnly);
        QDir(outside.path()).mkpath(QStringLiteral("secret"));
        QFile::link(outside.path(), root.filePath(QStringLiteral("Store/Out")));
        QFile::link(outside.filePath(QStringLiteral("new.txt")), root.filePath(QStringLiteral("Store/Dangling")));
        QFile::link(root.filePath(QStringLiteral("Store/Profiles")), root.filePath(QStringLiteral("Store/In")));
        QFile::link(QStringLiteral("../.."), root.filePath(QStringLiteral("Hard Disk/Up")));
        realRoot = QFileInfo(root.path()).canonicalFilePath();
        platform::setDeviceRoot(root.path());
    }
};

bool inside(const QString& real, const QString& root)
{
    return real == root || real.startsWith(root + u'/');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Scratch scratch;
    const QString device = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString host = platform::hostPath(device);
    (void)platform::userFilePath(device);
    if (host.isEmpty())
        return 0;
    fuzzing::check(host.startsWith(scratch.root.path()));
    // The longest part of the mapped path that exists lies inside the root.
    QString existing = host;
    while (!QFileInfo(existing).exists() && !QFileInfo(existing).isSymLink() && existing.size() > scratch.root.path().size())
        existing = QFileInfo(existing).path();
    const QFileInfo last(existing);
    const QString real = last.isSymLink() && !last.exists() ? QFileInfo(last.symLinkTarget()).absolutePath()
                                                            : last.canonicalFilePath();
    const QString realFolder = QFileInfo(real).canonicalFilePath();
    fuzzing::check(!realFolder.isEmpty() && inside(realFolder, scratch.realRoot));
    return 0;
}
