#include "vantor/app/HeadlessRun.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unistd.h>

#include "platform/Event.h"
#include "ui/Resources.h"
#include "vantor/app/CommandLine.h"
#include "vantor/app/TestMenu.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/res/resource.h"

namespace vantor {

namespace {

std::atomic<bool> g_interrupted{false};
void onInterrupt(int) { g_interrupted = true; }

void printErr(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// The menu label of a button, from the menu's template ("Platen Test").
QString menuLabel(int commandId)
{
    static const std::optional<ui::DialogTemplate> menu = ui::Resources::dialog(IDD_VANTOR_DIALOG);
    if (menu)
        for (const ui::ControlTemplate& c : menu->controls)
            if (c.id == commandId)
                return c.text;
    return {};
}

struct Candidate {
    const TestScreen* screen;
    QString label;   // the menu label, empty for a command without a button
    QString section; // the settings section
};

std::vector<Candidate> runnableTests()
{
    std::vector<Candidate> out;
    for (const TestScreen& s : testScreens())
        if (s.headless)
            out.push_back({&s, menuLabel(s.commandId), QString::fromLatin1(TestSettingsSection(s.headless->settingsIndex))});
    return out;
}

// Prints every line as the list shows it, keeps them for the record, counts
// FAIL lines and tells the waiting main thread when the run has ended.
class PrintingSink final : public RunSink {
public:
    explicit PrintingSink(int total) : m_total(total), m_progress(isatty(STDERR_FILENO) != 0) {}

    void addLine(QString line) override { add(std::move(line)); }
    void addLines(QStringList lines) override
    {
        for (QString& l : lines)
            add(std::move(l));
    }
    void cycleDone() override
    {
        const int done = ++m_cycles;
        if (m_progress)
            printErr(QStringLiteral("\rcycle %1 of %2").arg(done).arg(m_total));
    }
    void idle() override { m_idle.set(); }
    void finished() override { m_finished.set(); }

    void add(QString line)
    {
        std::lock_guard lock(m_lock);
        const QByteArray bytes = line.toLocal8Bit();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fputc('\n', stdout);
        if (line.contains(QLatin1String("FAIL")))
            ++m_failLines;
        m_lines.push_back(std::move(line));
    }
    QStringList lines() const
    {
        std::lock_guard lock(m_lock);
        return m_lines;
    }
    int failLines() const
    {
        std::lock_guard lock(m_lock);
        return m_failLines;
    }
    int cycles() const { return m_cycles.load(); }
    bool progress() const { return m_progress; }

    platform::Event m_finished{platform::Event::Reset::Manual};
    platform::Event m_idle{platform::Event::Reset::Manual};

private:
    mutable std::mutex m_lock;
    QStringList m_lines;
    int m_failLines = 0;
    std::atomic<int> m_cycles{0};
    const int m_total;
    const bool m_progress;
};

bool writeJson(const QString& path, const QJsonObject& record)
{
    // Written beside and renamed: a reader never sees half a record.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(record).toJson());
    return file.commit();
}

} // namespace

bool wantsHeadless(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--run") == 0 || std::strncmp(argv[i], "--run=", 6) == 0 ||
            std::strcmp(argv[i], "--list") == 0)
            return true;
    return false;
}

int runHeadless(const QStringList& arguments)
{
    // The options are those of the program's one table (CommandLine.cpp).
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    platform::addOptions(parser, commandLineInfo());
    const QCommandLineOption runOpt = commandLineOption("run");
    const QCommandLineOption cyclesOpt = commandLineOption("cycles");
    const QCommandLineOption pauseOpt = commandLineOption("pause");
    const QCommandLineOption jsonOpt = commandLineOption("json");
    const QCommandLineOption iniOpt = commandLineOption("ini");
    const QCommandLineOption listOpt = commandLineOption("list");
    if (!parser.parse(arguments)) {
        printErr(parser.errorText() + QLatin1Char('\n'));
        return 2;
    }

    const std::vector<Candidate> tests = runnableTests();
    if (parser.isSet(listOpt)) {
        for (const Candidate& c : tests)
            std::printf("%s\t[%s]\n", qPrintable(c.label.isEmpty() ? c.section : c.label), qPrintable(c.section));
        return 0;
    }

    const QString wanted = parser.value(runOpt).trimmed();
    const Candidate* test = nullptr;
    for (const Candidate& c : tests)
        if ((!c.label.isEmpty() && c.label.compare(wanted, Qt::CaseInsensitive) == 0) ||
            c.section.compare(wanted, Qt::CaseInsensitive) == 0) {
            test = &c;
            break;
        }
    if (!test) {
        printErr(QStringLiteral("No test \"%1\" can run; --list names them.\n").arg(wanted));
        return 2;
    }

    auto number = [&](const QCommandLineOption& opt, int& into) {
        if (!parser.isSet(opt))
            return true;
        bool ok = false;
        const int v = parser.value(opt).toInt(&ok);
        if (!ok) {
            printErr(QStringLiteral("--%1 takes a whole number\n").arg(opt.names().first()));
            return false;
        }
        into = v;
        return true;
    };

    const QString iniPath = parser.isSet(iniOpt) ? parser.value(iniOpt) : DefaultSettingsPath();
    SetSettingsPath(iniPath);
    if (!LoadSettingsFile(iniPath))
        printErr(QStringLiteral("Warning: %1 not loaded; the test runs with its defaults.\n").arg(iniPath));
    CTestSettings* record = FetchTestSettings(test->screen->headless->settingsIndex);
    if (!record) {
        printErr(QStringLiteral("The test has no settings record.\n"));
        return 2;
    }
    if (!number(cyclesOpt, record->cycle) || !number(pauseOpt, record->pause))
        return 2;

    const HeadlessTest& h = *test->screen->headless;
    QString refusal = h.validate(*record);
    PreparedRun prepared;
    if (refusal.isEmpty()) {
        prepared = h.prepare(*record, openDriver());
        refusal = prepared.refusal;
    }
    if (!prepared) {
        printErr(refusal.isEmpty() ? QStringLiteral("The test could not be prepared.\n") : refusal);
        return 2;
    }

    const int total = record->cycle;
    PrintingSink sink(total);
    const QDateTime started = QDateTime::currentDateTime();
    for (const QString& line : runStartLines(*prepared.run))
        sink.add(line);

    g_interrupted = false;
    auto previous = std::signal(SIGINT, onInterrupt);
    {
        TestRunner runner(sink);
        runner.start();
        runner.run(std::move(prepared.run), total, record->pause);
        bool stopped = false;
        while (!sink.m_finished.isSet()) {
            platform::waitAny({&sink.m_finished}, platform::Millis(100));
            if (g_interrupted && !stopped) {
                // Like Stop: the cycle in progress finishes, no "== End ==".
                stopped = true;
                runner.stop();
                sink.m_idle.reset();
            }
            if (stopped && sink.m_idle.isSet())
                break;
        }
        runner.close();
    }
    std::signal(SIGINT, previous);
    std::fflush(stdout);
    if (sink.progress())
        printErr(QStringLiteral("\n"));

    if (parser.isSet(jsonOpt)) {
        QJsonObject params;
        params[QStringLiteral("section")] = test->section;
        params[QStringLiteral("totalCycles")] = total;
        params[QStringLiteral("pauseMs")] = record->pause;
        params[QStringLiteral("settingsFile")] = iniPath;
        QJsonObject out;
        out[QStringLiteral("test")] = test->label.isEmpty() ? test->section : test->label;
        out[QStringLiteral("parameters")] = params;
        out[QStringLiteral("start")] = started.toString(Qt::ISODateWithMs);
        out[QStringLiteral("end")] = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
        out[QStringLiteral("cyclesDone")] = sink.cycles();
        out[QStringLiteral("interrupted")] = g_interrupted.load();
        out[QStringLiteral("lines")] = QJsonArray::fromStringList(sink.lines());
        out[QStringLiteral("failLines")] = sink.failLines();
        if (!writeJson(parser.value(jsonOpt), out)) {
            printErr(QStringLiteral("Could not write %1\n").arg(parser.value(jsonOpt)));
            return 2;
        }
    }
    return sink.failLines() > 0 ? 1 : 0;
}

} // namespace vantor
