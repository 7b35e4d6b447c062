// Filters on a 4000 x 3000 24-bit picture: a 3 x 3 sharpen against
// ImageMagick's -convolve with the same kernel, and the point filters' speed.

#include "bench_support.h"
#include "imagelib/filters/channel_filters.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/filters/point_filters.h"
#include "imagelib/parallel_ranges.h"

#include <benchmark/benchmark.h>

namespace lumeno::bench {
namespace {

constexpr int Width = 4000, Height = 3000;

TPixelGraphic& Source()
{
    static TPixelGraphic source;
    if (source.GetEmpty())
        PhotoLike(source, Width, Height);
    return source;
}

TPixelGraphic& Target()
{
    static TPixelGraphic target;
    return target;
}

void Sharpen()
{
    TConvFilter f;
    f.SetSharpenKernel(dsGaussian, true, 0.75L, 50);
    Target().ApplyFilter(f, Source());
    benchmark::DoNotOptimize(Target().GetScanLine(0)[0]);
}

void BM_Sharpen3x3(benchmark::State& state)
{
    Source();
    for (auto _ : state)
        Sharpen();
    state.counters["MP/s"] =
        benchmark::Counter(Width * Height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Sharpen3x3)->Unit(benchmark::kMillisecond);

// ImageMagick's time for the convolution is its -convolve run minus a plain
// read of the same file, both without output; run the program under
// taskset for one core on both sides.
void BM_SharpenVersusImageMagick(benchmark::State& state)
{
    if (!HaveImageMagick()) {
        state.SkipWithError("convert-im6.q16 is not installed");
        return;
    }
    const std::string in = TempPath("filters_in.ppm");
    WritePPM(Source(), in);
    TConvFilter f;
    f.SetSharpenKernel(dsGaussian, true, 0.75L, 50);
    std::string kernel;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            kernel += std::to_string(f.GetKernel(x, y)) + (x < 2 || y < 2 ? "," : "");
    const std::string im = std::string(ImageMagick) + " " + in;
    const std::string convolve = im + " -define convolve:scale=! -convolve " + kernel + " null:";
    std::printf("peer: %s\n", convolve.c_str());
    for (auto _ : state) {
        const double ours = BestMs(5, Sharpen);
        const double sharpen = CommandMs(5, convolve);
        const double read = CommandMs(5, im + " null:");
        state.counters["ours_ms"] = ours;
        state.counters["im_sharpen_ms"] = sharpen;
        state.counters["im_read_ms"] = read;
        state.counters["speedup"] = (sharpen - read) / ours;
    }
    std::remove(in.c_str());
}
BENCHMARK(BM_SharpenVersusImageMagick)->Iterations(1)->Unit(benchmark::kMillisecond);

template <class F> void RunPoint(benchmark::State& state, F& filter)
{
    Source();
    for (auto _ : state) {
        Target().ApplyFilter(filter, Source());
        benchmark::DoNotOptimize(Target().GetScanLine(0)[0]);
    }
    state.counters["MP/s"] =
        benchmark::Counter(Width * Height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_BrightnessContrastGamma(benchmark::State& state)
{
    TBCGFilter f;
    f.SetBrightness(10);
    f.SetContrast(1.2L);
    f.Gamma = 0.8L;
    f.UseY = state.range(0) != 0;
    // Threads: 0 = one per available CPU.
    SetParallelThreads(static_cast<int>(state.range(1)));
    RunPoint(state, f);
    SetParallelThreads(0);
}
BENCHMARK(BM_BrightnessContrastGamma)
    ->ArgNames({"UseY", "threads"})
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

void BM_HSV(benchmark::State& state)
{
    THSVFilter f;
    FillHueTable(f.Table1, 30);
    FillChannelTable(f.Table2, 10);
    FillChannelTable(f.Table3, -5);
    RunPoint(state, f);
}
BENCHMARK(BM_HSV)->Unit(benchmark::kMillisecond);

void BM_Negative(benchmark::State& state)
{
    TNegativeFilter f;
    RunPoint(state, f);
}
BENCHMARK(BM_Negative)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
