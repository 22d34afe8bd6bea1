#include "TestRunner.h"

#include <algorithm>

namespace vantor {

TestRunner::TestRunner(RunSink& sink, CycleFunction cycle) : m_sink(sink), m_cycle(std::move(cycle)) {}

TestRunner::~TestRunner()
{
    if (m_worker.started() && !m_worker.finished()) {
        close();
        m_worker.join(platform::kInfinite);
    }
}

void TestRunner::start()
{
    m_worker.start([this] { loop(); });
}

void TestRunner::run(int totalCycles, int pauseMs)
{
    m_total = totalCycles;
    m_pause = std::max(pauseMs, 0);
    m_run.set();
    ++m_generation; // after the set: see generation()
}

void TestRunner::stop() { m_run.reset(); }

bool TestRunner::close()
{
    m_quitting = true;
    m_quit.set();
    if (!m_worker.started())
        return true;
    for (int i = 0; i < kCloseWaits; ++i)
        if (m_worker.join(kCloseWait))
            return true;
    return false;
}

void TestRunner::pause(int ms)
{
    // Sliced, so that closing the dialog is not held up by a long pause.
    constexpr int kSlice = 100;
    while (ms > 0 && !m_quitting) {
        const int step = std::min(ms, kSlice);
        platform::sleepMs(step);
        ms -= step;
    }
}

void TestRunner::loop()
{
    int cyclesDone = 0;
    for (;;) {
        const int seen = m_generation.load(); // before the wait: see generation()
        const platform::WaitResult w = platform::waitAny({&m_quit, &m_run}, kIdleWait);
        if (w.status == platform::WaitStatus::Failed)
            return; // the events are gone: the dialog is closing
        if (w.signalled(0))
            return;
        if (w.status == platform::WaitStatus::Timeout) {
            cyclesDone = 0;
            m_idleGeneration = seen;
            m_sink.idle();
            continue;
        }
        ++cyclesDone;
        m_cycle(cyclesDone, m_sink);
        m_sink.cycleDone();
        if (cyclesDone < m_total.load()) {
            pause(m_pause.load());
        } else {
            m_sink.addLine(QStringLiteral("== End =="));
            m_sink.addLine(QStringLiteral(" "));
            m_run.reset();
        }
    }
}

} // namespace vantor
