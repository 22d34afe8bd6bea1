#include "UsbCopy.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "devkit/DevkitFs.h"
#include "platform/DevicePath.h"

namespace pellam::service {

namespace {
QString destination(const QString& serial, const char* ending)
{
    return QString::fromUtf16(kCopyFolder) + QStringLiteral("TQ80(82)") + serial + QLatin1String(ending);
}
} // namespace

QString errorLogDestination(const QString& serial) { return destination(serial, " Error_Log.txt"); }

QString resultsDestination(const QString& serial) { return destination(serial, " Diagnostics_Results.txt"); }

std::optional<QChar> forbiddenFileNameChar(const QString& text)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar c : text)
        if (c.unicode() < 0x20 || forbidden.contains(c))
            return c;
    return std::nullopt;
}

bool usbDrivePresent() { return DevkitFs::DirExists(QString::fromUtf16(kUsbDrive)); }

bool makeCopyFolder()
{
    const QString host = platform::hostPath(QString::fromUtf16(kCopyFolder));
    return !host.isEmpty() && QDir().mkpath(host);
}

FileCopy copyReplacing(const QString& source, const QString& destinationPath)
{
    FileCopy result;
    result.sourceFound = DevkitFs::FileExists(source);
    if (!result.sourceFound)
        return result;
    const QString from = platform::hostPath(source);
    const QString to = platform::hostPath(destinationPath);
    bool done = false;
    if (!to.isEmpty()) {
        QFile in(from);
        QSaveFile out(to);
        if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly)) {
            bool ok = true;
            QByteArray chunk;
            while (ok && !(chunk = in.read(1 << 20)).isEmpty())
                ok = out.write(chunk) == chunk.size();
            if (ok && in.error() == QFileDevice::NoError)
                done = out.commit();
            else
                out.cancelWriting();
        }
    }
    // A failed copy beside an old file of that name is no copy: the old one
    // must not pass for this printer's current file.
    result.copied = done && DevkitFs::FileExists(destinationPath);
    return result;
}

} // namespace pellam::service
