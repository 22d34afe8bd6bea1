// The error log's two costs: the loader reading and splitting a large log
// (off the window's thread), and the window taking one batch of lines into a
// list that already holds a million (the longest the window is ever busy
// with a load; it must stay far below a frame so the screen never freezes).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "pellam/service/ErrorLog.h"
#include "platform/DevicePath.h"
#include "ui/ResultList.h"

namespace {

QByteArray logLines(int n)
{
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += "03/12/2026 08:12:44 E230 Ribbon tension out of range (slip clutch) #" + QByteArray::number(i) + "\r\n";
    return out;
}

void BM_LoadLog(benchmark::State& state)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("Store"));
    const int lines = int(state.range(0));
    {
        QFile f(root.filePath(QStringLiteral("Store/Error_Log.txt")));
        if (!f.open(QIODevice::WriteOnly))
            return state.SkipWithError("no file");
        f.write(logLines(lines));
    }
    platform::setDeviceRoot(root.path());
    for (auto _ : state) {
        qint64 got = 0;
        pellam::service::LogSink sink;
        sink.lines = [&](QStringList l) {
            got += l.size();
            return true;
        };
        pellam::service::loadErrorLog(QString::fromUtf16(pellam::service::kErrorLogPath), sink);
        benchmark::DoNotOptimize(got);
    }
    platform::setDeviceRoot(QString());
    state.counters["lines/s"] = benchmark::Counter(double(lines), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LoadLog)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One batch into a list of a million lines, as the window takes it.
void BM_TakeBatchIntoLongList(benchmark::State& state)
{
    ui::ResultList list;
    list.resize(600, 400);
    QStringList batch;
    for (int i = 0; i < int(pellam::service::kLogBatchLines); ++i)
        batch << QStringLiteral("03/12/2026 08:12:44 E230 Ribbon tension out of range (slip clutch) #%1").arg(i);
    for (int i = 0; i < 400; ++i)
        list.appendLines(batch);
    for (auto _ : state) {
        list.appendLines(batch);
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = double(list.count());
}
BENCHMARK(BM_TakeBatchIntoLongList)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
