#include "sim/printer/DeviceFiles.h"

#include <QDir>
#include <QFileInfo>

#include "platform/DevicePath.h"

namespace sim::files {

QString outputPath(RequestContext& ctx, const QString& name, const char* what)
{
    const QString label = QLatin1String(what);
    if (name.trimmed().isEmpty()) {
        ctx.refuse(label + QStringLiteral(": no file name"));
        return QString();
    }
    QString host;
    if (name.startsWith(QLatin1Char('/'))) {
        const QString root = QDir(platform::deviceRoot()).absolutePath() + QLatin1Char('/');
        const QString clean = QDir::cleanPath(name);
        if (!clean.startsWith(root)) {
            ctx.refuse(label + QStringLiteral(" %1 is outside the device root %2").arg(name, root));
            return QString();
        }
        host = clean;
    } else {
        host = platform::hostPath(name.startsWith(QLatin1Char('\\')) ? name : QLatin1Char('\\') + name);
        if (host.isEmpty()) {
            ctx.refuse(label + QStringLiteral(" %1 is not a valid device path").arg(name));
            return QString();
        }
    }
    const QFileInfo info(host);
    if (!info.absoluteDir().exists()) {
        ctx.refuse(label + QStringLiteral(": folder %1 does not exist").arg(info.absolutePath()));
        return QString();
    }
    if (info.isDir()) {
        ctx.refuse(label + QStringLiteral(" %1 is a folder").arg(name));
        return QString();
    }
    return host;
}

QString spoolFolder()
{
    const QString folder = platform::hostPath(QStringLiteral("\\Simulator\\Spool"));
    QDir().mkpath(folder);
    return folder;
}

} // namespace sim::files
