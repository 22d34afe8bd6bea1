// The XY cutter life test's aging run, end to end: RUN pressed in the
// dialog, the simulated printer (time scale 0) answering, the worker posting
// the "OK" line and 1000 single "%d. Encoder [%d]" lines per cycle, the
// dialog appending them, up to the " " that ends the run. 100 cycles give
// 100,100 result lines. Reports lines per second and the longest stretch the
// interface thread spent without returning to its event loop.
//
// Measured on the 2-core machine shared with other builds (load about 16):
// 100 cycles, 100,104 lines, in about 365 ms, some 275,000 lines per second
// end to end; the longest stall of the interface thread about 33 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "bench/support/TimedRuns.h"
#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "sim/printer/SimulatedDevices.h"
#include "ui/ResultList.h"
#include "ui/testing/DialogHarness.h"
#include "vantor/res/VantorResources.h"
#include "vantor/res/resource.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/screens/motion/CXYCutterLifeDlg.h"

namespace {

void BM_XYAgingRun(benchmark::State& state)
{
    const int cycles = int(state.range(0));
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
    const QString cutFile = QStringLiteral("\\Rectangle.cut");
    {
        QFile f(platform::userFilePath(cutFile));
        f.open(QIODevice::WriteOnly);
        f.write("0 0\n1000 0\n1000 500\n0 500\n");
    }
    ScopedSettingsContext settings(ini);
    {
        auto* r = FetchTestSettings<CXYCutterLifeSettings>();
        r->crossweb.constantSpeed = 2000;
        r->crosswebVref = 180;
        r->stepMode = 2;
        r->downweb.constantSpeed = 1200;
        r->downwebVref = 180;
        r->tapeRewind.constantSpeed = 800;
        r->cutFile = cutFile;
        r->currentLevel = QStringLiteral("100");
        r->dutyCycle = 50;
        r->periodInUS = 1000;
        r->force = 128;
        StoreTestSettings(kTestXYCutterLife); // the dialog loads its record from the file
    }
    sim::SimConfig config;
    config.timeScale = 0.0;
    sim::SimulatedDevices devices = sim::registerSimulatedDevices(config);

    bench::TimedRuns runs;
    {
        CXYCutterLifeDlg dlg;
        ui::testing::DialogHarness h(dlg);
        ui::ResultList* list = dlg.resultList(IDC_RESULT_LIST);
        h.click(IDC_XYL_AGING);
        h.setText(IDC_TOTAL_CYCLE, QString::number(cycles));
        h.setText(IDC_PAUSE, QStringLiteral("0"));
        const qsizetype expected = qsizetype(cycles) * 1001 + 4;
        // Until the run's closing " " (a failed cycle lists fewer lines).
        runs = bench::timeRuns(state, h, *list, clock, IDC_RUN, [](const ui::ResultList& l) {
            return l.count() >= 4 && l.line(l.count() - 1) == QStringLiteral(" ");
        });
        if (list->count() != expected || list->line(list->count() - 1) != QStringLiteral(" ") ||
            !list->line(3).startsWith(QStringLiteral("1. Encoder [")))
            { const std::string why = ("the run did not list every sample: " + list->line(2)).toStdString(); state.SkipWithError(why.c_str()); }
        h.pressEscape();
    }
    sim::unregisterSimulatedDevices(devices);
    platform::setDeviceRoot(QString());
    bench::reportRuns(state, runs);
}
BENCHMARK(BM_XYAgingRun)->Arg(5)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

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
