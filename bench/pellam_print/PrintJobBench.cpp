// The rows of a 15-inch checkerboard job at a dot width of 1024: one render,
// then 4800 raster rows, as the print worker produces them.
#include <benchmark/benchmark.h>

#include "pellam/print/CPrintImage.h"
#include "pellam/print/PrintJob.h"

namespace {

void BM_FifteenInchJobRows(benchmark::State& state)
{
    pellam::CPrintImage image;
    if (!image.create(1024, 300)) {
        state.SkipWithError("no bitmap");
        return;
    }
    image.setMode(pellam::CPrintImage::Checkerboard);
    image.setSquareSize(int(state.range(0)));
    const int rows = pellam::print::jobRows(15);
    image.setJobRows(rows);
    for (auto _ : state) {
        image.render();
        unsigned sum = 0;
        for (int j = 0; j < rows; ++j)
            sum += image.rasterRow(j)[j % image.rowBytes()];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FifteenInchJobRows)->Arg(8)->Arg(312)->Unit(benchmark::kMillisecond);

} // namespace
