#pragma once
// What the station window needs of a sequence runner, and nothing more: load
// a sequence file, start it for a serial, stop it, and hear of its progress.
// The window is written against this; StationEngine.cpp implements it over
// the program's sequence runner, and the tests may script it.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace vantor::station {

// A step's state in the station's list. The verdicts keep the record's words.
enum class StepState { Waiting, Running, Pass, Fail, Error, Aborted, Skipped };

// "waiting", "running", "PASS", "FAIL", "ERROR", "ABORTED", "SKIPPED".
QString stateText(StepState state);
// A record's step verdict ("PASS" ...) as a state; Error for a word it does not know.
StepState stateOfVerdict(const QString& verdict);

struct StepLimit {
    QString name; // the measurement ("Total encode"), or a series aggregate ("Forward Encode.max")
    QString text; // as the sequence file gives it ("1700..1900", "OK", "<=4000")
};

struct StepPlan {
    QString test;    // the menu label ("Platen Test")
    int cycles = 1;  // as the sequence gives them
    std::vector<StepLimit> limits;
    QString section; // its settings section ("Platen"): what reads its lines
};

struct SequencePlan {
    QString path; // the file it came from
    QString name; // its "name"
    bool serialRequired = false;
    std::vector<StepPlan> steps;
};

// "Total encode 1700..1900; Run OK", or "" without limits.
QString limitsText(const StepPlan& step);

struct LoadResult {
    std::optional<SequencePlan> plan;
    QString error; // "file:line:column: what" when the file did not load
};

// What a run reports. Called on the runner's worker thread, never on the
// window's; an implementation only queues.
class RunEvents {
public:
    virtual ~RunEvents() = default;
    virtual void stepStarted(int step) = 0;
    virtual void lines(int step, QStringList lines) = 0;
    // Cycles done of the step's total (which may exceed the plan's cycles: a
    // test made of several runs counts them all).
    virtual void cycleDone(int step, int done, int total) = 0;
    // The step as the record keeps it (verdict, reason, measurements).
    virtual void stepEnded(int step, QJsonObject record) = 0;
    // The run's whole record; the last report of a run.
    virtual void finished(QJsonObject record) = 0;
};

class SequenceEngine {
public:
    virtual ~SequenceEngine() = default;
    virtual LoadResult load(const QString& path) = 0;
    // Starts `plan` for `serial` and returns at once; "" when started, else
    // why not. The events object outlives the run (until close()).
    virtual QString start(const SequencePlan& plan, const QString& serial, RunEvents& events) = 0;
    // Ends the current cycle as a dialog's Stop does; the run ends ABORTED.
    virtual void stop() = 0;
    // Stops and waits for the worker: after it no event is reported.
    virtual void close() = 0;
};

} // namespace vantor::station
