#pragma once
// The timed loop of a benchmark that presses RUN in a dialog: per iteration
// the result list is cleared (untimed), RUN pressed and the event loop turned
// until the run's lines are listed (timed), then the injected clock advanced
// until RUN is enabled again (untimed). Counts the lines listed and the
// longest stretch the interface thread spent away from its event loop.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <thread>

#include "platform/Clock.h"
#include "ui/ResultList.h"
#include "ui/testing/DialogHarness.h"

namespace bench {

struct TimedRuns {
    qsizetype lines = 0;
    qint64 worstStallNs = 0;
};

// `listed(list)`: true once the run's lines are all there.
template <class Listed>
TimedRuns timeRuns(benchmark::State& state, ui::testing::DialogHarness& h, ui::ResultList& list,
                   platform::ManualClock& clock, int runId, Listed listed)
{
    TimedRuns out;
    QElapsedTimer stall;
    for (auto _ : state) {
        state.PauseTiming();
        list.clear();
        state.ResumeTiming();

        h.click(runId);
        while (!listed(list)) {
            stall.start();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            out.worstStallNs = std::max(out.worstStallNs, stall.nsecsElapsed());
        }
        out.lines += list.count();

        state.PauseTiming();
        while (!h.enabled(runId)) {
            clock.advance(platform::Millis(50));
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            std::this_thread::yield();
        }
        state.ResumeTiming();
    }
    return out;
}

inline void reportRuns(benchmark::State& state, const TimedRuns& runs)
{
    state.counters["lines_per_s"] = benchmark::Counter(double(runs.lines), benchmark::Counter::kIsRate);
    state.counters["worst_ui_stall_ms"] = double(runs.worstStallNs) / 1e6;
}

} // namespace bench
