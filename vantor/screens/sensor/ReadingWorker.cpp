#include "vantor/screens/sensor/ReadingWorker.h"

#include <algorithm>

namespace vantor::sensor {

ReadingWorker::~ReadingWorker()
{
    if (m_thread.started() && !m_thread.finished()) {
        close();
        m_thread.join(platform::kInfinite);
    }
}

void ReadingWorker::start(std::function<void(ReadingWorker&)> step, std::function<void()> idle)
{
    m_step = std::move(step);
    m_idle = std::move(idle);
    m_thread.start([this] { loop(); });
}

bool ReadingWorker::close()
{
    m_quitting = true;
    m_quit.set();
    if (!m_thread.started())
        return true;
    for (int i = 0; i < kCloseWaits; ++i)
        if (m_thread.join(kCloseWait))
            return true;
    return false;
}

void ReadingWorker::pause(int ms)
{
    // Sliced, so that closing is not held up by the pause.
    constexpr int kSlice = 100;
    while (ms > 0 && !m_quitting) {
        const int step = std::min(ms, kSlice);
        platform::sleepMs(step);
        ms -= step;
    }
}

void ReadingWorker::loop()
{
    for (;;) {
        const platform::WaitResult w = platform::waitAny({&m_quit, &m_run}, kIdleWait);
        if (w.status == platform::WaitStatus::Failed)
            return;
        if (w.signalled(0) || m_quitting)
            return;
        if (w.status == platform::WaitStatus::Timeout) {
            if (m_idle)
                m_idle();
            continue;
        }
        m_step(*this);
    }
}

} // namespace vantor::sensor
