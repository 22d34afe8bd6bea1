#pragma once
// The worker side of a cycling test: one worker thread per dialog that waits
// for the run signal and then performs one cycle after another, reporting
// through a RunSink. Widget-free, so that tests drive it without a window.
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

#include "platform/Event.h"
#include "platform/Thread.h"

namespace vantor {

// What the worker reports. Called on the worker thread; the dialog's
// implementation posts the matching window messages.
class RunSink {
public:
    virtual ~RunSink() = default;
    virtual void addLine(QString line) = 0;       // add-line
    virtual void addLines(QStringList lines) = 0; // add-line, batch form
    virtual void cycleDone() = 0;                 // cycle-done
    virtual void idle() = 0;                      // the worker is idle: enable RUN
};

// One cycle of a test: its requests and result lines. `cycle` is the number of
// the cycle within the current run, from 1.
using CycleFunction = std::function<void(int cycle, RunSink& sink)>;

class TestRunner {
public:
    static constexpr platform::Millis kIdleWait{1000};
    static constexpr platform::Millis kCloseWait{5000};
    static constexpr int kCloseWaits = 3;

    TestRunner(RunSink& sink, CycleFunction cycle);
    ~TestRunner(); // closes if still open, and never returns while the worker runs
    TestRunner(const TestRunner&) = delete;
    TestRunner& operator=(const TestRunner&) = delete;

    // Starts the worker (dialog initialisation).
    void start();
    // Starts a run. A pause below 0 counts as 0; a total below 1 still runs
    // one cycle (the tests that validate refuse it before this).
    void run(int totalCycles, int pauseMs);
    // Stops after the cycle in progress.
    void stop();
    // Sets quit and waits for the worker up to three times 5000 ms. Returns
    // true when it ended within them. If it is still inside a request, the
    // destructor waits on for it: the worker never outlives what it uses.
    bool close();

    // Waits up to `timeout` (kInfinite: without limit) for the worker to end
    // after close().
    bool join(platform::Millis timeout) { return !m_worker.started() || m_worker.join(timeout); }

    bool running() const { return m_run.isSet(); }
    bool workerEnded() const { return m_worker.finished(); }

    // Counts the calls of run(). Read inside RunSink::idle(), idleGeneration()
    // is the count the worker had seen before the wait that timed out: the
    // worker is idle for good (until the next run()) only while it still
    // equals generation(). An idle notice queued before a RUN thus cannot
    // enable RUN during the run that followed it.
    int generation() const { return m_generation.load(); }
    int idleGeneration() const { return m_idleGeneration.load(); }

private:
    void loop();
    void pause(int ms);

    RunSink& m_sink;
    CycleFunction m_cycle;
    platform::Event m_quit{platform::Event::Reset::Auto};
    platform::Event m_run{platform::Event::Reset::Manual};
    std::atomic<int> m_total{0};
    std::atomic<int> m_pause{0};
    std::atomic<bool> m_quitting{false};
    std::atomic<int> m_generation{0};
    std::atomic<int> m_idleGeneration{0};
    platform::WorkerThread m_worker;
};

} // namespace vantor
