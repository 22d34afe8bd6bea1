#include "Thread.h"

namespace platform {

WorkerThread::~WorkerThread()
{
    // A worker may still be inside a long request; waiting here is what keeps
    // its state alive until it has finished with it.
    if (m_thread.joinable())
        m_thread.join();
}

bool WorkerThread::start(std::function<void()> body)
{
    if (started())
        return false;
    m_done = std::make_shared<Event>(Event::Reset::Manual);
    auto done = m_done;
    m_thread = std::thread([body = std::move(body), done]() {
        body();
        done->set();
    });
    return true;
}

bool WorkerThread::join(Millis timeout)
{
    if (m_joined)
        return true;
    if (!m_thread.joinable())
        return false;
    if (waitOne(*m_done, timeout).status != WaitStatus::Signalled)
        return false;
    m_thread.join();
    m_joined = true;
    return true;
}

bool WorkerThread::finished() const { return m_joined || (m_done && m_done->isSet()); }

} // namespace platform
