#pragma once
// Time as the programs see it: a monotonic millisecond count, sleeps and the
// local wall-clock time. Production uses the real clock; tests install a
// ManualClock so that time-outs and pauses pass without real waiting.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <QString>

namespace platform {

using Millis = std::chrono::milliseconds;

struct LocalTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual Millis now() const = 0;
    virtual void sleep(Millis duration) = 0;
    virtual LocalTime localTime() const = 0;
    // Waits on the platform's wait hub (see waitHub()) until `ready` holds or
    // this clock reaches `deadline`. The lock is on waitHub().mutex. Returns
    // the last answer of `ready`, which is asked once per wake-up (it may
    // consume what it found).
    virtual bool waitUntil(std::unique_lock<std::mutex>& lock, Millis deadline,
                           const std::function<bool()>& ready) = 0;
};

// The clock in force; the real one unless a test installed another.
Clock& clock();
// Installs a clock (nullptr restores the real one). The caller keeps ownership
// and must keep it alive while installed.
void setClock(Clock* clock);

inline void sleep(Millis d) { clock().sleep(d); }
inline void sleepMs(int64_t ms) { clock().sleep(Millis(ms < 0 ? 0 : ms)); }

// One mutex and condition variable shared by every event, wait and clock, so a
// manual clock can wake all timed waits when it moves.
struct WaitHub {
    std::mutex mutex;
    std::condition_variable cv;
};
WaitHub& waitHub();

class RealClock final : public Clock {
public:
    Millis now() const override;
    void sleep(Millis duration) override;
    LocalTime localTime() const override;
    bool waitUntil(std::unique_lock<std::mutex>& lock, Millis deadline,
                   const std::function<bool()>& ready) override;
};

// Virtual time for tests. sleep() moves time forward at once (a sleeping
// worker never blocks); timed waits end only when the test advances the clock
// past their deadline, or their condition comes true.
class ManualClock final : public Clock {
public:
    explicit ManualClock(LocalTime start = {2026, 1, 2, 3, 4, 5, 0});
    Millis now() const override;
    void sleep(Millis duration) override;
    LocalTime localTime() const override;
    bool waitUntil(std::unique_lock<std::mutex>& lock, Millis deadline,
                   const std::function<bool()>& ready) override;

    void advance(Millis by);
    void setLocalTime(const LocalTime& t);
    // Total of all sleeps so far (what a real clock would have spent sleeping).
    Millis slept() const;

private:
    std::atomic<int64_t> m_now{0};
    std::atomic<int64_t> m_slept{0};
    mutable std::mutex m_timeMutex;
    LocalTime m_start;
};

// Installs a clock for a scope.
class ScopedClock {
public:
    explicit ScopedClock(Clock& c) { setClock(&c); }
    ~ScopedClock() { setClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

// "%02d/%02d/%04d %02d:%02d:%02d": day, month, year, hour, minute, second.
QString formatTimeStamp(const LocalTime& t);

} // namespace platform
