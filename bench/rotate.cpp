// Rotating 4000 x 3000 by 33 degrees.

#include "bench_support.h"

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

void BM_Rotate90(benchmark::State& state)
{
    LargePhoto();
    for (auto _ : state) {
        TPixelGraphic target;
        target.Rotate(true, LargePhoto(), 90);
    }
}
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
