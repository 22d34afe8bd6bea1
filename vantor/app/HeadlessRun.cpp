#include "vantor/app/HeadlessRun.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <unistd.h>

#include "vantor/app/CommandLine.h"
#include "vantor/app/SequenceRunner.h"
#include "vantor/app/TestMenu.h"
#include "vantor/measure/Limits.h"
#include "vantor/measure/Measurements.h"
#include "vantor/settings/TestSettingsStore.h"

namespace vantor {

namespace {

HeadlessPlotter& plotter()
{
    static HeadlessPlotter p;
    return p;
}

std::atomic<bool> g_interrupted{false};
void onInterrupt(int) { g_interrupted = true; }

void printErr(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// Prints every line as the list shows it and, on a terminal, the progress.
struct Printer {
    std::mutex lock;
    bool progress = isatty(STDERR_FILENO) != 0;

    SequenceEvents events(int steps)
    {
        SequenceEvents ev;
        ev.line = [this](int, const QString& line) {
            std::lock_guard l(lock);
            const QByteArray bytes = line.toLocal8Bit();
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
            std::fputc('\n', stdout);
        };
        ev.cycleDone = [this](int, int done, int total) {
            // A cycle's lines reach a pipe as the cycle ends, not when the
            // buffer fills: a line's reader can act on them at once.
            {
                std::lock_guard l(lock);
                std::fflush(stdout);
            }
            if (progress)
                printErr(QStringLiteral("\rcycle %1 of %2").arg(done).arg(total));
        };
        if (steps > 1 || steps < 0) {
            ev.stepStarted = [this](int step, const QString& test, int cycles) {
                std::lock_guard l(lock);
                std::fflush(stdout);
                printErr(QStringLiteral("%1step %2: %3, %4 cycles\n")
                             .arg(progress ? QStringLiteral("\n") : QString())
                             .arg(step + 1)
                             .arg(test)
                             .arg(cycles));
            };
            ev.stepEnded = [](int step, measure::Verdict v, const QString& reason) {
                std::fflush(stdout);
                printErr(QStringLiteral("step %1: %2%3\n")
                             .arg(step + 1)
                             .arg(measure::verdictText(v))
                             .arg(reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason)));
            };
        }
        return ev;
    }
};

// Runs to the end; Ctrl-C or SIGTERM stops like Stop.
void runToEnd(SequenceRunner& runner)
{
    g_interrupted = false;
    auto previousInt = std::signal(SIGINT, onInterrupt);
    auto previousTerm = std::signal(SIGTERM, onInterrupt);
    bool stopped = false;
    while (!runner.wait(platform::Millis(100)))
        if (g_interrupted && !stopped) {
            stopped = true;
            runner.stop();
        }
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    std::fflush(stdout);
}

// Each failing measurement, on standard error.
void reportFailures(const SequenceRunner& runner)
{
    for (const measure::StepRecord& s : runner.steps())
        for (const QString& f : measure::failures(s))
            printErr(QStringLiteral("FAIL %1: %2\n").arg(s.test, f));
}

// A run's lines, read by its test's table, drawn into `file`.
bool drawLines(const QString& section, const QStringList& lines, const QString& file)
{
    return plotter()(measure::plottable(measure::collect(section, lines)), file);
}

// A step's "plot" beside the record when there is one, else in the working
// folder; after the record is written, so a plot that fails loses nothing.
bool drawStepPlots(const SequenceRunner& runner, const QString& recordPath)
{
    const QDir base = recordPath.isEmpty() ? QDir::current() : QFileInfo(recordPath).absoluteDir();
    bool ok = true;
    const std::vector<measure::StepRecord>& steps = runner.steps();
    for (size_t i = 0; i < steps.size(); ++i) {
        const QString name = runner.definition().steps[i].plot;
        if (name.isEmpty())
            continue;
        const QString file = base.absoluteFilePath(name);
        if (!drawLines(runner.testOf(int(i)).section, steps[i].lines, file)) {
            printErr(QStringLiteral("Could not draw the plot of step %1 into %2\n").arg(i + 1).arg(file));
            ok = false;
        }
    }
    return ok;
}

int listMeasurements(const std::vector<RunnableTest>& tests, const QString& wanted)
{
    const RunnableTest* test = findTest(tests, wanted);
    if (!test) {
        printErr(QStringLiteral("No test \"%1\" can run; --list names them.\n").arg(wanted));
        return 2;
    }
    for (const measure::NameInfo& n : measure::namesOf(test->section)) {
        const char* kind = n.kind == measure::NameInfo::SeriesName ? "series"
                           : n.kind == measure::NameInfo::PassFail ? "pass/fail"
                                                                   : "numeric";
        std::printf("%s\t%s\t%s\n", qPrintable(n.name), qPrintable(n.unit), kind);
    }
    return 0;
}

} // namespace

bool sequenceDrawsPlots(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const std::optional<measure::SequenceDefinition> read = measure::readSequence(f.readAll(), path, nullptr);
    if (!read)
        return false;
    for (const measure::SequenceStep& s : read->steps)
        if (!s.plot.isEmpty())
            return true;
    return false;
}

void setHeadlessPlotter(HeadlessPlotter p)
{
    plotter() = std::move(p);
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
    const QCommandLineOption measurementsOpt = commandLineOption("measurements");
    const QCommandLineOption limitOpt = commandLineOption("limit");
    const QCommandLineOption sequenceOpt = commandLineOption("sequence");
    const QCommandLineOption serialOpt = commandLineOption("serial");
    const QCommandLineOption operatorOpt = commandLineOption("operator");
    const QCommandLineOption plotOpt = commandLineOption("plot");
    if (!parser.parse(arguments)) {
        printErr(parser.errorText() + QLatin1Char('\n'));
        return 2;
    }

    const std::vector<RunnableTest> tests = runnableTests();
    if (parser.isSet(listOpt)) {
        for (const RunnableTest& c : tests)
            std::printf("%s\t[%s]\n", qPrintable(c.name()), qPrintable(c.section));
        return 0;
    }
    if (parser.isSet(measurementsOpt))
        return listMeasurements(tests, parser.value(measurementsOpt).trimmed());

    const QString iniPath = parser.isSet(iniOpt) ? parser.value(iniOpt) : DefaultSettingsPath();
    const SequenceIdentity who{parser.value(serialOpt), parser.value(operatorOpt), QString()};
    SequenceRunner::Options options;
    options.recordPath = parser.value(jsonOpt);

    if (parser.isSet(plotOpt) && !parser.isSet(runOpt)) {
        printErr(QStringLiteral("--plot goes with --run (a sequence's steps name their plots with \"plot\")\n"));
        return 2;
    }
    if (parser.isSet(sequenceOpt)) {
        SetSettingsPath(iniPath);
        if (!LoadSettingsFile(iniPath))
            printErr(QStringLiteral("Warning: %1 not loaded; the tests run with their defaults.\n").arg(iniPath));
        QString error;
        std::unique_ptr<SequenceRunner> runner = SequenceRunner::load(parser.value(sequenceOpt), &error, options);
        if (!runner) {
            printErr(error.endsWith(QLatin1Char('\n')) ? error : error + QLatin1Char('\n'));
            return 2;
        }
        for (const measure::SequenceStep& s : runner->definition().steps)
            if (!s.plot.isEmpty() && !plotter()) {
                printErr(QStringLiteral("\"plot\": this build of the program draws no plots (QCustomPlot was not found)\n"));
                return 2;
            }
        Printer printer;
        if (!runner->start(who, printer.events(-1), &error)) {
            printErr(error);
            return 2;
        }
        runToEnd(*runner);
        reportFailures(*runner);
        const QJsonObject record = runner->record();
        printErr(QStringLiteral("%1: %2%3\n")
                     .arg(runner->definition().name, record[QStringLiteral("verdict")].toString(),
                          record.contains(QStringLiteral("reason"))
                              ? QStringLiteral(" (%1)").arg(record[QStringLiteral("reason")].toString())
                              : QString()));
        if (parser.isSet(jsonOpt) && !measure::writeJsonFile(parser.value(jsonOpt), record)) {
            printErr(QStringLiteral("Could not write %1\n").arg(parser.value(jsonOpt)));
            return 2;
        }
        if (!drawStepPlots(*runner, parser.value(jsonOpt)))
            return 2;
        return runner->exitCode();
    }

    if (parser.isSet(plotOpt) && !plotter()) {
        printErr(QStringLiteral("--plot: this build of the program draws no plots (QCustomPlot was not found)\n"));
        return 2;
    }
    const QString wanted = parser.value(runOpt).trimmed();
    const RunnableTest* test = findTest(tests, wanted);
    if (!test) {
        const QStringList near = closeMatches(tests, wanted);
        printErr(QStringLiteral("No test \"%1\" can run; --list names them.\n").arg(wanted) +
                 (near.isEmpty() ? QString()
                                 : QStringLiteral("Did you mean %1?\n").arg(near.join(QStringLiteral(", ")))));
        return 2;
    }

    measure::SequenceStep step;
    step.test = test->name();
    auto number = [&](const QCommandLineOption& opt, std::optional<int>& into) {
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
    if (!number(cyclesOpt, step.cycles) || !number(pauseOpt, step.pause))
        return 2;
    for (const QString& text : parser.values(limitOpt)) {
        QString why;
        std::optional<measure::Limit> limit = measure::parseLimit(text, &why);
        if (!limit) {
            printErr(why + QLatin1Char('\n'));
            return 2;
        }
        step.limits.push_back(std::move(*limit));
    }

    SetSettingsPath(iniPath);
    if (!LoadSettingsFile(iniPath))
        printErr(QStringLiteral("Warning: %1 not loaded; the test runs with its defaults.\n").arg(iniPath));

    measure::SequenceDefinition definition;
    definition.name = test->name();
    definition.steps.push_back(std::move(step));
    options.singleRun = true;
    QString error;
    std::unique_ptr<SequenceRunner> runner = SequenceRunner::fromDefinition(std::move(definition), QString(), &error, options);
    if (!runner) {
        printErr(error);
        return 2;
    }
    Printer printer;
    if (!runner->start(who, printer.events(1), &error)) {
        printErr(error);
        return 2;
    }
    runToEnd(*runner);
    if (printer.progress)
        printErr(QStringLiteral("\n"));
    const measure::StepRecord& done = runner->steps().front();
    if (done.verdict == measure::Verdict::Error) {
        const QString refusal = runner->refusal();
        printErr(refusal.isEmpty() ? QStringLiteral("The test could not be prepared.\n") : refusal);
        return 2;
    }
    reportFailures(*runner);

    int failLines = 0;
    for (const QString& line : done.lines)
        if (line.contains(QLatin1String("FAIL")))
            ++failLines;
    const bool failed = failLines > 0 || !measure::failures(done).isEmpty();
    if (parser.isSet(jsonOpt)) {
        QJsonObject out = runner->record();
        // The keys the record had before it became a run record.
        QJsonObject params;
        params[QStringLiteral("section")] = test->section;
        params[QStringLiteral("totalCycles")] = done.requested;
        int pause = 0;
        for (const auto& [key, value] : done.settings)
            if (key.compare(QLatin1String("pause"), Qt::CaseInsensitive) == 0)
                pause = value.toInt();
        params[QStringLiteral("pauseMs")] = parser.isSet(pauseOpt) ? parser.value(pauseOpt).toInt() : pause;
        params[QStringLiteral("settingsFile")] = iniPath;
        out[QStringLiteral("test")] = test->name();
        out[QStringLiteral("parameters")] = params;
        out[QStringLiteral("cyclesDone")] = done.done;
        out[QStringLiteral("interrupted")] = g_interrupted.load();
        out[QStringLiteral("lines")] = QJsonArray::fromStringList(done.lines);
        out[QStringLiteral("failLines")] = failLines;
        if (!measure::writeJsonFile(parser.value(jsonOpt), out)) {
            printErr(QStringLiteral("Could not write %1\n").arg(parser.value(jsonOpt)));
            return 2;
        }
    }
    if (parser.isSet(plotOpt) &&
        !drawLines(test->section, done.lines, parser.value(plotOpt))) {
        printErr(QStringLiteral("Could not draw the plot into %1\n").arg(parser.value(plotOpt)));
        return 2;
    }
    return failed ? 1 : 0;
}

} // namespace vantor
