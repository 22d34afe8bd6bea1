#pragma once
// Handing work from workers to the user-interface thread.
//
// Whatever crosses threads (messages, payloads, calls) travels through
// queues guarded by std::mutex; Qt only carries a wake-up event with no data.
// That keeps the hand-over visible to the thread sanitizer, which cannot see
// Qt's own internal locking.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace ui {

namespace detail {

// One blocking call: the worker waits until the interface thread ran it or
// it was cancelled.
struct CallState {
    enum S { Waiting, Running, Done, Cancelled, Failed }; // Failed: the call threw
    std::mutex m;
    std::condition_variable cv;
    S s = Waiting;

    bool begin();        // interface thread: true when the call may run
    void finish(S to);   // Done or Failed after running; Cancelled only while waiting
    bool wait();         // worker: true when it ran to its end
};

} // namespace detail

// Calls that can be cancelled together (a dialog's sends, workers' prompts).
class CallGroup {
public:
    CallGroup() = default;
    CallGroup(const CallGroup&) = delete;
    CallGroup& operator=(const CallGroup&) = delete;
    ~CallGroup();

    // Cancels waiting calls; with `refuseNew` later calls are refused.
    void cancelAll(bool refuseNew);
    void reopen();
    // False when refusing.
    bool add(const std::shared_ptr<detail::CallState>& call);
    void remove(const detail::CallState* call);

private:
    std::mutex m_mutex;
    bool m_refusing = false;
    std::vector<std::weak_ptr<detail::CallState>> m_calls;
};

// True on the application's (user-interface) thread.
bool onUiThread();

// Runs `fn` on the user-interface thread: at once when already there, else
// queued, blocking the caller until it ran (true) or was cancelled (false).
// Without an application object it runs at once on the caller's thread. An
// exception from `fn` is reported (see HandlerGuard.h), never reaches the
// caller, and gives false.
bool callOnUiThread(std::function<void()> fn, CallGroup* group = nullptr);

} // namespace ui
