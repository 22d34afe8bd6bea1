// Overhead of the test run framework per cycle: an instant driver request
// and one result line per cycle, from RUN to the " " that ends the run, with
// the dialog applying every line and cycle-done on the interface thread.
// Goal: at least 20,000 cycles per second.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <atomic>
#include <thread>

#include "platform/Clock.h"
#include "platform/Device.h"
#include "ui/Resources.h"
#include "ui/ResultList.h"
#include "protocol/CommandChannel.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/settings/TestSettingsStore.h"

namespace {

constexpr int IDD_BENCH = 300;

void installTemplate()
{
    auto r = ui::parseResourceScript(QStringLiteral(
        "300 DIALOGEX 0,0,300,200\nCAPTION \"bench\"\nBEGIN\n"
        " EDITTEXT 1013,5,5,40,12\n EDITTEXT 1014,5,20,40,12\n"
        " EDITTEXT 1016,5,35,40,12,ES_READONLY\n EDITTEXT 1017,5,50,40,12,ES_READONLY\n"
        " LISTBOX 1004,60,5,230,170,LBS_MULTIPLESEL | WS_VSCROLL\n"
        " PUSHBUTTON \"RUN\",1022,5,180,40,14\n PUSHBUTTON \"Stop\",1122,50,180,40,14\nEND\n"),
        QStringLiteral("bench.rc"));
    ui::Resources::setBuiltin(std::move(*r.script));
}

class InstantPrinter : public platform::Device {
public:
    bool ioControl(uint32_t, const void*, uint32_t, void* out, uint32_t outLen, uint32_t* returned) override
    {
        if (out && outLen >= 4)
            *static_cast<int32_t*>(out) = 4096;
        if (returned)
            *returned = outLen;
        return true;
    }
};

class BenchRun : public vantor::TestRun {
public:
    explicit BenchRun(vantor::DriverRef driver) : m_driver(std::move(driver)) {}
    void cycle(int cycle, int, vantor::RunSink& sink) override
    {
        int32_t count = 0;
        protocol::CommandBlock block{1, 3, 0};
        const bool ok = protocol::sendCommand(*m_driver, 0x1E2004, block, &count, 4);
        sink.addLine(ok ? QStringLiteral("%1. Total encode = %2 ").arg(cycle).arg(count)
                        : QStringLiteral("%1. Run Platen - FAIL").arg(cycle));
    }

private:
    vantor::DriverRef m_driver;
};

class BenchDlg : public vantor::CTestDlg {
public:
    BenchDlg() : CTestDlg(IDD_BENCH, kTestPlaten) {}
    using CTestDlg::OnRun;

protected:
    vantor::PreparedRun prepareRun() override
    {
        return vantor::PreparedRun::of(std::make_unique<BenchRun>(driverRef()));
    }
};

void BM_CycleOverhead(benchmark::State& state)
{
    const int cycles = int(state.range(0));
    platform::ManualClock clock; // idle time-outs pass without waiting
    platform::ScopedClock scoped(clock);
    ScopedSettingsContext settings;
    platform::registerDevice(QStringLiteral("PRN1:"), std::make_shared<InstantPrinter>());
    {
        BenchDlg dlg;
        dlg.create();
        ui::ResultList* list = dlg.results();
        for (auto _ : state) {
            state.PauseTiming();
            list->clear();
            dlg.setInt(vantor::common::kTotalCycle, cycles);
            state.ResumeTiming();

            dlg.OnRun();
            while (list->count() < cycles + 4)
                QCoreApplication::processEvents(QEventLoop::AllEvents);

            state.PauseTiming();
            while (!dlg.workerIdle()) { // RUN back: one idle time-out later
                clock.advance(platform::Millis(50));
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                std::this_thread::yield();
            }
            state.ResumeTiming();
        }
        if (list->line(list->count() - 1) != QStringLiteral(" "))
            state.SkipWithError("the run did not end with its framing");
        dlg.runner().close();
    }
    platform::unregisterDevice(QStringLiteral("PRN1:"));
    state.SetItemsProcessed(state.iterations() * cycles);
    state.counters["cycles_per_s"] = benchmark::Counter(double(state.iterations() * cycles), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CycleOverhead)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installTemplate();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
