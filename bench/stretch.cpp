// Resampling 4000 x 3000 to a quarter, against ImageMagick's -scale.

#include "bench_support.h"

#include <benchmark/benchmark.h>

namespace lumeno::bench {
namespace {

void StretchQuarter(TStretchMode mode)
{
    TPixelGraphic target;
    target.SetDimensions(1000, 750, pf24Bit);
    target.SetStretchMode(mode);
    target.StretchFrom(LargePhoto());
    benchmark::DoNotOptimize(target.GetScanLine(0)[0]);
}

void BM_StretchFrom(benchmark::State& state)
{
    const auto mode = static_cast<TStretchMode>(state.range(0));
    LargePhoto();
    for (auto _ : state)
        StretchQuarter(mode);
}
BENCHMARK(BM_StretchFrom)->Arg(smFast)->Arg(smMedium)->Arg(smPrecise)->Unit(benchmark::kMillisecond);

void BM_StretchFromGrowing(benchmark::State& state)
{
    TPixelGraphic small, target;
    PhotoLike(small, 1000, 750);
    target.SetDimensions(4000, 3000, pf24Bit);
    for (auto _ : state)
        target.StretchFrom(small);
}
BENCHMARK(BM_StretchFromGrowing)->Unit(benchmark::kMillisecond);

// ImageMagick's time for the scaling alone is its -scale 25% run minus a
// -scale 100% run, which reads and writes the same files.
void BM_PreciseVersusImageMagick(benchmark::State& state)
{
    if (!HaveImageMagick()) {
        state.SkipWithError("convert-im6.q16 is not installed");
        return;
    }
    const std::string in = TempPath("stretch_in.ppm"), out = TempPath("stretch_out.ppm");
    WritePPM(LargePhoto(), in);
    for (auto _ : state) {
        const double ours = BestMs(5, [] { StretchQuarter(smPrecise); });
        const double scale = CommandMs(5, std::string(ImageMagick) + " " + in + " -scale 25% " + out);
        const double io = CommandMs(5, std::string(ImageMagick) + " " + in + " -scale 100% " + out);
        state.counters["ours_ms"] = ours;
        state.counters["im_scale_ms"] = scale;
        state.counters["im_io_ms"] = io;
        state.counters["speedup"] = (scale - io) / ours;
        // The 100% run writes sixteen times the output, so its I/O is an
        // overestimate; without output files the scaling work stands alone.
        const double scaleOnly = CommandMs(5, std::string(ImageMagick) + " " + in + " -scale 25% null:");
        const double readOnly = CommandMs(5, std::string(ImageMagick) + " " + in + " null:");
        state.counters["im_scale_null_ms"] = scaleOnly;
        state.counters["im_read_null_ms"] = readOnly;
        state.counters["speedup_null"] = (scaleOnly - readOnly) / ours;
    }
    std::remove(in.c_str());
    std::remove(out.c_str());
}
BENCHMARK(BM_PreciseVersusImageMagick)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
