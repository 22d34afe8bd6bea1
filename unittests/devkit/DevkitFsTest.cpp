#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "devkit/DevkitFs.h"
#include "platform/DevicePath.h"

namespace {

TEST(DevkitFs, TellsFoldersFromFilesBelowTheDeviceRoot)
{
    QTemporaryDir root;
    platform::setDeviceRoot(root.path());
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("Hard Disk/TQ80(82) Diagnostics Files")));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("Store")));
    QFile f(root.filePath(QStringLiteral("Store/Error_Log.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    EXPECT_TRUE(DevkitFs::DirExists(QStringLiteral("\\Hard Disk")));
    EXPECT_TRUE(DevkitFs::DirExists(QStringLiteral("\\hard disk\\TQ80(82) Diagnostics Files\\")));
    EXPECT_FALSE(DevkitFs::FileExists(QStringLiteral("\\Hard Disk")));
    EXPECT_TRUE(DevkitFs::FileExists(QStringLiteral("\\store\\Error_Log.txt")));
    EXPECT_FALSE(DevkitFs::DirExists(QStringLiteral("\\store\\Error_Log.txt")));
    EXPECT_FALSE(DevkitFs::FileExists(QStringLiteral("\\store\\Diagnostics_Results.txt")));
    EXPECT_FALSE(DevkitFs::DirExists(QStringLiteral("\\USB Disk")));
    EXPECT_FALSE(DevkitFs::DirExists(QString()));
    EXPECT_FALSE(DevkitFs::DirExists(QStringLiteral("\\..")));
    platform::setDeviceRoot(QString());
}

} // namespace
