// Where an installed program keeps its data, and the one seeding of it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "platform/DataFolder.h"
#include "platform/DevicePath.h"

using namespace platform;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(path);
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Sets an environment variable for one test and puts the old value back.
class EnvScope {
public:
    EnvScope(const char* name, std::optional<QByteArray> value) : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name))
            m_old = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvScope()
    {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

// A starter tree as the installation lays it out, under share/.
struct Installed : ::testing::Test {
    QTemporaryDir dir;
    QString bin, starter;
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        bin = dir.filePath(QStringLiteral("usr/bin")) + QLatin1Char('/');
        starter = dir.filePath(QStringLiteral("usr/share/printer-diagnostics"));
        QDir().mkpath(bin);
        writeFile(starter + QStringLiteral("/Vantor.ini"), "\r\n[platen]\r\ncycle = 10\r\n");
        writeFile(starter + QStringLiteral("/device/Registry/HKLM.reg"), "[Software]\n");
        writeFile(starter + QStringLiteral("/device/Hard Disk/Profiles/PlatenRampUp.txt"), "100\n200\n");
        QFile::setPermissions(starter + QStringLiteral("/Vantor.ini"), QFile::ReadOwner | QFile::ReadGroup);
    }
};

} // namespace

TEST(DataFolderChoiceTest, TheProgramFolderOnlyWhenNotInstalledAndWritable)
{
    struct Case {
        bool installed, writable, userData;
    };
    for (const Case c : {Case{false, true, false}, Case{false, false, true}, Case{true, true, true},
                         Case{true, false, true}}) {
        const DataFolderChoice choice =
            chooseDataFolder(QStringLiteral("/opt/diag/bin"), c.writable,
                             c.installed ? QStringLiteral("/opt/diag/share/printer-diagnostics") : QString(),
                             QStringLiteral("/home/u/.local/share/printer-diagnostics"));
        SCOPED_TRACE(testing::Message() << "installed " << c.installed << " writable " << c.writable);
        EXPECT_EQ(choice.userData, c.userData);
        EXPECT_EQ(choice.folder, c.userData ? QStringLiteral("/home/u/.local/share/printer-diagnostics/")
                                            : QStringLiteral("/opt/diag/bin/"));
    }
}

TEST(DataFolderChoiceTest, UserFolderFollowsXdgDataHomeWhenAbsolute)
{
    EnvScope home("HOME", QByteArray("/home/tech"));
    {
        EnvScope xdg("XDG_DATA_HOME", QByteArray("/srv/data/"));
        EXPECT_EQ(userDataFolder(), QStringLiteral("/srv/data/printer-diagnostics/"));
    }
    for (std::optional<QByteArray> ignored : {std::optional<QByteArray>(), std::optional<QByteArray>(""),
                                              std::optional<QByteArray>("relative/data")}) {
        EnvScope xdg("XDG_DATA_HOME", ignored);
        EXPECT_EQ(userDataFolder(), QStringLiteral("/home/tech/.local/share/printer-diagnostics/"));
    }
}

TEST(DataFolderChoiceTest, WritableMeansAnExistingFolderThisProcessMayWriteIn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(folderWritable(dir.path()));
    EXPECT_FALSE(folderWritable(dir.filePath(QStringLiteral("missing"))));
    writeFile(dir.filePath(QStringLiteral("file")), "x");
    EXPECT_FALSE(folderWritable(dir.filePath(QStringLiteral("file"))));
    EXPECT_FALSE(folderWritable(QString()));
}

TEST_F(Installed, StarterFilesAreFoundFromTheProgramFolderOnly)
{
    EXPECT_EQ(installedStarterFolder(bin), QDir::cleanPath(starter));
    // A build folder, its Vantor.ini and device root beside the program and
    // no share/ above it: not installed.
    const QString build = dir.filePath(QStringLiteral("build/bin/"));
    writeFile(build + QStringLiteral("Vantor.ini"), "x");
    QDir().mkpath(build + QStringLiteral("device"));
    EXPECT_EQ(installedStarterFolder(build), QString());
    // Half an installation (no device root) is none.
    QDir(starter + QStringLiteral("/device")).removeRecursively();
    EXPECT_EQ(installedStarterFolder(bin), QString());
}

TEST_F(Installed, SeedingCopiesTheWholeTreeOnceAndThenLeavesTheUserData)
{
    const QString data = dir.filePath(QStringLiteral("home/.local/share/printer-diagnostics"));
    bool seeded = false;
    QString error;
    ASSERT_TRUE(seedOnce(starter, data, &seeded, &error)) << qPrintable(error);
    EXPECT_TRUE(seeded);
    EXPECT_EQ(readFile(data + QStringLiteral("/Vantor.ini")), readFile(starter + QStringLiteral("/Vantor.ini")));
    EXPECT_EQ(readFile(data + QStringLiteral("/device/Hard Disk/Profiles/PlatenRampUp.txt")), QByteArray("100\n200\n"));
    EXPECT_EQ(readFile(data + QStringLiteral("/device/Registry/HKLM.reg")), QByteArray("[Software]\n"));
    // A read-only installed file is the user's own to change once copied.
    EXPECT_TRUE(QFile::permissions(data + QStringLiteral("/Vantor.ini")) & QFile::WriteOwner);
    // No scratch folder is left beside it.
    EXPECT_EQ(QDir(QFileInfo(data).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("printer-diagnostics")});

    // The user changes one file and deletes another: a second start keeps both so.
    writeFile(data + QStringLiteral("/device/Registry/HKLM.reg"), "changed");
    QFile::remove(data + QStringLiteral("/Vantor.ini"));
    ASSERT_TRUE(seedOnce(starter, data, &seeded, &error));
    EXPECT_FALSE(seeded);
    EXPECT_EQ(readFile(data + QStringLiteral("/device/Registry/HKLM.reg")), QByteArray("changed"));
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/Vantor.ini")));
}

TEST_F(Installed, ATargetBelowTheStarterIsNotCopiedIntoItself)
{
    const QString data = starter + QStringLiteral("/home/printer-diagnostics");
    bool seeded = false;
    QString error;
    ASSERT_TRUE(seedOnce(starter, data, &seeded, &error)) << qPrintable(error);
    EXPECT_TRUE(seeded);
    EXPECT_EQ(readFile(data + QStringLiteral("/Vantor.ini")), readFile(starter + QStringLiteral("/Vantor.ini")));
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/home/printer-diagnostics")));
}

TEST_F(Installed, ASeedThatCannotBeMadeFailsAndCreatesNothing)
{
    writeFile(dir.filePath(QStringLiteral("blocked")), "a file where the folder would go");
    const QString data = dir.filePath(QStringLiteral("blocked/printer-diagnostics"));
    bool seeded = true;
    QString error;
    EXPECT_FALSE(seedOnce(starter, data, &seeded, &error));
    EXPECT_FALSE(seeded);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(data));
}

TEST(DataFolderTest, DeviceRootAndSettingsFollowTheDataFolder)
{
    EnvScope root("DIAG_DEVICE_ROOT", std::nullopt);
    EXPECT_EQ(dataFolder(), programFolder());
    EXPECT_EQ(deviceRoot(), programFolder() + QStringLiteral("device"));
    useDataFolder(QStringLiteral("/home/tech/.local/share/printer-diagnostics"));
    EXPECT_EQ(dataFolder(), QStringLiteral("/home/tech/.local/share/printer-diagnostics/"));
    EXPECT_EQ(deviceRoot(), QStringLiteral("/home/tech/.local/share/printer-diagnostics/device"));
    {
        // The environment still points the device root elsewhere.
        EnvScope other("DIAG_DEVICE_ROOT", QByteArray("/tmp/other-root"));
        EXPECT_EQ(deviceRoot(), QStringLiteral("/tmp/other-root"));
    }
    useDataFolder(QString());
    EXPECT_EQ(dataFolder(), programFolder());
}
