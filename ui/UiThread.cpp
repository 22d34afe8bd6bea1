#include "UiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <condition_variable>

namespace ui {

namespace detail {

struct CallState {
    enum S { Waiting, Running, Done, Cancelled };
    std::mutex m;
    std::condition_variable cv;
    S s = Waiting;

    bool begin()
    {
        std::lock_guard l(m);
        if (s != Waiting)
            return false;
        s = Running;
        return true;
    }
    void finish(S to)
    {
        {
            std::lock_guard l(m);
            if (to == Cancelled && s != Waiting)
                return; // already running or over: it will finish by itself
            s = to;
        }
        cv.notify_all();
    }
    S wait()
    {
        std::unique_lock l(m);
        cv.wait(l, [&] { return s == Done || s == Cancelled; });
        return s;
    }
};

// Travels with the queued call; when the queue drops the call unrun (its
// context object was destroyed), the last copy cancels it.
struct CallTicket {
    std::shared_ptr<CallState> state;
    ~CallTicket()
    {
        if (state)
            state->finish(CallState::Cancelled);
    }
};

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
    // forget finished calls so the list stays short
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

namespace detail {

std::shared_ptr<CallState> queueCall(QObject* context, std::function<void()> fn, CallGroup* group)
{
    auto state = std::make_shared<CallState>();
    if (group && !group->add(state))
        return nullptr;
    auto ticket = std::make_shared<CallTicket>();
    ticket->state = state;
    QMetaObject::invokeMethod(
        context,
        [ticket, fn = std::move(fn)]() {
            if (!ticket->state->begin())
                return;
            fn();
            ticket->state->finish(CallState::Done);
        },
        Qt::QueuedConnection);
    return state;
}

bool waitCall(const std::shared_ptr<CallState>& call, CallGroup* group)
{
    if (!call)
        return false;
    const auto result = call->wait();
    if (group)
        group->remove(call.get());
    return result == CallState::Done;
}

} // namespace detail

bool callOnUiThread(QObject* context, std::function<void()> fn, CallGroup* group)
{
    if (!context)
        return false;
    if (QThread::currentThread() == context->thread()) {
        fn();
        return true;
    }
    return detail::waitCall(detail::queueCall(context, std::move(fn), group), group);
}

} // namespace ui
