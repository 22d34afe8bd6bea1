#pragma once
// The worker side of a cycling test: one worker thread per dialog that waits
// for the run signal and then performs one cycle after another of the run it
// was handed, reporting through a RunSink. Widget-free, so that tests and the
// headless runner drive it without a window. The runner owns the run: the
// worker never reaches into the dialog that started it.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/Event.h"
#include "platform/Thread.h"
#include "vantor/framework/TestRun.h"

namespace vantor {

class TestRunner {
public:
    static constexpr platform::Millis kIdleWait{1000};
    static constexpr platform::Millis kCloseWait{5000};
    static constexpr int kCloseWaits = 3;

    explicit TestRunner(RunSink& sink);
    ~TestRunner(); // closes if still open, and never returns while the worker runs
    TestRunner(const TestRunner&) = delete;
    TestRunner& operator=(const TestRunner&) = delete;

    // Starts the worker (dialog initialisation).
    void start();
    // Starts a run of `run`. A pause below 0 counts as 0; a total below 1
    // still runs one cycle (the tests that validate refuse it before this).
    // The previous run is let go once the worker no longer uses it.
    void run(std::unique_ptr<TestRun> run, int totalCycles, int pauseMs);
    // Stops after the cycle in progress.
    void stop();
    // Work the worker does at each idle time-out, before the idle notice (the
    // queued readings of a reading screen). It reports through the sink.
    void setIdleWork(std::function<void(RunSink&)> work);
    // Sets quit and waits for the worker up to three times 5000 ms. Returns
    // true when it ended within them. If it is still inside a request, the
    // destructor waits on for it: the worker never outlives what it uses.
    bool close();

    // Waits up to `timeout` (kInfinite: without limit) for the worker to end
    // after close().
    bool join(platform::Millis timeout) { return !m_worker.started() || m_worker.join(timeout); }

    // close() has begun: the worker takes no new cycle or idle work.
    bool closing() const { return m_quitting.load(); }
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
    bool startDelay(); // false when closing cut the delay short
    void performCycle(int cycle);
    bool pausesAfter(int cycle);
    void idleWork();

    RunSink& m_sink;
    std::mutex m_runLock;
    std::shared_ptr<TestRun> m_current; // guarded by m_runLock
    std::shared_ptr<std::function<void(RunSink&)>> m_idleWork; // guarded by m_runLock
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
