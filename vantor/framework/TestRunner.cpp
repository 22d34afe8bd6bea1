#include "TestRunner.h"

#include <algorithm>
#include <exception>

namespace vantor {

TestRunner::TestRunner(RunSink& sink) : m_sink(sink) {}

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

void TestRunner::run(std::unique_ptr<TestRun> run, int totalCycles, int pauseMs)
{
    {
        std::lock_guard lock(m_runLock);
        m_current = std::move(run);
    }
    m_total = totalCycles;
    m_pause = std::max(pauseMs, 0);
    m_run.set();
    ++m_generation; // after the set: see generation()
}

void TestRunner::stop() { m_run.reset(); }

void TestRunner::setIdleWork(std::function<void(RunSink&)> work)
{
    auto shared = work ? std::make_shared<std::function<void(RunSink&)>>(std::move(work)) : nullptr;
    std::lock_guard lock(m_runLock);
    m_idleWork = std::move(shared);
}

void TestRunner::idleWork()
{
    std::shared_ptr<std::function<void(RunSink&)>> work;
    {
        std::lock_guard lock(m_runLock);
        work = m_idleWork;
    }
    if (!work)
        return;
    // As a cycle: a step that throws is reported, never the end of the worker.
    try {
        (*work)(m_sink);
    } catch (const std::exception& e) {
        m_sink.addLine(QStringLiteral("Step failed: %1 - FAIL").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        m_sink.addLine(QStringLiteral("Step failed - FAIL"));
    }
}

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

bool TestRunner::startDelay()
{
    int ms = 0;
    {
        std::lock_guard lock(m_runLock);
        if (m_current)
            ms = m_current->startDelayMs();
    }
    pause(ms);
    return !m_quitting;
}

void TestRunner::performCycle(int cycle)
{
    std::shared_ptr<TestRun> current;
    {
        std::lock_guard lock(m_runLock);
        current = m_current;
    }
    if (!current) {
        m_sink.addLine(QStringLiteral("%1. No test to run - FAIL").arg(cycle));
        return;
    }
    // A cycle that throws is a failed cycle with its reason, never the end
    // of the program or of the worker.
    try {
        current->cycle(cycle, m_total.load(), m_sink);
    } catch (const std::exception& e) {
        m_sink.addLine(QStringLiteral("%1. Cycle failed: %2 - FAIL").arg(cycle).arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        m_sink.addLine(QStringLiteral("%1. Cycle failed - FAIL").arg(cycle));
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
            idleWork();
            m_idleGeneration = seen;
            m_sink.idle();
            continue;
        }
        ++cyclesDone;
        if (cyclesDone == 1 && !startDelay())
            return;
        performCycle(cyclesDone);
        m_sink.cycleDone();
        // After Stop too: the pause still follows a cycle below the total.
        if (cyclesDone < m_total.load()) {
            pause(m_pause.load());
        } else {
            for (QString& line : runEndLines())
                m_sink.addLine(std::move(line));
            m_run.reset();
            m_sink.finished();
        }
    }
}

} // namespace vantor
