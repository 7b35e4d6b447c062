// Rotating 4000 x 3000 by 33 degrees.

#include "bench_support.h"

#include <benchmark/benchmark.h>

namespace lumeno::bench {
namespace {

TPixelGraphic& Source()
{
    static TPixelGraphic source;
    if (source.GetEmpty())
        PhotoLike(source, 4000, 3000);
    return source;
}

void BM_Rotate33(benchmark::State& state)
{
    Source();
    for (auto _ : state) {
        TPixelGraphic target;
        target.SetRotateInterpolation(state.range(0) != 0);
        target.Rotate(true, Source(), 33);
    }
}
BENCHMARK(BM_Rotate33)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_Rotate90(benchmark::State& state)
{
    Source();
    for (auto _ : state) {
        TPixelGraphic target;
        target.Rotate(true, Source(), 90);
    }
}
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
