#include "DevkitFs.h"

#include <QFileInfo>

#include "platform/DevicePath.h"

namespace DevkitFs {

namespace {
QString mapped(const QString& path)
{
    // The platform knows no current folder: every path counts from the root.
    return path.isEmpty() ? QString() : platform::hostPath(path);
}
} // namespace

bool DirExists(const QString& path)
{
    const QString host = mapped(path);
    return !host.isEmpty() && QFileInfo(host).isDir();
}

bool FileExists(const QString& path)
{
    const QString host = mapped(path);
    return !host.isEmpty() && QFileInfo(host).isFile();
}

} // namespace DevkitFs
