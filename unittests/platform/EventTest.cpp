#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/Clock.h"
#include "platform/Event.h"
#include "platform/Thread.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

// Moves a manual clock in small steps until `done` holds, so a waiting thread
// sees its deadline pass without real waiting on time.
template <class Pred>
void advanceUntil(ManualClock& c, Pred done, Millis step = 100ms)
{
    for (int i = 0; i < 100000 && !done(); ++i) {
        c.advance(step);
        std::this_thread::yield();
    }
}

} // namespace

TEST(Event, ManualResetStaysSetAutoResetWakesOnce)
{
    Event manual(Event::Reset::Manual);
    Event autoEv(Event::Reset::Auto);
    manual.set();
    autoEv.set();
    EXPECT_TRUE(waitOne(manual, 0ms).signalled(0));
    EXPECT_TRUE(waitOne(manual, 0ms).signalled(0)); // still set
    EXPECT_TRUE(waitOne(autoEv, 0ms).signalled(0));
    EXPECT_EQ(waitOne(autoEv, 0ms).status, WaitStatus::Timeout); // consumed
    manual.reset();
    EXPECT_EQ(waitOne(manual, 0ms).status, WaitStatus::Timeout);
}

TEST(Event, QuitIsSeenBeforeRunWhenBothAreSet)
{
    Event quit(Event::Reset::Auto);
    Event run(Event::Reset::Manual);
    run.set();
    quit.set();
    EXPECT_TRUE(waitAny({&quit, &run}, 1000ms).signalled(0));
    // The run event is manual: it keeps waking the worker until reset.
    EXPECT_TRUE(waitAny({&quit, &run}, 1000ms).signalled(1));
    EXPECT_TRUE(waitAny({&quit, &run}, 1000ms).signalled(1));
}

TEST(Event, ClosedOrNullEventFailsInsteadOfHanging)
{
    Event a(Event::Reset::Manual);
    Event b(Event::Reset::Manual);
    b.close();
    EXPECT_EQ(waitAny({&a, &b}, kInfinite).status, WaitStatus::Failed);
    EXPECT_EQ(waitAny({&a, nullptr}, 1000ms).status, WaitStatus::Failed);
    EXPECT_EQ(waitAny(std::vector<Event*>{}, 1000ms).status, WaitStatus::Failed);
    b.set(); // no effect once closed
    EXPECT_FALSE(b.isSet());
}

TEST(Event, CloseWakesAWaiterWithFailure)
{
    Event e(Event::Reset::Manual);
    std::atomic<int> status{-1};
    std::thread t([&] { status = int(waitOne(e, kInfinite).status); });
    while (status == -1) {
        e.close();
        std::this_thread::yield();
    }
    t.join();
    EXPECT_EQ(status, int(WaitStatus::Failed));
}

TEST(ManualClockTest, TimeoutPassesOnlyWhenClockAdvances)
{
    ManualClock c;
    ScopedClock scope(c);
    Event quit(Event::Reset::Auto);
    Event run(Event::Reset::Manual);
    std::atomic<bool> finished{false};
    WaitResult result;
    std::thread t([&] {
        result = waitAny({&quit, &run}, 1000ms);
        finished = true;
    });
    // 999 ms of virtual time are not enough.
    c.advance(999ms);
    EXPECT_FALSE(finished.load());
    advanceUntil(c, [&] { return finished.load(); }, 1ms);
    t.join();
    EXPECT_EQ(result.status, WaitStatus::Timeout);
    EXPECT_GE(c.now(), 1000ms);
}

// A wait up to a point in time ends at that point however far the clock has
// gone before the wait begins: a deadline already passed ends it at once, one
// still ahead when the clock reaches it.
TEST(ManualClockTest, WaitUntilAPointIsNotPushedOutByTheClockMovingFirst)
{
    ManualClock c;
    ScopedClock scope(c);
    Event quit(Event::Reset::Auto);
    c.advance(1500ms);
    EXPECT_EQ(waitOneUntil(quit, 1000ms).status, WaitStatus::Timeout);
    EXPECT_EQ(c.now(), 1500ms) << "no time spent on a passed deadline";

    std::atomic<bool> finished{false};
    WaitResult result;
    std::thread t([&] {
        result = waitOneUntil(quit, 2000ms);
        finished = true;
    });
    c.advance(499ms);
    EXPECT_FALSE(finished.load());
    advanceUntil(c, [&] { return finished.load(); }, 1ms);
    t.join();
    EXPECT_EQ(result.status, WaitStatus::Timeout);
    EXPECT_GE(c.now(), 2000ms);

    quit.set();
    EXPECT_EQ(waitOneUntil(quit, 0ms).status, WaitStatus::Signalled) << "a set event wins over a passed deadline";
}

TEST(ManualClockTest, SleepAdvancesAtOnceAndLocalTimeRollsOver)
{
    ManualClock c({2026, 12, 31, 23, 59, 58, 0});
    ScopedClock scope(c);
    platform::sleep(3000ms);
    sleepMs(-5); // negative pauses count as none
    EXPECT_EQ(c.slept(), 3000ms);
    EXPECT_EQ(formatTimeStamp(platform::clock().localTime()), QStringLiteral("01/01/2027 00:00:01"));
}

TEST(ManualClockTest, SetEventWakesWaiterWithoutTimeAdvancing)
{
    ManualClock c;
    ScopedClock scope(c);
    Event run(Event::Reset::Manual);
    WaitResult result;
    std::thread t([&] { result = waitAny({&run}, 1000ms); });
    run.set();
    t.join();
    EXPECT_TRUE(result.signalled(0));
    EXPECT_EQ(c.now(), 0ms);
}

TEST(WorkerThreadTest, JoinReportsWhetherTheWorkerEnded)
{
    ManualClock c;
    ScopedClock scope(c);
    Event release(Event::Reset::Manual);
    WorkerThread w;
    ASSERT_TRUE(w.start([&] { waitOne(release, kInfinite); }));
    EXPECT_FALSE(w.start([] {}));
    std::atomic<bool> joined{false};
    std::atomic<bool> returned{false};
    std::thread joiner([&] {
        joined = w.join(5000ms);
        returned = true;
    });
    // The joiner may start waiting after any step, so keep moving until it
    // gives up.
    advanceUntil(c, [&] { return returned.load(); });
    joiner.join();
    EXPECT_GE(c.now(), 5000ms);
    EXPECT_FALSE(joined.load()); // still blocked: the join timed out
    EXPECT_FALSE(w.finished());
    release.set();
    EXPECT_TRUE(w.join(kInfinite));
    EXPECT_TRUE(w.finished());
}
