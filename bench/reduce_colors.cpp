// Reducing a 2000 x 1500 photograph to 256 dithered colours, against
// ImageMagick's -colors 256, with the PSNR of both results.

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace lumeno::bench {
namespace {

TPixelGraphic& Source()
{
    static TPixelGraphic source;
    if (source.GetEmpty())
        PhotoLike(source, 2000, 1500);
    return source;
}

std::unique_ptr<TPixelGraphic> Reduce()
{
    auto target = std::make_unique<TPixelGraphic>();
    target->SetDimensions(Source().GetWidth(), Source().GetHeight(), pf8Bit);
    target->ReduceColors(Source(), 256, false);
    target->StretchFrom(Source());
    return target;
}

void BM_ReduceAndDither(benchmark::State& state)
{
    Source();
    for (auto _ : state)
        benchmark::DoNotOptimize(Reduce());
}
BENCHMARK(BM_ReduceAndDither)->Unit(benchmark::kMillisecond);

void BM_ReduceColorsOnly(benchmark::State& state)
{
    TPixelGraphic target;
    target.SetDimensions(8, 8, pf8Bit);
    Source();
    for (auto _ : state)
        target.ReduceColors(Source(), 256, false);
}
BENCHMARK(BM_ReduceColorsOnly)->Unit(benchmark::kMillisecond);

// PSNR in dB as ImageMagick's compare prints it.
double PSNR(const std::string& a, const std::string& b)
{
    const std::string command = "compare-im6.q16 -metric PSNR " + a + " " + b + " null: 2>&1";
    std::array<char, 128> buffer{};
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        while (fgets(buffer.data(), buffer.size(), pipe))
            text += buffer.data();
        pclose(pipe);
    }
    return std::atof(text.c_str());
}

void BM_VersusImageMagick(benchmark::State& state)
{
    if (!HaveImageMagick()) {
        state.SkipWithError("convert-im6.q16 is not installed");
        return;
    }
    const std::string in = TempPath("reduce_in.ppm"), ours = TempPath("reduce_ours.ppm"),
                      theirs = TempPath("reduce_im.ppm");
    WritePPM(Source(), in);
    for (auto _ : state) {
        const double ourMs = BestMs(3, [] { benchmark::DoNotOptimize(Reduce()); });
        const double imMs = CommandMs(3, std::string(ImageMagick) + " " + in + " -colors 256 " + theirs);
        const double ioMs = CommandMs(3, std::string(ImageMagick) + " " + in + " " + theirs + ".io.ppm");
        WritePPM(*Reduce(), ours);
        CommandMs(1, std::string(ImageMagick) + " " + in + " -colors 256 " + theirs);
        state.counters["ours_ms"] = ourMs;
        state.counters["im_ms"] = imMs;
        state.counters["im_io_ms"] = ioMs;
        state.counters["speedup"] = imMs / ourMs;
        state.counters["speedup_wo_io"] = (imMs - ioMs) / ourMs;
        state.counters["psnr_ours"] = PSNR(in, ours);
        state.counters["psnr_im"] = PSNR(in, theirs);
    }
    for (const std::string& f : {in, ours, theirs, theirs + ".io.ppm"})
        std::remove(f.c_str());
}
BENCHMARK(BM_VersusImageMagick)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
