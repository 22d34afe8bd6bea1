// Reading a ramp profile of 1,000,000 lines, file to caller-memory table.
// Goal: at least 50 MB/s (see bytes_per_second).
#include <benchmark/benchmark.h>
#include <QFile>
#include <QTemporaryDir>

#include "vantor/driver/RampProfile.h"

namespace {

QByteArray profileText(int lines)
{
    QByteArray text;
    text.reserve(lines * 6);
    for (int i = 0; i < lines; ++i) {
        text += QByteArray::number(100 + (i * 37) % 60000);
        text += (i % 10 == 9) ? "\r\n" : "\n";
    }
    return text;
}

void BM_ReadRampProfile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ramp.txt");
    const QByteArray text = profileText(int(state.range(0)));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the profile");
            return;
        }
        f.write(text);
    }
    size_t entries = 0;
    for (auto _ : state) {
        auto table = vantor::driver::ReadRampProfile(path);
        entries = table.count();
        benchmark::DoNotOptimize(table.data());
    }
    if (entries != size_t(state.range(0)))
        state.SkipWithError("wrong entry count");
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
    state.counters["lines"] = double(entries);
}
BENCHMARK(BM_ReadRampProfile)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_ParseRampProfile(benchmark::State& state)
{
    const QByteArray text = profileText(int(state.range(0)));
    std::vector<uint32_t> values;
    for (auto _ : state) {
        values.clear();
        vantor::driver::parseRampProfile(text.constData(), size_t(text.size()), values);
        benchmark::DoNotOptimize(values.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}
BENCHMARK(BM_ParseRampProfile)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
