// The converter's work for one 4000 × 3000 JPEG: load the source, write the
// target in each format, and load the written file as the result view does.

#include "app/converter/convert_image.h"
#include "bench_support.h"
#include "imagelib/codecs/gif_reader.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

using namespace lumeno;
using namespace lumeno::bench;

const std::string& SourceJpeg()
{
    static const std::string path = [] {
        PGStartup();
        PGGifStartup();
        const std::string p = TempPath("convert_4000x3000.jpg");
        TPixelGraphic g;
        PhotoLike(g, 4000, 3000);
        JPEGQuality = 90;
        g.SaveToFile(p);
        return p;
    }();
    return path;
}

void BM_Convert(benchmark::State& state, const std::string& extension)
{
    const std::string& source = SourceJpeg();
    const std::string target = TempPath("convert_target." + extension);
    TConvertOptions options;
    options.Extension = extension;
    JPEGQuality = 100;
    for (auto _ : state) {
        const double ms = BestMs(3, [&] {
            TPixelGraphic image;
            image.LoadFromFile(source);
            ConvertImage(image, target, options, nullptr);
            TPixelGraphic shown;
            shown.LoadFromFile(target);
            benchmark::DoNotOptimize(shown.GetBits());
        });
        state.counters["ms"] = ms;
    }
    std::remove(target.c_str());
}

} // namespace

BENCHMARK_CAPTURE(BM_Convert, jpg, std::string("jpg"))->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, bmp, std::string("bmp"))->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, tga, std::string("tga"))->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, tif, std::string("tif"))->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, png, std::string("png"))->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, gif, std::string("gif"))->Iterations(1)->Unit(benchmark::kMillisecond);
