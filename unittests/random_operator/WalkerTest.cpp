#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <set>

#include "unittests/random_operator/IniCheck.h"
#include "unittests/random_operator/Walker.h"
#include "vantor/settings/CSettingsFile.h"
#include "vantor/settings/CTestSettings.h"

using namespace randomop;

TEST(RandomPrompts, AnswersEachBoxWithOneOfItsOwnButtonsAndFlagsEmptyAndInternalErrorBoxes)
{
    RandomPrompts prompts(7, QStringLiteral("/tmp"));
    const std::vector<std::pair<ui::MsgButtons, std::set<int>>> cases = {
        {ui::MsgButtons::Ok, {ui::IDOK}},
        {ui::MsgButtons::OkCancel, {ui::IDOK, ui::IDCANCEL}},
        {ui::MsgButtons::YesNo, {ui::IDYES, ui::IDNO}},
        {ui::MsgButtons::YesNoCancel, {ui::IDYES, ui::IDNO, ui::IDCANCEL}},
        {ui::MsgButtons::RetryCancel, {ui::IDRETRY, ui::IDCANCEL}},
        {ui::MsgButtons::AbortRetryIgnore, {ui::IDABORT, ui::IDRETRY, ui::IDIGNORE}},
    };
    for (const auto& [buttons, allowed] : cases) {
        std::set<int> seen;
        for (int i = 0; i < 60; ++i)
            seen.insert(prompts.messageBox({QStringLiteral("Sure?"), {}, ui::MsgIcon::Question, buttons}));
        EXPECT_EQ(seen, allowed) << int(buttons); // every button, and no other
    }
    EXPECT_TRUE(prompts.takeFaults().isEmpty());

    prompts.messageBox({QStringLiteral("  \n"), QStringLiteral("Vantor"), ui::MsgIcon::None, ui::MsgButtons::Ok});
    prompts.messageBox({QStringLiteral("Internal error: bad_alloc"), {}, ui::MsgIcon::Error, ui::MsgButtons::Ok});
    const QStringList faults = prompts.takeFaults();
    ASSERT_EQ(faults.size(), 2);
    EXPECT_TRUE(faults[0].contains(QLatin1String("without text")));
    EXPECT_TRUE(faults[1].contains(QLatin1String("bad_alloc")));
    EXPECT_TRUE(prompts.takeFaults().isEmpty()); // taken once
}

TEST(RandomOperatorOptions, ReadsSeedActionsAndScreenAndRefusesTheRest)
{
    struct Case {
        std::vector<const char*> args;
        bool ok;
        uint64_t seed;
        long long actions;
        const char* screen;
    };
    const std::vector<Case> cases = {
        {{"w", "--seed", "42", "--actions", "500", "--screen", "CPlatenDlg"}, true, 42, 500, "CPlatenDlg"},
        {{"w"}, true, 1, 1000, ""},
        {{"w", "--seed"}, false, 0, 0, ""},
        {{"w", "--actions", "-3"}, false, 0, 0, ""},
        {{"w", "--seed", "x1"}, false, 0, 0, ""},
        {{"w", "--fast"}, false, 0, 0, ""},
    };
    for (const Case& c : cases) {
        QString error;
        std::vector<char*> argv;
        for (const char* a : c.args)
            argv.push_back(const_cast<char*>(a));
        const Options o = Options::parse(int(argv.size()), argv.data(), &error);
        EXPECT_EQ(error.isEmpty(), c.ok) << c.args.size() << " " << qPrintable(error);
        if (c.ok) {
            EXPECT_EQ(o.seed, c.seed);
            EXPECT_EQ(o.actions, c.actions);
            EXPECT_EQ(o.screen, QString::fromLatin1(c.screen));
        }
    }
}

namespace {
// A store file with every test section holding `cycle` and a path.
QString writeIni(QTemporaryDir& dir, const QString& cycle)
{
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.close();
    CSettingsFile file;
    for (int i = 0; i < kTestSettingsSlots; ++i) {
        if (!TestSettingsSection(i))
            continue;
        file.SetSection(TestSettingsSection(i));
        file.SetString(QStringLiteral("cycle"), cycle);
    }
    file.SetSection("not a test");
    file.SetString(QStringLiteral("anything"), QStringLiteral("%s%n"));
    EXPECT_TRUE(file.Save(path));
    return path;
}
} // namespace

TEST(SettingsFileCheck, PassesWhatTheRecordsWriteAndNamesAValueTheyCannot)
{
    QTemporaryDir dir;
    EXPECT_EQ(checkSettingsFile(writeIni(dir, QStringLiteral("12"))), QStringList());

    const QString bad = writeIni(dir, QStringLiteral("abc"));
    const QStringList problems = checkSettingsFile(bad);
    ASSERT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems.front().contains(QLatin1String("cycle = \"abc\""))) << qPrintable(problems.front());
    // The same value in the user's own starter file is theirs, not a screen's.
    EXPECT_EQ(checkSettingsFile(bad, loadImage(bad)), QStringList());

    QFile::remove(bad);
    EXPECT_EQ(checkSettingsFile(bad).size(), 1); // does not load
}

TEST(SettingsFileCheck, ParsesTheStoresOwnImage)
{
    CSettingsFile file;
    file.SetSection("Platen");
    file.SetString(QStringLiteral("Profile"), QStringLiteral("a = b"));
    const IniImage image = parseImage(file.Serialize());
    ASSERT_TRUE(image.count(QStringLiteral("platen")));
    EXPECT_EQ(image.at(QStringLiteral("platen")).at(QStringLiteral("profile")), QStringLiteral("a = b"));
}
