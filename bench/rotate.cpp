// Rotating 4000 x 3000 by 33 degrees and by quarter turns.

#include "bench_support.h"
#include "imagelib/parallel_ranges.h"

#include <benchmark/benchmark.h>

namespace lumeno::bench {
namespace {

void BM_Rotate33(benchmark::State& state)
{
    LargePhoto();
    for (auto _ : state) {
        TPixelGraphic target;
        target.SetRotateInterpolation(state.range(0) != 0);
        target.Rotate(true, LargePhoto(), 33);
    }
}
BENCHMARK(BM_Rotate33)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Quarter turns on one thread and on one per available CPU (threads 0).
void BM_QuarterTurn(benchmark::State& state)
{
    LargePhoto();
    SetParallelThreads(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        TPixelGraphic target;
        target.Rotate(true, LargePhoto(), static_cast<Extended>(state.range(0)));
    }
    SetParallelThreads(0);
}
BENCHMARK(BM_QuarterTurn)
    ->ArgNames({"degrees", "threads"})
    ->ArgsProduct({{90, 180}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
