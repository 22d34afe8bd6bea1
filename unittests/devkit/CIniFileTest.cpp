#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "devkit/CIniFile.h"
#include "platform/DevicePath.h"

namespace {

class IniFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDeviceRoot(root.path());
        QDir(root.path()).mkpath(QStringLiteral("boot"));
    }
    void TearDown() override { platform::setDeviceRoot(QString()); }
    void write(const QByteArray& bytes)
    {
        QFile f(root.filePath(QStringLiteral("boot/Pellam.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QTemporaryDir root;
    CIniFile ini;
};

TEST_F(IniFile, ReadsValuesOfTheCurrentSection)
{
    write("; PEB values\r\n"
          "[Other]\r\n"
          "defaultUCN2PL=1\r\n"
          "[General]\r\n"
          "  defaultUCN2PL = 1850  \r\n"
          "# a comment\r\n"
          "toleranceUCN2PL=\"120\"\r\n"
          "defaultUCN2PL=9999\r\n"
          "empty=\r\n"
          "defaultCWPrintOffset=-20");
    ASSERT_TRUE(ini.LoadIniFile(QStringLiteral("\\BOOT\\pellam.INI"))) << "device paths ignore case";
    ASSERT_TRUE(ini.CurrentSection(QStringLiteral("General")));
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("defaultUCN2PL")), "1850") << "first occurrence wins";
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("DEFAULTucn2pl")), "1850");
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("toleranceUCN2PL")), "120");
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("defaultCWPrintOffset")), "-20") << "last line without line end";
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("empty")), "");
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("toleranceDSN2PL")), "") << "missing key";

    ASSERT_TRUE(ini.CurrentSection(QStringLiteral("other")));
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("defaultUCN2PL")), "1");
    EXPECT_FALSE(ini.CurrentSection(QStringLiteral("Missing")));
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("defaultUCN2PL")), "");
}

TEST_F(IniFile, AMissingOrOversizedFileLeavesItEmpty)
{
    write("[General]\nk=v\n");
    ASSERT_TRUE(ini.LoadIniFile(QStringLiteral("\\boot\\Pellam.ini")));
    ini.CurrentSection(QStringLiteral("General"));
    ASSERT_EQ(ini.GetStringValue(QStringLiteral("k")), "v");

    EXPECT_FALSE(ini.LoadIniFile(QStringLiteral("\\boot\\Missing.ini")));
    EXPECT_FALSE(ini.IsLoaded());
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("k")), "") << "nothing of the old file survives";
    EXPECT_FALSE(ini.LoadIniFile(QStringLiteral("\\boot")));
    EXPECT_FALSE(ini.LoadIniFile(QString()));
    EXPECT_FALSE(ini.LoadIniFile(QStringLiteral("\\..\\etc\\passwd")));

    QByteArray big("[General]\nk=v\n");
    big.append(QByteArray(CIniFile::kMaxFileBytes, ';'));
    write(big);
    EXPECT_FALSE(ini.LoadIniFile(QStringLiteral("\\boot\\Pellam.ini")));
}

TEST_F(IniFile, ReadsEveryEncodingTheInstallationMayUse)
{
    const QString text = QString::fromUtf8("[General]\nname=Gr\xC3\xBC\xC3\x9F" "e\n");
    {
        QByteArray utf16("\xFF\xFE", 2);
        for (QChar c : text) {
            utf16.append(char(c.unicode() & 0xFF));
            utf16.append(char(c.unicode() >> 8));
        }
        ini.LoadFromBytes(utf16);
        ini.CurrentSection(QStringLiteral("General"));
        EXPECT_EQ(ini.GetStringValue(QStringLiteral("name")), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e"));
    }
    {
        ini.LoadFromBytes("\xEF\xBB\xBF" + text.toUtf8());
        ini.CurrentSection(QStringLiteral("General"));
        EXPECT_EQ(ini.GetStringValue(QStringLiteral("name")), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e"));
    }
    {
        ini.LoadFromBytes("[General]\nname=Gr\xFC\xDF" "e\n"); // Windows-1252
        ini.CurrentSection(QStringLiteral("General"));
        EXPECT_EQ(ini.GetStringValue(QStringLiteral("name")), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e"));
    }
}

TEST_F(IniFile, OddLinesAreSkippedNotMisread)
{
    ini.LoadFromBytes("orphan=1\n"
                      "[General\n"
                      "lost=2\n"
                      "[General]\n"
                      "=novalue\n"
                      "noequals\n"
                      "a=b=c\n"
                      "[ General ]\n"
                      "later=3\n"
                      "[]\n"
                      "x=4\n");
    ASSERT_TRUE(ini.CurrentSection(QStringLiteral("General")));
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("orphan")), "");
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("lost")), "") << "a header without ']' opens nothing";
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("a")), "b=c");
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("later")), "3") << "names are trimmed; sections merge";
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("")), "");
    EXPECT_EQ(ini.SectionCount(), 2);
}

// The starter file of the sample device root: every key of the PEB screen is
// there and numeric, and every default passes its own tolerance check.
TEST(SamplePellamIni, HoldsEveryDefaultAndTolerance)
{
    platform::setDeviceRoot(QStringLiteral(SAMPLE_DEVICE_ROOT));
    CIniFile ini;
    ASSERT_TRUE(ini.LoadIniFile(QStringLiteral("\\boot\\Pellam.ini")));
    platform::setDeviceRoot(QString());
    ASSERT_TRUE(ini.CurrentSection(QStringLiteral("General")));
    struct Key {
        const char* name;
        const char* tolerance;
        bool isSigned;
    };
    const Key keys[] = {
        {"UCN2PL", "UCN2PL", false},         {"DCN2PL", "DCN2PL", false},           {"UGN2PL", "UGN2PL", false},
        {"DGN2PL", "DGN2PL", false},         {"USN2PL", "DGN2PL", false},           {"DSN2PL", "DSN2PL", false},
        {"ECL2PL", "ECL2PL", false},         {"XYCL2PL", "XYCL2PL", true},          {"XYHOME2TC", "XYHOME2TC", true},
        {"CWPrintOffset", "CWPrintOffset", true},
    };
    for (const Key& k : keys) {
        SCOPED_TRACE(k.name);
        bool ok = false;
        const long long d = ini.GetStringValue(QStringLiteral("default") + QLatin1String(k.name)).toLongLong(&ok);
        ASSERT_TRUE(ok);
        const long long t = ini.GetStringValue(QStringLiteral("tolerance") + QLatin1String(k.tolerance)).toLongLong(&ok);
        ASSERT_TRUE(ok);
        EXPECT_GT(t, 0);
        if (!k.isSigned) {
            EXPECT_GE(d - t, 0) << "an unsigned range must not wrap below zero";
        }
    }
    EXPECT_EQ(ini.GetStringValue(QStringLiteral("toleranceUSN2PL")), "") << "the upstream side notch has no key of its own";
}

} // namespace
