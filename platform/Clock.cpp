#include "Clock.h"

#include <ctime>
#include <thread>

namespace platform {

namespace {
RealClock g_realClock;
std::atomic<Clock*> g_clock{nullptr};
} // namespace

Clock& clock()
{
    Clock* c = g_clock.load(std::memory_order_acquire);
    return c ? *c : g_realClock;
}

void setClock(Clock* c)
{
    g_clock.store(c, std::memory_order_release);
    // Waiters computed their deadlines on the old clock; let them look again.
    std::lock_guard<std::mutex> lock(waitHub().mutex);
    waitHub().cv.notify_all();
}

WaitHub& waitHub()
{
    static WaitHub hub;
    return hub;
}

Millis RealClock::now() const
{
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

void RealClock::sleep(Millis duration)
{
    if (duration.count() > 0)
        std::this_thread::sleep_for(duration);
}

LocalTime RealClock::localTime() const
{
    const auto sysNow = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(sysNow);
    std::tm tm{};
    localtime_r(&t, &tm);
    const auto ms = std::chrono::duration_cast<Millis>(sysNow.time_since_epoch()).count() % 1000;
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms)};
}

bool RealClock::waitUntil(std::unique_lock<std::mutex>& lock, Millis deadline, const std::function<bool()>& ready)
{
    const auto steadyDeadline = std::chrono::steady_clock::time_point(deadline);
    return waitHub().cv.wait_until(lock, steadyDeadline, ready);
}

ManualClock::ManualClock(LocalTime start) : m_start(start) {}

Millis ManualClock::now() const { return Millis(m_now.load()); }

void ManualClock::sleep(Millis duration)
{
    if (duration.count() <= 0)
        return;
    m_slept += duration.count();
    advance(duration);
}

LocalTime ManualClock::localTime() const
{
    LocalTime start;
    {
        std::lock_guard<std::mutex> lock(m_timeMutex);
        start = m_start;
    }
    // Move the start forward by the virtual time elapsed, through the C library
    // so that day and month roll over correctly.
    std::tm tm{};
    tm.tm_year = start.year - 1900;
    tm.tm_mon = start.month - 1;
    tm.tm_mday = start.day;
    tm.tm_hour = start.hour;
    tm.tm_min = start.minute;
    tm.tm_sec = start.second;
    const int64_t totalMs = m_now.load() + start.millisecond;
    tm.tm_sec += int(totalMs / 1000);
    std::time_t t = timegm(&tm);
    std::tm out{};
    gmtime_r(&t, &out);
    return {out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_hour, out.tm_min, out.tm_sec,
            int(totalMs % 1000)};
}

bool ManualClock::waitUntil(std::unique_lock<std::mutex>& lock, Millis deadline, const std::function<bool()>& ready)
{
    // Virtual time only moves through advance(), which wakes every waiter.
    // `ready` may consume what it found (an auto-reset event), so it is asked
    // once per wake-up and its answer kept.
    bool isReady = false;
    waitHub().cv.wait(lock, [&] {
        isReady = ready();
        return isReady || now() >= deadline || &clock() != this;
    });
    return isReady;
}

void ManualClock::advance(Millis by)
{
    {
        std::lock_guard<std::mutex> lock(waitHub().mutex);
        m_now += by.count();
    }
    waitHub().cv.notify_all();
}

void ManualClock::setLocalTime(const LocalTime& t)
{
    std::lock_guard<std::mutex> lock(m_timeMutex);
    m_start = t;
}

Millis ManualClock::slept() const { return Millis(m_slept.load()); }

QString formatTimeStamp(const LocalTime& t)
{
    return QString::asprintf("%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute, t.second);
}

} // namespace platform
