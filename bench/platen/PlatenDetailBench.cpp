// The platen test with "Track Encoder in Detail" at 100,000 pulses per cycle,
// end to end: RUN pressed in the dialog, the simulated printer (time scale 0)
// answering, the worker formatting one line per pulse, the dialog appending
// the batches, up to the " " that ends the run. Reports lines per second and
// the longest single stretch the interface thread spent without returning to
// its event loop (how long the window could not respond).
//
// Measured on the 2-core machine (load about 5): some 1.8 million lines per
// second end to end (3 x 100,001 lines plus framing in about 165 ms), the
// longest stall about 12 ms. Posting every batch at once instead gave about
// 0.7 million lines per second and stalls near 200 ms per cycle.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "bench/support/TimedRuns.h"
#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "sim/printer/SimulatedDevices.h"
#include "ui/ResultList.h"
#include "ui/testing/DialogHarness.h"
#include "vantor/res/VantorResources.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/screens/motion/CPlatenDlg.h"
#include "vantor/screens/motion/PlatenLines.h"

namespace {

// Formatting alone: one cycle's detail lines.
void BM_DetailLineFormatting(benchmark::State& state)
{
    const int64_t pulses = state.range(0);
    std::vector<uint32_t> table(static_cast<size_t>(pulses));
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = uint32_t(i * 3);
    qsizetype made = 0;
    for (auto _ : state) {
        vantor::platen::detailLines(1, table.data(), pulses, [&](QStringList b) { made += b.size(); });
        benchmark::DoNotOptimize(made);
    }
    state.counters["lines_per_s"] = benchmark::Counter(double(made), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DetailLineFormatting)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PlatenDetailRun(benchmark::State& state)
{
    const int pulses = int(state.range(0));
    const int cycles = int(state.range(1));
    QTemporaryDir root;
    platform::setDeviceRoot(root.path());
    platform::ManualClock clock; // the idle time-out after a run passes at once
    platform::ScopedClock scoped(clock);
    const QString ini = root.filePath(QStringLiteral("Vantor.ini"));
    {
        QFile f(ini);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray("\xFF\xFE", 2));
    }
    ScopedSettingsContext settings(ini);
    sim::SimConfig config;
    config.timeScale = 0.0;
    sim::SimulatedDevices devices = sim::registerSimulatedDevices(config);

    bench::TimedRuns runs;
    {
        CPlatenDlg dlg;
        ui::testing::DialogHarness h(dlg);
        ui::ResultList* list = dlg.resultList(IDC_RESULT_LIST);
        h.setText(IDC_PL_CONSTANT_SPEED, QStringLiteral("4000"));
        h.setText(IDC_PL_PULSES, QString::number(pulses));
        h.setText(IDC_PL_TR_CONSTANT_SPEED, QStringLiteral("800"));
        h.setText(IDC_TOTAL_CYCLE, QString::number(cycles));
        h.setText(IDC_PAUSE, QStringLiteral("0"));
        if (!h.checked(IDC_PL_TRACK_ENCODER))
            h.click(IDC_PL_TRACK_ENCODER);
        const qsizetype expected = qsizetype(cycles) * (pulses + 1) + 4;
        runs = bench::timeRuns(state, h, *list, clock, IDC_RUN,
                               [&](const ui::ResultList& l) { return l.count() >= expected; });
        if (list->count() != expected || list->line(list->count() - 1) != QStringLiteral(" "))
            state.SkipWithError("the run did not list every pulse");
        h.pressEscape();
    }
    sim::unregisterSimulatedDevices(devices);
    platform::setDeviceRoot(QString());
    bench::reportRuns(state, runs);
}
BENCHMARK(BM_PlatenDetailRun)->Args({100000, 3})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vantor::installBuiltinResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
