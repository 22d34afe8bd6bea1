#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/CodePage.h"
#include "platform/DevicePath.h"
#include "platform/Registry.h"

using namespace platform;

TEST(CodePageTest, RoundTripsEveryAssignedByte)
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D)
            all.append(char(b));
    EXPECT_EQ(toAnsi(fromAnsi(all)), all);
    EXPECT_EQ(fromAnsi(QByteArray("\x80\x99")), QString::fromUtf8("€™"));
}

TEST(CodePageTest, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(toAnsi(QString::fromUtf8("a\u4e2db\U0001F600c")), QByteArray("a?b?c"));
    EXPECT_EQ(toAnsi(QString::fromUtf8("Ω")), QByteArray("?"));
    EXPECT_EQ(toAnsi(QString::fromUtf8("é")), QByteArray("\xE9"));
}

struct DeviceRootFixture : ::testing::Test {
    QTemporaryDir dir;
    void SetUp() override
    {
        setDeviceRoot(dir.path());
        QDir(dir.path()).mkpath(QStringLiteral("Store/Logs"));
        QFile f(dir.filePath(QStringLiteral("Store/Error_Log.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    void TearDown() override { setDeviceRoot(QString()); }
};

TEST_F(DeviceRootFixture, MapsComponentsWithoutRegardToCase)
{
    const QString expected = dir.path() + QStringLiteral("/Store/Error_Log.txt");
    EXPECT_EQ(hostPath(QStringLiteral("\\Store\\Error_Log.txt")), expected);
    EXPECT_EQ(hostPath(QStringLiteral("\\store\\error_log.TXT")), expected);
    EXPECT_EQ(hostPath(QStringLiteral("\\STORE\\logs")), dir.path() + QStringLiteral("/Store/Logs"));
}

TEST_F(DeviceRootFixture, MissingComponentsKeepTheirSpelling)
{
    EXPECT_EQ(hostPath(QStringLiteral("\\store\\New Folder\\a.txt")),
              dir.path() + QStringLiteral("/Store/New Folder/a.txt"));
    EXPECT_EQ(hostPath(QStringLiteral("\\Hard Disk\\TQ80(82) Diagnostics Files\\")),
              dir.path() + QStringLiteral("/Hard Disk/TQ80(82) Diagnostics Files"));
}

TEST_F(DeviceRootFixture, RefusesPathsThatLeaveTheRoot)
{
    EXPECT_TRUE(hostPath(QStringLiteral("\\Store\\..\\..\\etc\\passwd")).isEmpty());
    EXPECT_TRUE(hostPath(QStringLiteral("\\..")).isEmpty());
    // A zero character, which no file name holds.
    EXPECT_TRUE(hostPath(QStringLiteral("\\Store\\Error_Log.txt") + QChar(u'\0') + QStringLiteral("x")).isEmpty());
    EXPECT_TRUE(hostPath(QString(1, QChar(u'\0'))).isEmpty());
    EXPECT_EQ(hostPath(QStringLiteral("\\")), dir.path());
}

TEST_F(DeviceRootFixture, RefusesLinksBelowTheRootThatLeadOutOfIt)
{
    QTemporaryDir outside;
    QDir(outside.path()).mkpath(QStringLiteral("secrets"));
    QDir(dir.path()).mkpath(QStringLiteral("Store/Profiles"));
    const QString store = dir.filePath(QStringLiteral("Store"));
    ASSERT_TRUE(QFile::link(outside.path(), store + QStringLiteral("/Out")));
    ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("new.txt")), store + QStringLiteral("/Dangling.txt")));
    ASSERT_TRUE(QFile::link(store + QStringLiteral("/Out"), store + QStringLiteral("/Chain")));
    ASSERT_TRUE(QFile::link(store + QStringLiteral("/Profiles"), store + QStringLiteral("/Inside")));
    ASSERT_TRUE(QFile::link(store + QStringLiteral("/Profiles/new.txt"), store + QStringLiteral("/Pending.txt")));

    const struct {
        const char* device;
        bool refused;
    } cases[] = {
        {"\\Store\\Out", true},
        {"\\Store\\out\\secrets\\key.txt", true}, // matched without regard to case
        {"\\Store\\Dangling.txt", true},          // would create its file outside
        {"\\Store\\Chain\\x.txt", true},
        {"\\Store\\Inside\\up.txt", false},      // a link that stays below the root
        {"\\Store\\Pending.txt", false},          // dangling, but into the root
        {"\\Store\\Error_Log.txt", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hostPath(QString::fromLatin1(c.device)).isEmpty(), c.refused) << c.device;
}

TEST_F(DeviceRootFixture, HardDiskStandsForItsOwnFolderWhenOneIsSet)
{
    QTemporaryDir stick;
    QDir(stick.path()).mkpath(QStringLiteral("Profiles"));
    const QString below = dir.path() + QStringLiteral("/Hard Disk/Profiles/a.txt");
    EXPECT_EQ(hostPath(QStringLiteral("\\Hard Disk\\Profiles\\a.txt")), below);

    // By the environment, and by the setter, which wins over it.
    qputenv("DIAG_HARD_DISK", QFile::encodeName(stick.path()));
    EXPECT_EQ(hostPath(QStringLiteral("\\hard disk\\PROFILES\\a.txt")), stick.path() + QStringLiteral("/Profiles/a.txt"));
    EXPECT_EQ(hostPath(QStringLiteral("\\Hard Disk")), stick.path());
    EXPECT_EQ(hostPath(QStringLiteral("\\Store\\Error_Log.txt")), dir.path() + QStringLiteral("/Store/Error_Log.txt"))
        << "only \\Hard Disk moves";
    EXPECT_EQ(hostPath(QStringLiteral("\\Hard Disks\\a.txt")), dir.path() + QStringLiteral("/Hard Disks/a.txt"));
    // The drive's folder is a root of its own: nothing leads out of it.
    EXPECT_TRUE(hostPath(QStringLiteral("\\Hard Disk\\..\\Store")).isEmpty());
    ASSERT_TRUE(QFile::link(dir.path(), stick.filePath(QStringLiteral("out"))));
    EXPECT_TRUE(hostPath(QStringLiteral("\\Hard Disk\\out\\Store")).isEmpty());

    QTemporaryDir other;
    setHardDiskFolder(other.path());
    EXPECT_EQ(hostPath(QStringLiteral("\\Hard Disk\\x")), other.path() + QStringLiteral("/x"));
    setHardDiskFolder(QString());
    qunsetenv("DIAG_HARD_DISK");
    EXPECT_EQ(hostPath(QStringLiteral("\\Hard Disk\\Profiles\\a.txt")), below);
}

TEST_F(DeviceRootFixture, UserFilePathMapsOnlyDevicePaths)
{
    EXPECT_EQ(userFilePath(QStringLiteral("\\store\\Error_Log.txt")), dir.path() + QStringLiteral("/Store/Error_Log.txt"));
    EXPECT_EQ(userFilePath(QStringLiteral("/tmp/x.txt")), QStringLiteral("/tmp/x.txt"));
}

TEST_F(DeviceRootFixture, RegistryHitAndMiss)
{
    const QString key = QStringLiteral("Software\\ZXQ\\SysSetup\\LocalSetup");
    RegKey k;
    EXPECT_FALSE(k.open(Hive::LocalMachine, key)); // no hive yet
    ASSERT_TRUE(regSetString(Hive::LocalMachine, key, QStringLiteral("LanguagePrefix"), QStringLiteral("DE_")));
    EXPECT_FALSE(k.open(Hive::LocalMachine, QStringLiteral("Software\\Other")));
    EXPECT_FALSE(k.open(Hive::CurrentUser, key));
    ASSERT_TRUE(k.open(Hive::LocalMachine, QStringLiteral("software\\zxq\\syssetup\\localsetup")));
    char16_t buffer[256];
    ASSERT_TRUE(k.queryString(QStringLiteral("languageprefix"), buffer, sizeof buffer));
    EXPECT_EQ(QString::fromUtf16(buffer), QStringLiteral("DE_"));
    EXPECT_FALSE(k.queryString(QStringLiteral("Missing"), buffer, sizeof buffer));
    EXPECT_FALSE(k.queryString(QStringLiteral("LanguagePrefix"), buffer, 6)); // no room for the terminator
    EXPECT_TRUE(k.flush());
    k.close();
    EXPECT_FALSE(k.queryString(QStringLiteral("LanguagePrefix"), buffer, sizeof buffer));
    EXPECT_FALSE(k.flush()) << "a closed key";

    // A hive removed under an open key cannot be flushed.
    ASSERT_TRUE(k.open(Hive::LocalMachine, key));
    ASSERT_TRUE(QFile::remove(hostPath(QStringLiteral("\\Registry\\HKLM.reg"))));
    EXPECT_FALSE(k.flush());
}

TEST_F(DeviceRootFixture, RegistryNamesAndValuesReadBackAsWritten)
{
    // Names and values with the hive's own quote, escape and '=' characters.
    const QString key = QStringLiteral("Software\\ZXQ\\SysSetup\\LocalSetup");
    const struct {
        const char* name;
        const char* value;
    } cases[] = {
        {"=[f/]", "x"},            // a name that starts with '='
        {"a\"=b", "c"},           // a quote and '=' inside a name
        {"path\\", "\\Hard Disk\\"}, // backslashes at the ends
        {"q", "say \"hi\"\\"},      // quotes and a backslash in a value
        {"spaces", "  padded  "},
    };
    for (const auto& c : cases)
        ASSERT_TRUE(regSetString(Hive::CurrentUser, key, QString::fromLatin1(c.name), QString::fromLatin1(c.value)));
    RegKey k;
    ASSERT_TRUE(k.open(Hive::CurrentUser, key));
    for (const auto& c : cases) {
        QString back;
        EXPECT_TRUE(k.queryString(QString::fromLatin1(c.name), back)) << c.name;
        EXPECT_EQ(back, QString::fromLatin1(c.value)) << c.name;
    }
}

TEST(ProgramFolderTest, EndsWithSeparatorAndHoldsTheTestProgram)
{
    const QString folder = programFolder();
    ASSERT_TRUE(folder.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("platform_tests")));
}
