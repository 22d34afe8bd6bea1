#include "UiThread.h"

#include "HandlerGuard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <atomic>
#include <deque>

namespace ui {

namespace detail {

bool CallState::begin()
{
    std::lock_guard l(m);
    if (s != Waiting)
        return false;
    s = Running;
    return true;
}

void CallState::finish(S to)
{
    {
        std::lock_guard l(m);
        if (to == Cancelled && s != Waiting)
            return; // running or over: it finishes by itself
        s = to;
    }
    cv.notify_all();
}

bool CallState::wait()
{
    std::unique_lock l(m);
    cv.wait(l, [&] { return s == Done || s == Cancelled || s == Failed; });
    return s == Done;
}

} // namespace detail

CallGroup::~CallGroup()
{
    cancelAll(true);
}

void CallGroup::cancelAll(bool refuseNew)
{
    std::vector<std::weak_ptr<detail::CallState>> calls;
    {
        std::lock_guard l(m_mutex);
        m_refusing = m_refusing || refuseNew;
        calls.swap(m_calls);
    }
    for (auto& w : calls)
        if (auto c = w.lock())
            c->finish(detail::CallState::Cancelled);
}

void CallGroup::reopen()
{
    std::lock_guard l(m_mutex);
    m_refusing = false;
}

bool CallGroup::add(const std::shared_ptr<detail::CallState>& call)
{
    std::lock_guard l(m_mutex);
    if (m_refusing)
        return false;
    std::erase_if(m_calls, [](const auto& w) { return w.expired(); });
    m_calls.push_back(call);
    return true;
}

void CallGroup::remove(const detail::CallState* call)
{
    std::lock_guard l(m_mutex);
    std::erase_if(m_calls, [call](const auto& w) {
        auto c = w.lock();
        return !c || c.get() == call;
    });
}

bool onUiThread()
{
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

namespace {

struct PendingCall {
    std::function<void()> fn;
    std::shared_ptr<detail::CallState> state;
};

const QEvent::Type kWake = QEvent::Type(QEvent::registerEventType());

struct CallQueue {
    std::mutex mutex;
    std::deque<PendingCall> calls;
    bool wakePending = false;
};

CallQueue& queue()
{
    static CallQueue q;
    return q;
}

// Lives on the interface thread; runs the queued calls when woken.
class Receiver final : public QObject {
public:
    using QObject::QObject;
    bool event(QEvent* e) override
    {
        if (e->type() != kWake)
            return QObject::event(e);
        std::deque<PendingCall> calls;
        {
            std::lock_guard l(queue().mutex);
            calls.swap(queue().calls);
            queue().wakePending = false;
        }
        for (PendingCall& c : calls) {
            if (c.state->begin()) {
                const bool ok = guarded(c.fn);
                c.state->finish(ok ? detail::CallState::Done : detail::CallState::Failed);
            }
        }
        return true;
    }
};

std::atomic<Receiver*> g_receiver{nullptr};

// Made on the interface thread as the application starts.
void createReceiver()
{
    auto* r = new Receiver(QCoreApplication::instance());
    g_receiver.store(r);
    QObject::connect(r, &QObject::destroyed, [] { g_receiver.store(nullptr); });
}
Q_COREAPP_STARTUP_FUNCTION(createReceiver)

} // namespace

bool callOnUiThread(std::function<void()> fn, CallGroup* group)
{
    Receiver* receiver = g_receiver.load();
    if (onUiThread() || !QCoreApplication::instance() || !receiver)
        return guarded(fn);
    auto state = std::make_shared<detail::CallState>();
    if (group && !group->add(state))
        return false;
    {
        std::lock_guard l(queue().mutex);
        queue().calls.push_back({std::move(fn), state});
        if (!queue().wakePending) {
            queue().wakePending = true;
            QCoreApplication::postEvent(receiver, new QEvent(kWake));
        }
    }
    const bool ran = state->wait();
    if (group)
        group->remove(state.get());
    return ran;
}

} // namespace ui
