#pragma once
// Events and waits with the platform's semantics: manual- or auto-reset
// events, and a wait on several of them that reports which one woke it.
#include <initializer_list>
#include <memory>
#include <vector>
#include "Clock.h"

namespace platform {

class Event {
public:
    enum class Reset { Manual, Auto };
    explicit Event(Reset kind, bool initiallySet = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    bool isSet() const;
    // A closed event fails every later wait on it; set/reset do nothing.
    void close();
    bool isClosed() const;
    Reset kind() const { return m_kind; }

private:
    friend struct WaitAccess;
    const Reset m_kind;
    bool m_set;      // guarded by waitHub().mutex
    bool m_closed = false;
};

enum class WaitStatus { Signalled, Timeout, Failed };

struct WaitResult {
    WaitStatus status = WaitStatus::Failed;
    int index = -1; // which event, when Signalled (the lowest set index wins)
    bool signalled(int i) const { return status == WaitStatus::Signalled && index == i; }
};

// Waits until one of the events is set, the timeout passes on the clock in
// force, or fails at once when an event is null or closed. An auto-reset event
// that ends the wait is reset by it. A negative timeout waits forever.
WaitResult waitAny(const std::vector<Event*>& events, Millis timeout);
inline WaitResult waitAny(std::initializer_list<Event*> events, Millis timeout)
{
    return waitAny(std::vector<Event*>(events), timeout);
}
inline WaitResult waitOne(Event& e, Millis timeout) { return waitAny({&e}, timeout); }
// The same up to a point in time of the clock in force. A schedule waits
// this way: a timeout worked out from now() would move out by however far
// the clock went on between reading it and starting to wait.
WaitResult waitAnyUntil(const std::vector<Event*>& events, Millis deadline);
inline WaitResult waitOneUntil(Event& e, Millis deadline) { return waitAnyUntil({&e}, deadline); }

constexpr Millis kInfinite{-1};

} // namespace platform
