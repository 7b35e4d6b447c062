// Loading a 4000 × 3000 PackBits TIFF against tifftopnm, and a 2000 × 1500
// 256-colour GIF against giftopnm (both writing to /dev/null).

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

void Start()
{
    PGStartup();
    PGGifStartup();
}

const std::string& PackBitsTiff()
{
    static const std::string path = [] {
        Start();
        const std::string p = TempPath("4000x3000_packbits.tif");
        TPixelGraphic g;
        PhotoLike(g, 4000, 3000);
        TIFFCompression = 32773;
        g.SaveToFile(p);
        TIFFCompression = 1;
        return p;
    }();
    return path;
}

const std::string& PaletteGif()
{
    static const std::string path = [] {
        Start();
        const std::string ppm = TempPath("2000x1500.ppm"), p = TempPath("2000x1500.gif");
        TPixelGraphic g;
        PhotoLike(g, 2000, 1500);
        WritePPM(g, ppm);
        CommandMs(1, std::string(ImageMagick) + " " + ppm + " -colors 256 " + p);
        std::remove(ppm.c_str());
        return p;
    }();
    return path;
}

void Compare(benchmark::State& state, const std::string& path, const std::string& tool)
{
    for (auto _ : state) {
        const double ourMs = BestMs(15, [&] {
            TPixelGraphic g;
            g.LoadFromFile(path);
            benchmark::DoNotOptimize(g.GetBits());
        });
        const double theirMs = CommandMs(15, tool + " " + path + " >/dev/null 2>&1");
        state.counters["ours_ms"] = ourMs;
        state.counters["theirs_ms"] = theirMs;
        state.counters["speedup"] = theirMs / ourMs;
    }
}

void BM_PackBitsTiffVersusTifftopnm(benchmark::State& state)
{
    if (!HaveTool("tifftopnm")) {
        state.SkipWithError("tifftopnm is not installed");
        return;
    }
    Compare(state, PackBitsTiff(), "tifftopnm");
}
BENCHMARK(BM_PackBitsTiffVersusTifftopnm)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GifVersusGiftopnm(benchmark::State& state)
{
    if (!HaveTool("giftopnm") || !HaveImageMagick()) {
        state.SkipWithError("giftopnm or ImageMagick is not installed");
        return;
    }
    Compare(state, PaletteGif(), "giftopnm");
}
BENCHMARK(BM_GifVersusGiftopnm)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SavePackBitsTiff(benchmark::State& state)
{
    Start();
    TPixelGraphic g;
    PhotoLike(g, 4000, 3000);
    TIFFCompression = 32773;
    const std::string p = TempPath("save_packbits.tif");
    for (auto _ : state)
        g.SaveToFile(p);
    TIFFCompression = 1;
    std::remove(p.c_str());
}
BENCHMARK(BM_SavePackBitsTiff)->Unit(benchmark::kMillisecond);

} // namespace
