// Classifying must not slow the fastest test: the platen detail run
// (100,000 pulses, 3 cycles) headless against the simulated printer (time
// scale 0), its lines kept as `vantor --run` keeps them, with and without
// the measurements collected as they come. Goal: with collection at least
// 0.8 of the lines per second without it (compare lines_per_s of the two
// rows), and at most 16 bytes held per sample (bytes_per_sample, counted
// from the series' capacity while the run is in progress).
//
// Measured on the 2-core machine shared with other builds: without
// collection about 0.61 million lines per second (median 481 ms a run),
// with it about 0.69 (417 ms): the difference is within the noise, the
// simulator and the line formatting dominate. 10.5 bytes per sample in
// progress (8 once taken). The matcher alone takes some 8 million detail
// lines per second.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <mutex>

#include "platform/DevicePath.h"
#include "platform/Event.h"
#include "sim/printer/SimulatedDevices.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/measure/Measurements.h"
#include "vantor/screens/motion/PlatenTests.h"
#include "vantor/settings/TestSettingsStore.h"

namespace {

class Sink final : public vantor::RunSink {
public:
    explicit Sink(bool collect)
        : m_collect(collect), m_collector(vantor::measure::tableFor(QStringLiteral("Platen")))
    {
    }
    void addLine(QString line) override { add(std::move(line)); }
    void addLines(QStringList lines) override
    {
        for (QString& l : lines)
            add(std::move(l));
    }
    void cycleDone() override {}
    void finished() override { done.set(); }

    void add(QString line)
    {
        std::lock_guard lock(m_lock);
        if (m_collect)
            m_collector.add(line);
        lines.push_back(std::move(line));
    }
    double bytesPerSample()
    {
        std::lock_guard lock(m_lock);
        size_t bytes = 0, samples = 0;
        for (const vantor::measure::Series& s : m_collector.result().series) {
            bytes += s.values.capacity() * sizeof(float) + s.indices.capacity() * sizeof(int32_t);
            samples += s.size();
        }
        return samples ? double(bytes) / double(samples) : 0;
    }

    platform::Event done{platform::Event::Reset::Manual};
    QStringList lines;

private:
    std::mutex m_lock;
    bool m_collect;
    vantor::measure::Collector m_collector;
};

void BM_PlatenDetailRunHeadless(benchmark::State& state)
{
    const bool collect = state.range(0) != 0;
    QTemporaryDir root;
    platform::setDeviceRoot(root.path());
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
    auto* rec = FetchTestSettings<CPlatenSettings>();
    rec->speed.initialSpeedType = 0;
    rec->speed.constantSpeed = 4000;
    rec->tapeRewind.constantSpeed = 800;
    rec->totalPulses = 100000;
    rec->encoderInDetail = 1;
    rec->cycle = 3;
    rec->pause = 0;

    qsizetype lines = 0;
    double perSample = 0;
    for (auto _ : state) {
        Sink sink(collect);
        vantor::PreparedRun prepared = vantor::platen::kPlatenTest.prepare(*rec, vantor::openDriver());
        if (!prepared) {
            state.SkipWithError("the platen run was refused");
            break;
        }
        vantor::TestRunner runner(sink);
        runner.start();
        runner.run(std::move(prepared.run), 3, 0);
        platform::waitOne(sink.done, platform::kInfinite);
        state.PauseTiming();
        lines += sink.lines.size();
        if (collect)
            perSample = sink.bytesPerSample();
        runner.close();
        state.ResumeTiming();
    }
    sim::unregisterSimulatedDevices(devices);
    platform::setDeviceRoot(QString());
    state.counters["lines_per_s"] = benchmark::Counter(double(lines), benchmark::Counter::kIsRate);
    if (collect)
        state.counters["bytes_per_sample"] = perSample;
}
BENCHMARK(BM_PlatenDetailRunHeadless)->ArgName("collect")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The matcher alone over one cycle's detail lines.
void BM_ClassifyDetailLines(benchmark::State& state)
{
    QStringList lines;
    for (int i = 0; i < 100000; ++i)
        lines << QStringLiteral("1. in detail %1 [%2]").arg(i).arg(i * 3);
    const vantor::measure::LineTable* table = vantor::measure::tableFor(QStringLiteral("Platen"));
    qsizetype n = 0;
    for (auto _ : state) {
        vantor::measure::Collector c(table);
        for (const QString& l : lines)
            c.add(l);
        n += lines.size();
        benchmark::DoNotOptimize(c.result().series.size());
    }
    state.counters["lines_per_s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ClassifyDetailLines)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
