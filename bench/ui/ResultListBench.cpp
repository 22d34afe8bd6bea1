// Speed and memory of the result list path: a worker posting lines to a
// dialog, the list holding them, saving them, and how quickly the event loop
// answers while a worker floods it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "ui/Dialog.h"
#include "ui/Resources.h"
#include "ui/ResultList.h"

namespace {

constexpr int IDD_BENCH = 1, IDC_RESULT = 1004, WM_ADD_LINE = ui::WM_USER + 102;

void installTemplate()
{
    auto r = ui::parseResourceScript(QStringLiteral("1 DIALOGEX 0,0,300,200\nCAPTION \"bench\"\nBEGIN\n"
                                                    " LISTBOX 1004,5,5,290,190,LBS_EXTENDEDSEL | WS_VSCROLL\nEND\n"),
                                     QStringLiteral("bench.rc"));
    ui::Resources::setBuiltin(std::move(*r.script));
}

class BenchDlg : public ui::Dialog {
public:
    BenchDlg() : ui::Dialog(IDD_BENCH)
    {
        useResultList(IDC_RESULT);
        onMessage(WM_ADD_LINE, [this](ui::Message& m) {
            if (m.lParam == 1) {
                if (auto* lines = m.payload.get<QStringList>())
                    list()->appendBatch(*lines);
            } else if (auto* line = m.payload.get<QString>()) {
                list()->appendLine(*line);
            }
        });
    }
    ui::ResultList* list() const { return resultList(IDC_RESULT); }
};

long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

QString detailLine(int cycle, int i)
{
    return QStringLiteral("%1. in detail %2 [%3]").arg(cycle).arg(i).arg(i * 7 % 1000);
}

// A worker posts 1,000,000 detail lines in batches of 10,000 (the batch form
// of the add-line message); the dialog shows them in its result list.
void BM_PostedBatchAppend(benchmark::State& state)
{
    installTemplate();
    const int total = 1000000, batch = int(state.range(0));
    double perLineStore = 0, perLineProcess = 0, seconds = 0;
    for (auto _ : state) {
        BenchDlg dlg;
        dlg.create();
        dlg.show();
        QCoreApplication::processEvents();
        const long rssBefore = residentBytes();
        ui::MessagePort port = dlg.port();
        QElapsedTimer timer;
        timer.start();
        std::thread worker([port, total, batch] {
            for (int done = 0; done < total; done += batch) {
                QStringList lines;
                lines.reserve(batch);
                for (int i = 0; i < batch; ++i)
                    lines << detailLine(1, done + i);
                port.post(WM_ADD_LINE, 0, 1, ui::Payload::of(std::move(lines)));
            }
        });
        while (dlg.list()->count() < total)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worker.join();
        QCoreApplication::processEvents(); // the view's layout and scroll
        seconds = timer.elapsed() / 1000.0;
        const auto& store = dlg.list()->store();
        const double chars = double(store.characters()) * 2;
        perLineStore = (double(store.bytesReserved()) - chars) / total;
        perLineProcess = (double(residentBytes() - rssBefore) - chars) / total;
        state.SetIterationTime(seconds);
    }
    state.counters["lines_per_s"] = total / seconds;
    state.counters["store_bytes_per_line"] = perLineStore;
    state.counters["process_bytes_per_line"] = perLineProcess;
}
BENCHMARK(BM_PostedBatchAppend)->Arg(10000)->Arg(2500)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// Saving 1,000,000 lines in the ANSI code page.
void BM_SaveMillionLines(benchmark::State& state)
{
    ui::LineStore store;
    for (int i = 0; i < 1000000; ++i)
        store.append(detailLine(i / 1000 + 1, i));
    QTemporaryDir dir;
    const QString path = dir.filePath("result.txt");
    qint64 bytes = 0;
    for (auto _ : state) {
        if (!ui::saveLines(store, path))
            state.SkipWithError("save failed");
        bytes = QFile(path).size();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
    state.counters["file_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_SaveMillionLines)->Unit(benchmark::kMillisecond)->Iterations(5);

// A worker posts 100,000 single lines per second for three seconds while a
// 10 ms timer on the interface thread records how late it fires.
void BM_EventLoopLatencyUnderLoad(benchmark::State& state)
{
    installTemplate();
    const int perSecond = 100000, seconds = 3, slice = 100; // lines per millisecond slice
    qint64 worstLate = 0;
    double linesPerSecond = 0;
    for (auto _ : state) {
        BenchDlg dlg;
        dlg.create();
        dlg.show();
        QCoreApplication::processEvents();
        ui::MessagePort port = dlg.port();
        std::atomic<bool> done{false};
        QElapsedTimer clock;
        clock.start();
        qint64 expected = 10;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            worstLate = std::max(worstLate, now - expected);
            expected = now + 10;
        });
        tick.start(10);
        std::thread worker([&, port] {
            const auto start = std::chrono::steady_clock::now();
            const int slices = perSecond * seconds / slice;
            for (int s = 0; s < slices; ++s) {
                std::this_thread::sleep_until(start + std::chrono::microseconds(s * 1000000LL * slice / perSecond));
                for (int i = 0; i < slice; ++i)
                    port.post(WM_ADD_LINE, 0, 0, ui::Payload::of(detailLine(1, s * slice + i)));
            }
            done.store(true);
        });
        const int total = perSecond * seconds;
        while (!done.load() || dlg.list()->count() < total)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worker.join();
        linesPerSecond = total / (clock.elapsed() / 1000.0);
        tick.stop();
    }
    state.counters["worst_timer_delay_ms"] = double(worstLate);
    state.counters["lines_per_s"] = linesPerSecond;
}
BENCHMARK(BM_EventLoopLatencyUnderLoad)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
