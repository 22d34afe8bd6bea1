// Reading the engineering program's built-in resource script with all it
// includes: parsed (text from the embedded resources, preprocessing, every
// template and string table), and from the compiled form the build embeds
// beside it, as a start now does.
#include <benchmark/benchmark.h>

#include <QFile>

#include "ui/CompiledScript.h"
#include "ui/ResourceScript.h"
#include "vantor/res/VantorResources.h"

namespace {

void BM_ParseBuiltinScript(benchmark::State& state)
{
    const QString path = QString::fromLatin1(vantor::kBuiltinScript);
    size_t dialogs = 0;
    for (auto _ : state) {
        ui::ParseResult r = ui::parseResourceFile(path);
        if (!r.ok()) {
            state.SkipWithError(qPrintable(r.error.toString()));
            return;
        }
        dialogs = r.script->dialogs.size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["dialogs"] = double(dialogs);
}

void BM_ReadCompiledScript(benchmark::State& state)
{
    const QString path = QString::fromLatin1(vantor::kBuiltinScript);
    // What a start does, once it is sure not to time a parse instead.
    QFile f(ui::compiledScriptPath(path));
    if (!f.open(QIODevice::ReadOnly) || !ui::readCompiledScript(f.readAll())) {
        state.SkipWithError("no compiled form embedded");
        return;
    }
    size_t dialogs = 0;
    for (auto _ : state) {
        ui::ParseResult r = ui::readBuiltinScript(path);
        dialogs = r.ok() ? r.script->dialogs.size() : 0;
        benchmark::DoNotOptimize(r);
    }
    state.counters["dialogs"] = double(dialogs);
}

} // namespace

BENCHMARK(BM_ParseBuiltinScript)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCompiledScript)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
