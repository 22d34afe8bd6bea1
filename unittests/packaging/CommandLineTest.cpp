// Command-line manners: an option table's parser, and both programs in a
// terminal without a display.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "platform/ProgramOptions.h"

using platform::CommandLine;
using platform::ProgramOption;
using Kind = ProgramOption::Kind;

namespace {

constexpr ProgramOption kOptions[] = {
    {"h,help", nullptr, "Show this help and exit.", Kind::Answer},
    {"v,version", nullptr, "Show the version and exit.", Kind::Answer},
    {"man", nullptr, "Write the manual.", Kind::Answer, true},
    {"list", nullptr, "Name the tests.", Kind::Headless},
    {"run", "test", "Run one test without a window.", Kind::Headless},
    {"cycles", "N", "Total cycles.", Kind::RunSetting},
};
const platform::ProgramInfo kInfo{"tool", "2.5", "a tool", "--run <test> [--cycles N]",
                                  "It tests.\n\nIt also runs without a window.", nullptr, kOptions};

CommandLine parse(QStringList args)
{
    args.prepend(QStringLiteral("tool"));
    return platform::parseCommandLine(kInfo, args);
}

} // namespace

TEST(ProgramOptionsTest, OutcomesOfTheTable)
{
    struct Case {
        QStringList args;
        CommandLine::Outcome outcome;
        const char* answer; // or a word of the error
    };
    const Case cases[] = {
        {{}, CommandLine::Outcome::Window, ""},
        {{"--help"}, CommandLine::Outcome::Answer, "help"},
        {{"-h"}, CommandLine::Outcome::Answer, "help"},
        {{"-v"}, CommandLine::Outcome::Answer, "version"},
        {{"--man"}, CommandLine::Outcome::Answer, "man"},
        // An answer wins over a run given with it.
        {{"--run", "Platen", "--version"}, CommandLine::Outcome::Answer, "version"},
        {{"--list"}, CommandLine::Outcome::Headless, ""},
        {{"--run", "Platen", "--cycles", "3"}, CommandLine::Outcome::Headless, ""},
        {{"--run=Platen"}, CommandLine::Outcome::Headless, ""},
        {{"--bogus"}, CommandLine::Outcome::Error, "bogus"},
        {{"-platform", "xcb"}, CommandLine::Outcome::Error, "platform"},
        {{"--run"}, CommandLine::Outcome::Error, "run"},
        {{"stray"}, CommandLine::Outcome::Error, "stray"},
        {{"--list", "stray"}, CommandLine::Outcome::Error, "stray"},
        // A setting of a run without the run opens no window.
        {{"--cycles", "3"}, CommandLine::Outcome::Error, "cycles"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.args.join(QLatin1Char(' '))));
        const CommandLine r = parse(c.args);
        EXPECT_EQ(r.outcome, c.outcome);
        if (c.outcome == CommandLine::Outcome::Answer) {
            EXPECT_EQ(r.answer, QLatin1String(c.answer));
        }
        if (c.outcome == CommandLine::Outcome::Error) {
            EXPECT_TRUE(r.error.contains(QLatin1String(c.answer))) << qPrintable(r.error);
        }
    }
    const CommandLine run = parse({"--run", "Platen", "--cycles", "3"});
    EXPECT_TRUE(run.isSet("run"));
    EXPECT_TRUE(run.isSet("cycles"));
    EXPECT_FALSE(run.isSet("list"));
    EXPECT_EQ(run.value("run"), QStringLiteral("Platen"));
    EXPECT_EQ(run.value("cycles"), QStringLiteral("3"));
    EXPECT_EQ(parse({"--run=Ejector"}).value("run"), QStringLiteral("Ejector"));
    EXPECT_TRUE(parse({"--list"}).value("list").isEmpty());
}

TEST(ProgramOptionsTest, HelpAndManualShowEveryOptionButTheHiddenOne)
{
    const QString help = platform::helpText(kInfo);
    const QString man = platform::manPage(kInfo, QStringLiteral("suite"), QStringLiteral("1.0"));
    for (const ProgramOption& o : kOptions) {
        const QString name = QString::fromLatin1(o.names).split(QLatin1Char(',')).last();
        const QString inHelp = QStringLiteral("--") + name;
        const QString inMan = QStringLiteral("\\fB\\-\\-%1\\fR").arg(name);
        EXPECT_EQ(help.contains(inHelp), !o.hidden) << qPrintable(name);
        EXPECT_EQ(man.contains(inMan), !o.hidden) << qPrintable(name);
    }
    EXPECT_TRUE(help.contains(QStringLiteral("  -h, --help")));
    EXPECT_TRUE(help.contains(QStringLiteral("--run <test>")));
    EXPECT_TRUE(man.startsWith(QStringLiteral(".TH TOOL 1 \"\" \"suite 1.0\"")));
    // No line of text that roff would take for a request, and no bare hyphen.
    for (const QString& line : man.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('.'))) {
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\.(TH|SH|TP|PP|B|br)( |$)")).match(line).hasMatch())
                << qPrintable(line);
        }
        EXPECT_FALSE(QRegularExpression(QStringLiteral("(^|[^\\\\])-")).match(line).hasMatch()) << qPrintable(line);
    }
}

TEST(ProgramOptionsTest, RoffEscapesWhatTheReaderWouldTakeForItsOwn)
{
    constexpr ProgramOption opts[] = {{"ini", "FILE", ".ini files or C:\\path", Kind::RunSetting}};
    const platform::ProgramInfo info{"t", "1", "x", "", "'quoted start\n.dot start", nullptr, opts};
    const QString man = platform::manPage(info, QStringLiteral("p"), QStringLiteral("1"));
    EXPECT_TRUE(man.contains(QStringLiteral("\n\\&'quoted start\n\\&.dot start\n")));
    EXPECT_TRUE(man.contains(QStringLiteral("\\&.ini files or C:\\epath")));
}

namespace {

struct Ran {
    int exitCode = -1;
    QString out, err;
};

// The program as a terminal without a display starts it.
Ran start(const char* binary, const QStringList& args, const QString& home)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), home);
    p.setProcessEnvironment(env);
    p.start(QString::fromLatin1(binary), args);
    EXPECT_TRUE(p.waitForFinished(30000)) << binary;
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// The long options a help text or manual names.
QSet<QString> optionsNamed(const QString& text, const QString& pattern)
{
    QSet<QString> names;
    auto it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext())
        names.insert(it.next().captured(1));
    return names;
}

class ProgramsTest : public ::testing::TestWithParam<const char*> {
protected:
    QTemporaryDir home;
};

} // namespace

TEST_P(ProgramsTest, HelpAndVersionAnswerOnStandardOutputWithoutADisplay)
{
    const QString name = QFileInfo(QString::fromLatin1(GetParam())).fileName();
    for (const char* opt : {"--help", "-h"}) {
        const Ran r = start(GetParam(), {QString::fromLatin1(opt)}, home.path());
        EXPECT_EQ(r.exitCode, 0) << opt << qPrintable(r.err);
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: %1 [options]\n").arg(name))) << qPrintable(r.out);
        EXPECT_TRUE(r.out.contains(QStringLiteral("--version")));
        EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);
    }
    for (const char* opt : {"--version", "-v"}) {
        const Ran r = start(GetParam(), {QString::fromLatin1(opt)}, home.path());
        EXPECT_EQ(r.exitCode, 0) << opt << qPrintable(r.err);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^%1 [0-9.]+\n$").arg(name)).match(r.out).hasMatch())
            << qPrintable(r.out);
        EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);
    }
    // An answer writes nothing: no data folder in the home.
    EXPECT_FALSE(QFileInfo::exists(home.filePath(QStringLiteral(".local"))));
}

TEST_P(ProgramsTest, AWrongCommandLinePrintsTheUsageOnStandardErrorAndExitsTwo)
{
    for (const QStringList& args : {QStringList{"--no-such-option"}, QStringList{"stray"},
                                    QStringList{"-platform", "offscreen"}, QStringList{"--help", "--bogus"}}) {
        const Ran r = start(GetParam(), args, home.path());
        EXPECT_EQ(r.exitCode, 2) << qPrintable(args.join(QLatin1Char(' ')));
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage: "))) << qPrintable(r.err);
        EXPECT_TRUE(r.out.isEmpty()) << qPrintable(r.out);
    }
}

TEST_P(ProgramsTest, TheManualNamesTheOptionsTheHelpNames)
{
    const Ran help = start(GetParam(), {QStringLiteral("--help")}, home.path());
    const Ran man = start(GetParam(), {QStringLiteral("--man")}, home.path());
    ASSERT_EQ(man.exitCode, 0);
    EXPECT_TRUE(man.out.startsWith(QStringLiteral(".TH ")));
    const QSet<QString> inHelpLines = optionsNamed(help.out, QStringLiteral("(?m)^  (?:-\\w, )?--([a-z]+)"));
    const QSet<QString> inMan = optionsNamed(man.out, QStringLiteral("(?m)^(?:\\\\fB\\\\-\\w\\\\fR, )?\\\\fB\\\\-\\\\-([a-z]+)"));
    EXPECT_GE(inHelpLines.size(), 2);
    EXPECT_EQ(inHelpLines, inMan);
    EXPECT_FALSE(inHelpLines.contains(QStringLiteral("man"))); // the generator's own option stays hidden
}

TEST(VantorCommandLineTest, HelpNamesTheRunsWithoutAWindowAndTheirSettingsNeedARun)
{
    QTemporaryDir home;
    const Ran help = start(VANTOR_BINARY, {QStringLiteral("--help")}, home.path());
    for (const char* opt : {"--list", "--run <test>", "--cycles <N>", "--pause <MS>", "--json <FILE>", "--ini <FILE>"})
        EXPECT_TRUE(help.out.contains(QLatin1String(opt))) << opt;
    const Ran r = start(VANTOR_BINARY, {QStringLiteral("--cycles"), QStringLiteral("2")}, home.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--cycles"))) << qPrintable(r.err);
}

INSTANTIATE_TEST_SUITE_P(Both, ProgramsTest, ::testing::Values(VANTOR_BINARY, PELLAM_BINARY),
                         [](const auto& info) { return QFileInfo(QString::fromLatin1(info.param)).fileName().toStdString(); });
