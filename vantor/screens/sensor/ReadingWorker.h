#pragma once
// The worker of a reading dialog (ADC, DAC, GPIO, sensor read): quit and run
// events and one thread that waits on {quit, run} with a 1000 ms time-out and
// calls the dialog's step while the run event is set. The step is handed a
// run object of its own; it never reads the dialog.
#include <atomic>
#include <functional>

#include "platform/Event.h"
#include "platform/Thread.h"

namespace vantor::sensor {

class ReadingWorker {
public:
    static constexpr platform::Millis kIdleWait{1000};
    static constexpr platform::Millis kCloseWait{5000};
    static constexpr int kCloseWaits = 3;

    ReadingWorker() = default;
    ~ReadingWorker(); // closes if still open; never returns while the thread runs
    ReadingWorker(const ReadingWorker&) = delete;
    ReadingWorker& operator=(const ReadingWorker&) = delete;

    // `step` runs each time the run event is found set; `idle` at each
    // time-out (may be empty).
    // The step is handed the worker (to reset the run event, to pause).
    void start(std::function<void(ReadingWorker&)> step, std::function<void()> idle = {});

    void setRun() { m_run.set(); }
    void resetRun() { m_run.reset(); }
    bool runSet() const { return m_run.isSet(); }

    // Sets quit and waits up to three times 5000 ms; true when the thread
    // ended within them. The destructor waits on without limit.
    bool close();
    // After close(): waits without limit for the thread to end.
    void join()
    {
        if (m_thread.started())
            m_thread.join(platform::kInfinite);
    }
    bool closing() const { return m_quitting.load(); }
    bool ended() const { return m_thread.finished(); }

    // The pause after a step, cut short when the dialog closes.
    void pause(int ms);

private:
    void loop();

    std::function<void(ReadingWorker&)> m_step;
    std::function<void()> m_idle;
    platform::Event m_quit{platform::Event::Reset::Auto};
    platform::Event m_run{platform::Event::Reset::Manual};
    std::atomic<bool> m_quitting{false};
    platform::WorkerThread m_thread;
};

} // namespace vantor::sensor
