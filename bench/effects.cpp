// Pixel effects, Gaussian blur, frames and the editor's image commands on a
// 4000 x 3000 picture; the blur on one thread against ImageMagick's.

#include "app/editor/edit_ops.h"
#include "app/editor/radial_adjust.h"
#include "app/editor/red_eye.h"
#include "app/effects/fast_fx.h"
#include "app/effects/frames.h"
#include "app/effects/gaussian_blur.h"
#include "app/effects/quarter_turn.h"
#include "bench_support.h"
#include "imagelib/parallel_ranges.h"

#include <benchmark/benchmark.h>

#include <functional>

namespace lumeno::bench {
namespace {

std::unique_ptr<TFastBMP>& FastSource()
{
    static auto source = TFastBMP::CreateFromBitmap(LargePhoto());
    return source;
}

// Runs Work on a fresh copy of the large photo each iteration, the copy untimed.
void OnCopy(benchmark::State& state, const std::function<void(TPixelGraphic&)>& Work)
{
    LargePhoto();
    for (auto _ : state) {
        state.PauseTiming();
        TPixelGraphic copy;
        copy.Assign(&LargePhoto());
        state.ResumeTiming();
        Work(copy);
        benchmark::DoNotOptimize(copy.GetScanLine(0)[0]);
    }
}

void BM_GaussianBlur5(benchmark::State& state)
{
    SetParallelThreads(static_cast<int>(state.range(0)));
    OnCopy(state, [](TPixelGraphic& g) { GaussianBlur24(g, 5.0); });
    SetParallelThreads(0);
}
BENCHMARK(BM_GaussianBlur5)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// ImageMagick's time for the blur is its -blur run less a plain read of the
// same file, both on one thread and without output.
void BM_GaussianBlurVersusImageMagick(benchmark::State& state)
{
    if (!HaveImageMagick()) {
        state.SkipWithError("convert-im6.q16 is not installed");
        return;
    }
    const std::string in = TempPath("effects_in.ppm");
    WritePPM(LargePhoto(), in);
    const std::string im = std::string(ImageMagick) + " -limit thread 1 " + in;
    SetParallelThreads(1);
    for (auto _ : state) {
        const double ours = BestMs(3,
                                   [] {
                                       TPixelGraphic copy;
                                       copy.Assign(&LargePhoto());
                                       GaussianBlur24(copy, 5.0);
                                   }) -
                            BestMs(3, [] {
                                TPixelGraphic copy;
                                copy.Assign(&LargePhoto());
                            });
        const double blur = CommandMs(2, im + " -blur 0x5 null:");
        const double read = CommandMs(2, im + " null:");
        state.counters["ours_ms"] = ours;
        state.counters["im_blur_ms"] = blur - read;
        state.counters["speedup"] = (blur - read) / ours;
    }
    SetParallelThreads(0);
    std::remove(in.c_str());
}
BENCHMARK(BM_GaussianBlurVersusImageMagick)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Effect(benchmark::State& state)
{
    const auto& src = *FastSource();
    TFastBMP dst(src.Width, src.Height);
    dst.Assign(src);
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0:
            ColorNoise(dst, 50);
            break;
        case 1:
            MonoNoise(dst, 50);
            break;
        case 2:
            SprayPaint(src, dst, 10);
            break;
        case 3:
            Emboss(dst);
            break;
        case 4:
            Mosaic(dst, 10, 10);
            break;
        case 5:
            FishEye(src, dst, 1.0);
            break;
        default:
            Swirl(src, dst, 100);
            break;
        }
        benchmark::DoNotOptimize(dst.Bits[0]);
    }
    static const char* const names[] = {"ColorNoise", "MonoNoise", "SprayPaint", "Emboss",
                                        "Mosaic",     "FishEye",   "Swirl"};
    state.SetLabel(names[state.range(0)]);
}
BENCHMARK(BM_Effect)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->UseRealTime();

// The menu command around the bare effect: the copies in and out.
void BM_MenuFishEye(benchmark::State& state)
{
    OnCopy(state, [](TPixelGraphic& g) { ApplyPixelEffect(g, 1); });
}
BENCHMARK(BM_MenuFishEye)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Frame(benchmark::State& state)
{
    static const char* const names[] = {"WhiteFrame", "SoftShadow", "Bevel", "DropShadow"};
    state.SetLabel(names[state.range(0)]);
    OnCopy(state, [&](TPixelGraphic& g) {
        switch (state.range(0)) {
        case 0:
            AddWhiteFrame(g);
            break;
        case 1:
            AddSoftShadow(g, 10, 30);
            break;
        case 2:
            AddBevel(g, static_cast<int>(g.GetWidth() * 0.03));
            break;
        default:
            AddDropShadow(g);
            break;
        }
    });
}
BENCHMARK(BM_Frame)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QuarterTurn(benchmark::State& state)
{
    TPixelGraphic target;
    for (auto _ : state) {
        TurnQuarters(target, LargePhoto(), 1);
        benchmark::DoNotOptimize(target.GetScanLine(0)[0]);
    }
}
BENCHMARK(BM_QuarterTurn)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Flip(benchmark::State& state)
{
    for (auto _ : state)
        LargePhoto().FlipHorizontal();
}
BENCHMARK(BM_Flip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UndoSnapshot(benchmark::State& state)
{
    LargePhoto();
    for (auto _ : state) {
        TPixelGraphic copy;
        copy.Assign(&LargePhoto());
        benchmark::DoNotOptimize(copy.GetScanLine(0)[0]);
    }
}
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RadialApply(benchmark::State& state)
{
    TPixelGraphic result;
    for (auto _ : state)
        RadialAdjust(LargePhoto(), result, {});
}
BENCHMARK(BM_RadialApply)->Unit(benchmark::kMillisecond)->UseRealTime();

// One track-bar step of the previews: red eye on 500 x 500, an effect on
// the dialog's 240-pixel preview.
void BM_PreviewStep(benchmark::State& state)
{
    TPixelGraphic area;
    PhotoLike(area, 500, 500);
    TPixelGraphic preview;
    PhotoLike(preview, 240, 180);
    auto src = TFastBMP::CreateFromBitmap(preview);
    TFastBMP dst(src->Width, src->Height);
    for (auto _ : state) {
        if (state.range(0) == 0) {
            TPixelGraphic copy;
            copy.Assign(&area);
            ReduceRedEye(copy, TRedEyeThresholds::FromPosition(40));
        } else {
            RunAmountEffect(*src, dst, static_cast<int>(state.range(0)), 30);
        }
    }
}
BENCHMARK(BM_PreviewStep)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace lumeno::bench
