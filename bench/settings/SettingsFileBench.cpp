// Loading and saving Vantor.ini. The large cases show that any file, even a
// 100 MB one (many sections and keys, or random bytes), loads in time linear
// in its size.
#include <benchmark/benchmark.h>
#include <cstdint>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <random>

#include "vantor/settings/CSettingsFile.h"

namespace {

QByteArray utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// Sections of 50 keys each, as a settings file holds them, up to `bytes`.
QByteArray keyedFile(qint64 bytes)
{
    QString text = QStringLiteral("\r\n");
    int section = 0, key = 0;
    while (text.size() * 2 < bytes) {
        if (key % 50 == 0)
            text += QStringLiteral("[section %1]\r\n").arg(section++);
        text += QStringLiteral("key%1 = \\Hard Disk\\Profiles\\Ramp%2.txt\r\n").arg(key % 50).arg(key);
        ++key;
    }
    return utf16(text);
}

// Random bytes, with no zero character (which would end the text early).
QByteArray randomFile(qint64 bytes)
{
    std::mt19937_64 rng(42);
    QByteArray out(bytes, Qt::Uninitialized);
    for (qint64 i = 0; i + 8 <= bytes; i += 8) {
        const uint64_t v = rng();
        memcpy(out.data() + i, &v, 8);
    }
    for (qint64 i = 0; i + 1 < bytes; i += 2)
        if (out[i] == 0 && out[i + 1] == 0)
            out[i] = 1;
    return out;
}

// `cold`: each load starts from a heap that has given its free memory back
// to the system, as the program's one load at start-up does. Otherwise a
// small file's load reuses the memory the last one freed, while a file
// beyond the allocator's mapping threshold (32 MB) always gets fresh pages.
void loadBench(benchmark::State& state, QByteArray (*make)(qint64), bool cold = false)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    const QByteArray bytes = make(state.range(0));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write the file");
            return;
        }
    }
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
#ifdef __GLIBC__
            malloc_trim(0);
#endif
            state.ResumeTiming();
        }
        CSettingsFile file;
        benchmark::DoNotOptimize(file.Load(path));
        state.counters["sections"] = double(file.SectionCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void BM_LoadKeyed(benchmark::State& state) { loadBench(state, keyedFile); }
void BM_LoadRandom(benchmark::State& state) { loadBench(state, randomFile); }
void BM_LoadKeyedCold(benchmark::State& state) { loadBench(state, keyedFile, true); }

void BM_SaveTypical(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    QFile(path).open(QIODevice::WriteOnly);
    CSettingsFile file;
    for (int s = 0; s < 21; ++s) {
        file.SetSection(QStringLiteral("Section %1").arg(s));
        for (int k = 0; k < 30; ++k)
            file.SetInt(QStringLiteral("Key%1").arg(k), k * 100);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(file.Save(path));
}

} // namespace

BENCHMARK(BM_LoadKeyed)->Arg(1 << 20)->Arg(10 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadKeyedCold)->Arg(1 << 20)->Arg(10 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRandom)->Arg(1 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTypical)->Unit(benchmark::kMicrosecond);
