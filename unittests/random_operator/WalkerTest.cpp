#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <set>

#include "protocol/RequestCodes.h"
#include "unittests/random_operator/IniCheck.h"
#include "unittests/random_operator/Setup.h"
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

TEST(RandomPrompts, AFileDialogNeverPicksAFileOutsideTheScratchFolder)
{
    // The walk types hostile names into file fields, and its file dialog
    // offers the field's name back: none of them may lead out (the walk runs
    // as root in CI, where "../../../../etc/passwd" once became /etc/passwd).
    QTemporaryDir dir;
    const QString scratch = enterSandbox(dir);
    RandomPrompts prompts(11, scratch);
    std::set<QString> kinds;
    for (const QString& name : {u"../../../../etc/passwd"_qs, u"/etc/passwd"_qs, u"a/../../x.txt"_qs, u".."_qs,
                                u"..\\..\\..\\Windows\\win.ini"_qs, u"log.txt"_qs, u"sub/../log2.txt"_qs}) {
        ui::FileDialogRequest ask;
        ask.save = true;
        ask.fileName = name;
        for (int i = 0; i < 60; ++i) {
            const std::optional<QString> picked = prompts.fileDialog(ask);
            if (!picked)
                continue;
            const QString clean = QDir::cleanPath(*picked);
            EXPECT_TRUE(clean == scratch || clean.startsWith(scratch + u'/')) << name.toStdString() << " -> " << picked->toStdString();
            kinds.insert(clean);
        }
    }
    EXPECT_TRUE(kinds.count(scratch + u"/passwd"_qs)) << "a climbing name keeps its last part";
    EXPECT_TRUE(kinds.count(scratch + u"/log.txt"_qs));
    // Relative names the screens are given resolve there too.
    EXPECT_EQ(QDir::cleanPath(QDir::current().absoluteFilePath(u"../../../../etc/passwd"_qs)).left(dir.path().size()), dir.path());
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

// Each switch of the walk's faults does what its log line says to every
// request code the programs send.
TEST(RandomFaults, EachSwitchDoesWhatItsLogSays)
{
    const uint32_t code = protocol::IOCTL_PRN_MOTION;
    std::mt19937_64 rng(3);
    std::set<QString> kinds;
    for (int i = 0; i < 200; ++i) {
        sim::FaultInjector faults(1);
        faults.setLatency(code, 999); // a switch starts from nothing
        QStringList log;
        switchFaults(faults, rng, log);
        ASSERT_EQ(log.size(), 1);
        const QString what = log.front();
        int failed = 0;
        for (int r = 0; r < 400; ++r)
            failed += faults.shouldFail(code) ? 1 : 0;
        if (what == QLatin1String("none")) {
            EXPECT_EQ(failed, 0);
            EXPECT_EQ(faults.latencyMs(code), 0);
            kinds.insert(what);
        } else if (what.startsWith(QLatin1String("every "))) {
            const int n = what.section(u' ', 1, 1).chopped(2).toInt();
            EXPECT_EQ(failed, 400 / n) << qPrintable(what);
            kinds.insert(QStringLiteral("every"));
        } else if (what.endsWith(QLatin1String(" ms latency"))) {
            EXPECT_EQ(faults.latencyMs(code), what.section(u' ', 0, 0).toInt());
            EXPECT_EQ(failed, 0);
            kinds.insert(QStringLiteral("latency"));
        } else if (what.contains(QLatin1String("of the requests fail"))) {
            const double p = what.section(u' ', 0, 0).toDouble();
            EXPECT_NEAR(failed / 400.0, p, 0.1) << qPrintable(what);
            kinds.insert(QStringLiteral("random"));
        }
    }
    EXPECT_EQ(kinds.size(), 4u); // every kind came up
}
