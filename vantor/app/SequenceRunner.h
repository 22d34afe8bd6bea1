#pragma once
// Sequences: a list of test steps with limits, run one after another on the
// TestRunner worker, ending in one run record with a verdict.
//
// How to drive it (the station window, `vantor --sequence`):
//
//     QString error;
//     auto runner = vantor::SequenceRunner::load(path, &error); // every check, no request sent
//     if (!runner) { show(error); return; }                       // "file:line:column: ..." for bad JSON
//     vantor::SequenceEvents ev;
//     ev.line = [](int step, const QString& line) { ... };     // on the runner's thread:
//     ev.finished = [](const QJsonObject& record) { ... };     //   hand over to the UI thread
//     if (!runner->start({serial, operatorName}, std::move(ev), &error)) { show(error); return; }
//     ...  runner->stop();             // Stop: the cycle in progress ends, the rest is skipped
//     runner->wait(platform::kInfinite);
//     runner->record();                // the record (also handed to `finished` and publishRecord), runner->exitCode()
//
// load() reads the settings of every step from the process-wide store (the
// user-interface thread's): call it there. Each step runs on a copy of its
// test's settings record with the step's "settings" applied, so a sequence
// never writes Vantor.ini. A runner runs once; load again for the next unit.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Clock.h"
#include "vantor/measure/Record.h"
#include "vantor/measure/SequenceFile.h"

namespace vantor {

struct TestScreen;

// A test that runs without a window: its menu label and settings section.
struct RunnableTest {
    const TestScreen* screen = nullptr;
    QString label;   // "Platen Test"; empty for a command without a button
    QString section; // "Platen"
    QString name() const { return label.isEmpty() ? section : label; }
};
std::vector<RunnableTest> runnableTests();
// By menu label or section, without regard to case; nullptr when none.
const RunnableTest* findTest(const std::vector<RunnableTest>& tests, const QString& name);
// The names closest to a misspelt one, best first (at most three).
QStringList closeMatches(const std::vector<RunnableTest>& tests, const QString& name);

struct SequenceIdentity {
    QString serial;       // "" when none
    QString operatorName; // "" = the login
    QString station;      // "" = the host name
};

// Called on the runner's thread, in this order per step; none may block long.
struct SequenceEvents {
    std::function<void(int step, const QString& test, int cycles)> stepStarted;
    std::function<void(int step, const QString& line)> line;
    std::function<void(int step, int done, int requested)> cycleDone;
    std::function<void(int step, measure::Verdict verdict, const QString& reason)> stepEnded;
    std::function<void(const QJsonObject& record)> finished;
};

struct SequenceOptions {
    QString recordPath;     // where the record goes: series CSVs are written beside it
    bool singleRun = false; // `vantor --run`: kind "run", refusals reported as the dialog's text alone
};

class SequenceRunner {
public:
    using Options = SequenceOptions;

    // Reads and checks a sequence file. nullptr with `error` set (each
    // problem on a line of its own).
    static std::unique_ptr<SequenceRunner> load(const QString& path, QString* error, Options options = Options());
    static std::unique_ptr<SequenceRunner> fromDefinition(measure::SequenceDefinition definition, const QString& fileName,
                                                    QString* error, Options options = Options());
    ~SequenceRunner();
    SequenceRunner(const SequenceRunner&) = delete;
    SequenceRunner& operator=(const SequenceRunner&) = delete;

    const measure::SequenceDefinition& definition() const;
    // The step's effective settings (every key of its section, overrides applied).
    const std::vector<std::pair<QString, QString>>& settingsOf(int step) const;
    const RunnableTest& testOf(int step) const;

    // Starts the run on a thread of its own. False (nothing started) when a
    // serial is required and missing.
    bool start(const SequenceIdentity& who, SequenceEvents events, QString* error);
    // Ends the current step as Stop does (its cycle in progress finishes);
    // later steps are skipped; the record says ABORTED. Any thread.
    void stop();
    // Until the record is complete; true when it is.
    bool wait(platform::Millis timeout);
    bool finished() const;

    QJsonObject record() const;
    measure::Verdict verdict() const;
    // 0 PASS, 1 FAIL, 2 ERROR, 3 ABORTED.
    int exitCode() const;
    // The steps as they ran (lines, measurements, verdicts).
    const std::vector<measure::StepRecord>& steps() const;
    // The text a step's refused preparation gave, as the dialog's box shows
    // it (the step is then ERROR); empty when none was refused.
    QString refusal() const;

private:
    SequenceRunner();
    struct Impl;
    std::unique_ptr<Impl> d;
};

// 0 PASS, 1 FAIL, 2 ERROR, 3 ABORTED (a skipped-only run counts as PASS).
int exitCodeOf(measure::Verdict v);

} // namespace vantor
