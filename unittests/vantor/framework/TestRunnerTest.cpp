#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <functional>
#include <stdexcept>
#include <thread>

#include "platform/Clock.h"
#include "vantor/framework/TestRunner.h"

using namespace vantor;
using namespace std::chrono_literals;

namespace {

// Records what the worker reports, in order, as one list of events.
class RecordingSink : public RunSink {
public:
    void addLine(QString line) override { push(QStringLiteral("line:") + line); }
    void addLines(QStringList lines) override { push(QStringLiteral("lines:") + lines.join(QLatin1Char('|'))); }
    void cycleDone() override { push(QStringLiteral("done")); }
    void idle() override { push(QStringLiteral("idle")); }

    QStringList events()
    {
        std::lock_guard<std::mutex> l(m);
        return log;
    }
    // Waits (bounded by a count of wake-ups, not by time) until `pred` holds.
    template <class P>
    bool waitFor(P pred)
    {
        std::unique_lock<std::mutex> l(m);
        return cv.wait_for(l, 30s, [&] { return pred(log); });
    }

private:
    void push(QString s)
    {
        {
            std::lock_guard<std::mutex> l(m);
            log << s;
        }
        cv.notify_all();
    }
    std::mutex m;
    std::condition_variable cv;
    QStringList log;
};

// A run whose cycle is a function (the tests' stand-in for a test's run).
class FunctionRun : public TestRun {
public:
    explicit FunctionRun(std::function<void(int, RunSink&)> fn) : m_fn(std::move(fn)) {}
    void cycle(int n, int, RunSink& s) override { m_fn(n, s); }

private:
    std::function<void(int, RunSink&)> m_fn;
};
std::unique_ptr<TestRun> runOf(std::function<void(int, RunSink&)> fn) { return std::make_unique<FunctionRun>(std::move(fn)); }

struct RunnerFixture : ::testing::Test {
    platform::ManualClock clock;
    platform::ScopedClock scope{clock};
    RecordingSink sink;

    static bool ended(const QStringList& l) { return l.contains(QStringLiteral("line: ")); }

    // Moves virtual time in small steps until `done` holds: a waiting worker
    // may start its wait after any one step, so a single jump is not enough.
    template <class P>
    bool advanceUntil(P done)
    {
        // A real deadline that only trips on a hang, not a count of steps:
        // a loaded machine may keep the worker from a core for a while.
        for (auto deadline = std::chrono::steady_clock::now() + 60s; std::chrono::steady_clock::now() < deadline;) {
            if (done())
                return true;
            clock.advance(10ms);
            std::this_thread::sleep_for(20us);
        }
        return done();
    }
    bool advanceUntilIdle()
    {
        return advanceUntil([&] { return sink.events().contains(QStringLiteral("idle")); });
    }
};

} // namespace

TEST_F(RunnerFixture, RunFramesCyclesAndEndsWithEndAndSpace)
{
    TestRunner runner(sink);
    auto cycle = [](int n, RunSink& s) { s.addLine(QStringLiteral("%1. ok").arg(n)); };
    runner.start();
    runner.run(runOf(cycle), 3, 250);
    ASSERT_TRUE(sink.waitFor(ended));
    EXPECT_EQ(sink.events(), (QStringList{"line:1. ok", "done", "line:2. ok", "done", "line:3. ok", "done",
                                          "line:== End ==", "line: "}));
    // Pauses after every cycle but the last, in virtual time.
    EXPECT_EQ(clock.slept(), 500ms);
    EXPECT_TRUE(runner.close());
}

TEST_F(RunnerFixture, ZeroOrNegativeTotalRunsOneCycleAndNegativePauseIsNone)
{
    TestRunner runner(sink);
    auto cycle = [](int n, RunSink& s) { s.addLine(QString::number(n)); };
    runner.start();
    runner.run(runOf(cycle), 0, -50);
    ASSERT_TRUE(sink.waitFor(ended));
    EXPECT_EQ(sink.events(), (QStringList{"line:1", "done", "line:== End ==", "line: "}));
    EXPECT_EQ(clock.slept(), 0ms);
}

TEST_F(RunnerFixture, IdleTimeoutResetsNumberingForTheNextRun)
{
    TestRunner runner(sink);
    auto cycle = [](int n, RunSink& s) { s.addLine(QString::number(n)); };
    runner.start();
    runner.run(runOf(cycle), 2, 0);
    ASSERT_TRUE(sink.waitFor(ended));
    // One second after the run the worker goes idle and RUN comes back.
    ASSERT_TRUE(advanceUntilIdle());
    runner.run(runOf(cycle), 1, 0);
    ASSERT_TRUE(sink.waitFor([](const QStringList& l) { return l.count(QStringLiteral("line: ")) == 2; }));
    const QStringList ev = sink.events();
    const qsizetype idle = ev.indexOf(QStringLiteral("idle"));
    EXPECT_EQ(ev.mid(idle + 1), (QStringList{"line:1", "done", "line:== End ==", "line: "}));
}

TEST_F(RunnerFixture, StopFinishesTheCycleInProgressWithoutEnd)
{
    platform::Event inCycle(platform::Event::Reset::Auto);
    platform::Event release(platform::Event::Reset::Auto);
    TestRunner runner(sink);
    auto cycle = [&](int n, RunSink& s) {
        inCycle.set();
        platform::waitOne(release, platform::kInfinite);
        s.addLine(QString::number(n));
    };
    runner.start();
    runner.run(runOf(cycle), 10, 0);
    platform::waitOne(inCycle, platform::kInfinite);
    release.set(); // cycle 1 done
    platform::waitOne(inCycle, platform::kInfinite);
    runner.stop(); // while cycle 2 is inside its request
    release.set();
    ASSERT_TRUE(advanceUntilIdle());
    const QStringList ev = sink.events();
    EXPECT_EQ(ev, (QStringList{"line:1", "done", "line:2", "done", "idle"}));
}

TEST_F(RunnerFixture, CloseWhileIdleEndsWorkerAtOnce)
{
    TestRunner runner(sink);
    runner.start();
    EXPECT_TRUE(runner.close());
    EXPECT_TRUE(runner.workerEnded());
}

TEST_F(RunnerFixture, SlowRequestOutlastingTheCloseWaitsIsWaitedFor)
{
    platform::Event inCycle(platform::Event::Reset::Manual);
    platform::Event release(platform::Event::Reset::Manual);
    std::atomic<bool> cycleReturned{false};
    std::atomic<bool> closeResult{true};
    std::atomic<bool> closeReturned{false};
    auto runner = std::make_unique<TestRunner>(sink);
    auto cycle = [&](int, RunSink&) {
        inCycle.set();
        platform::waitOne(release, platform::kInfinite); // a request that never seems to end
        cycleReturned = true;
    };
    runner->start();
    runner->run(runOf(cycle), 5, 1000);
    platform::waitOne(inCycle, platform::kInfinite);

    std::thread closer([&] {
        closeResult = runner->close();
        closeReturned = true;
        runner.reset(); // destruction must wait for the worker, not leave it running
    });
    // Let the three 5-second waits pass in virtual time.
    ASSERT_TRUE(advanceUntil([&] { return closeReturned.load(); }));
    EXPECT_GE(clock.now(), 15000ms);
    EXPECT_FALSE(cycleReturned.load());
    release.set();
    closer.join();
    EXPECT_FALSE(closeResult.load()); // the waits ran out while the request was in progress
    EXPECT_TRUE(cycleReturned.load()); // and yet the runner outlived the worker's cycle
}

TEST_F(RunnerFixture, StopMidRunStillSleepsThePauseBeforeGoingIdle)
{
    platform::Event inCycle(platform::Event::Reset::Auto);
    platform::Event release(platform::Event::Reset::Auto);
    TestRunner runner(sink);
    auto cycle = [&](int n, RunSink& s) {
        inCycle.set();
        platform::waitOne(release, platform::kInfinite);
        s.addLine(QString::number(n));
    };
    runner.start();
    runner.run(runOf(cycle), 5, 700);
    platform::waitOne(inCycle, platform::kInfinite);
    runner.stop(); // inside cycle 1 of 5
    release.set();
    ASSERT_TRUE(advanceUntilIdle());
    EXPECT_EQ(sink.events(), (QStringList{"line:1", "done", "idle"}));
    // The count was below the total, so the pause followed the stopped cycle.
    EXPECT_GE(clock.slept(), 700ms);
}

TEST_F(RunnerFixture, ThrowingCycleIsAFailedCycleAndTheRunGoesOn)
{
    TestRunner runner(sink);
    auto cycle = [](int n, RunSink& s) {
        if (n == 2)
            throw std::runtime_error("table too large");
        s.addLine(QString::number(n));
    };
    runner.start();
    runner.run(runOf(cycle), 3, 0);
    ASSERT_TRUE(sink.waitFor(ended));
    EXPECT_EQ(sink.events(), (QStringList{"line:1", "done", "line:2. Cycle failed: table too large - FAIL", "done",
                                          "line:3", "done", "line:== End ==", "line: "}));
    EXPECT_TRUE(runner.close());
}

TEST_F(RunnerFixture, RunnerOwnsTheRunAndLetsThePreviousOneGo)
{
    struct Counted : TestRun {
        explicit Counted(std::atomic<int>& alive) : m_alive(alive) { ++m_alive; }
        ~Counted() override { --m_alive; }
        void cycle(int n, int, RunSink& s) override { s.addLine(QString::number(n)); }
        std::atomic<int>& m_alive;
    };
    std::atomic<int> alive{0};
    {
        TestRunner runner(sink);
        runner.start();
        runner.run(std::make_unique<Counted>(alive), 1, 0);
        ASSERT_TRUE(sink.waitFor(ended));
        ASSERT_TRUE(advanceUntilIdle());
        runner.run(std::make_unique<Counted>(alive), 1, 0);
        ASSERT_TRUE(sink.waitFor([](const QStringList& l) { return l.count(QStringLiteral("line: ")) == 2; }));
        EXPECT_EQ(alive.load(), 1); // the first run went when the second came
        runner.close();
    }
    EXPECT_EQ(alive.load(), 0); // and the second with the runner
}
