#pragma once
// Running a function on the user-interface thread and waiting for it, from a
// worker. The wait ends when the function has run, or when the call is
// cancelled: its context object went away before running it, or the call
// group it belongs to was closed. Used by Dialog::send() and by prompts
// raised from workers.
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace ui {

class CallGroup;
namespace detail {
struct CallState;
// The two halves of callOnUiThread, for callers that must queue under a lock
// of their own and wait outside it. queueCall returns null when refused.
std::shared_ptr<CallState> queueCall(QObject* context, std::function<void()> fn, CallGroup* group);
bool waitCall(const std::shared_ptr<CallState>& call, CallGroup* group);
} // namespace detail

// Calls that can be cancelled together (a dialog's sends, the prompts).
class CallGroup {
public:
    CallGroup() = default;
    CallGroup(const CallGroup&) = delete;
    CallGroup& operator=(const CallGroup&) = delete;
    ~CallGroup();

    // Cancels waiting calls; with `refuseNew` later calls fail at once.
    void cancelAll(bool refuseNew);
    void reopen();

private:
    friend std::shared_ptr<detail::CallState> detail::queueCall(QObject*, std::function<void()>, CallGroup*);
    friend bool detail::waitCall(const std::shared_ptr<detail::CallState>&, CallGroup*);
    bool add(const std::shared_ptr<detail::CallState>& call);
    void remove(const detail::CallState* call);
    std::mutex m_mutex;
    bool m_refusing = false;
    std::vector<std::weak_ptr<detail::CallState>> m_calls;
};

// True when the caller is on the user-interface (application) thread.
bool onUiThread();

// Runs `fn` on `context`'s thread: at once when already there, else queued,
// blocking the caller until it ran (true) or was cancelled (false).
bool callOnUiThread(QObject* context, std::function<void()> fn, CallGroup* group = nullptr);

} // namespace ui
