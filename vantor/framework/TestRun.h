#pragma once
// A run of a cycling test as one object: everything its cycles need (the
// driver records, their tables and caller memory, the driver handle) is the
// run's own, so the worker never reads a dialog member and a dialog can go
// away under a run without a dangling reference. The dialog and the headless
// runner (`vantor --run`) build the same run from the same settings values.
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>

#include "platform/Device.h"

namespace vantor {

// What the worker reports. Called on the worker thread; the dialog's
// implementation hands the lines to its list, the headless one prints them.
class RunSink {
public:
    virtual ~RunSink() = default;
    virtual void addLine(QString line) = 0;       // add-line
    virtual void addLines(QStringList lines) = 0; // add-line, batch form
    virtual void cycleDone() = 0;                 // cycle-done
    virtual void idle() {}                        // the worker is idle: RUN may be enabled
    // The last cycle of a run is done and "== End ==" and " " were written
    // (a stopped run never gets here).
    virtual void finished() {}
};

// PRN1:, shared by a dialog (open from initialisation to destruction) and
// the runs it starts: the handle closes when the last of them lets it go.
using DriverRef = std::shared_ptr<platform::DeviceHandle>;
DriverRef openDriver();

class TestRun {
public:
    virtual ~TestRun() = default;
    // Lines written after "== Start ==" and the time line, before the first
    // cycle (a column header, say).
    virtual QStringList headerLines() const { return {}; }
    // Milliseconds the worker waits before the first cycle of the run (a
    // customised print's "Delay Start (s):"); the wait ends early on close.
    virtual int startDelayMs() const { return 0; }
    // The cycles the worker performs for "Total Cycle:" `totalCycles`, asked
    // once before the first cycle: a test made of several runs of that many
    // cycles each answers their sum.
    virtual int cyclesFor(int totalCycles) { return totalCycles; }
    // Whether the pause follows cycle `cycle` (not the last): a test whose
    // next run starts at once answers false at the end of a run.
    virtual bool pausesAfter(int cycle) const
    {
        (void)cycle;
        return true;
    }
    // One cycle on the worker thread: requests and result lines. `cycle` is
    // its number in this run, from 1, of `totalCycles`.
    virtual void cycle(int cycle, int totalCycles, RunSink& sink) = 0;
};

// A run, or why there is none (the text for the "Vantor" box, each line
// ending in "\n").
struct PreparedRun {
    std::unique_ptr<TestRun> run;
    QString refusal;

    static PreparedRun refuse(QString why) { return PreparedRun{nullptr, std::move(why)}; }
    template <class Run>
    static PreparedRun of(std::unique_ptr<Run> run)
    {
        return PreparedRun{std::move(run), QString()};
    }
    explicit operator bool() const { return run != nullptr; }
};

// The lines that open every run: "== Start ==", the local time as
// "%02d/%02d/%04d %02d:%02d:%02d", then the run's header lines.
QStringList runStartLines(const TestRun& run);
// The lines after the last cycle of a completed run.
QStringList runEndLines();

// The size of the batches in which long line lists reach the result list:
// the list selects its last line once per batch, and the worker waits for
// each batch to be appended, so the window never falls behind.
constexpr qsizetype kLineBatch = 2500;

} // namespace vantor
