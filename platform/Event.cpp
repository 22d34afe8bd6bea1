#include "Event.h"

#include <optional>

namespace platform {

Event::Event(Reset kind, bool initiallySet) : m_kind(kind), m_set(initiallySet) {}

Event::~Event() { close(); }

void Event::set()
{
    {
        std::lock_guard<std::mutex> lock(waitHub().mutex);
        if (m_closed)
            return;
        m_set = true;
    }
    waitHub().cv.notify_all();
}

void Event::reset()
{
    std::lock_guard<std::mutex> lock(waitHub().mutex);
    m_set = false;
}

bool Event::isSet() const
{
    std::lock_guard<std::mutex> lock(waitHub().mutex);
    return m_set;
}

void Event::close()
{
    {
        std::lock_guard<std::mutex> lock(waitHub().mutex);
        if (m_closed)
            return;
        m_closed = true;
        m_set = false;
    }
    waitHub().cv.notify_all();
}

bool Event::isClosed() const
{
    std::lock_guard<std::mutex> lock(waitHub().mutex);
    return m_closed;
}

struct WaitAccess {
    static bool closed(const Event* e) { return e->m_closed; }
    static bool set(const Event* e) { return e->m_set; }
    static void consume(Event* e)
    {
        if (e->m_kind == Event::Reset::Auto)
            e->m_set = false;
    }
};

namespace {

// A null deadline waits forever.
WaitResult waitFor(const std::vector<Event*>& events, const std::optional<Millis>& deadline)
{
    if (events.empty())
        return {WaitStatus::Failed, -1};
    Clock& c = clock();
    std::unique_lock<std::mutex> lock(waitHub().mutex);
    WaitResult result;
    auto check = [&]() {
        for (size_t i = 0; i < events.size(); ++i) {
            if (!events[i] || WaitAccess::closed(events[i])) {
                result = {WaitStatus::Failed, -1};
                return true;
            }
        }
        for (size_t i = 0; i < events.size(); ++i) {
            if (WaitAccess::set(events[i])) {
                WaitAccess::consume(events[i]);
                result = {WaitStatus::Signalled, int(i)};
                return true;
            }
        }
        return false;
    };
    if (check())
        return result;
    if (!deadline) {
        waitHub().cv.wait(lock, check);
        return result;
    }
    if (*deadline <= c.now())
        return {WaitStatus::Timeout, -1};
    if (c.waitUntil(lock, *deadline, check))
        return result;
    return {WaitStatus::Timeout, -1};
}

} // namespace

WaitResult waitAny(const std::vector<Event*>& events, Millis timeout)
{
    if (timeout.count() < 0)
        return waitFor(events, std::nullopt);
    return waitFor(events, clock().now() + timeout);
}

WaitResult waitAnyUntil(const std::vector<Event*>& events, Millis deadline)
{
    return waitFor(events, deadline);
}

} // namespace platform
