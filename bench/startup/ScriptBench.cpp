// Reading the engineering program's built-in resource script with all it
// includes, as its first window does: text from the embedded resources,
// preprocessing, every template and string table.
#include <benchmark/benchmark.h>

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

} // namespace

BENCHMARK(BM_ParseBuiltinScript)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
