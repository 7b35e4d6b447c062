// Loading a 4000 × 3000 24-bit PCX, PPM and TGA file (TGA also run-length
// encoded) against netpbm's decoder of the same file. Icons are at most
// 256 pixels a side, so they have no picture of this size.

#include "bench_support.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace lumeno::bench {
namespace {

bool HaveNetpbm()
{
    return std::system("command -v ppmtopcx pcxtoppm tgatoppm pamtotga >/dev/null 2>&1") == 0;
}

// The source picture as a binary PPM, made once.
const std::string& SourcePpm()
{
    static const std::string path = [] {
        PGStartup();
        TPixelGraphic g;
        PhotoLike(g, 4000, 3000);
        const std::string p = TempPath("codecs_src.ppm");
        PxMBinary = true;
        g.SaveToFile(p);
        return p;
    }();
    return path;
}

// Our load of File against Decoder (a netpbm command reading File and
// writing a PPM), best of five each.
void Compare(benchmark::State& state, const std::string& make, const std::string& file,
             const std::string& decoder)
{
    if (!HaveNetpbm()) {
        state.SkipWithError("netpbm is not installed");
        return;
    }
    const std::string& src = SourcePpm();
    if (!make.empty() && std::system((make + " " + src + " > " + file + " 2>/dev/null").c_str()) != 0) {
        state.SkipWithError(("failed: " + make).c_str());
        return;
    }
    for (auto _ : state) {
        const double ours = BestMs(5, [&] {
            TPixelGraphic g;
            g.LoadFromFile(file);
            benchmark::DoNotOptimize(g.GetBits());
        });
        const double netpbm = CommandMs(5, decoder + " " + file + " > /dev/null");
        state.counters["ours_ms"] = ours;
        state.counters["netpbm_ms"] = netpbm;
        state.counters["speedup"] = netpbm / ours;
    }
    if (file != src)
        std::remove(file.c_str());
}

void BM_LoadPcx24(benchmark::State& state)
{
    Compare(state, "ppmtopcx -24bit", TempPath("codecs.pcx"), "pcxtoppm");
}
BENCHMARK(BM_LoadPcx24)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LoadPpmBinary(benchmark::State& state)
{
    Compare(state, "", SourcePpm(), "ppmtoppm <");
}
BENCHMARK(BM_LoadPpmBinary)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LoadTga24(benchmark::State& state)
{
    Compare(state, "pamtotga -rgb -norle", TempPath("codecs.tga"), "tgatoppm");
}
BENCHMARK(BM_LoadTga24)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LoadTga24RunLength(benchmark::State& state)
{
    Compare(state, "pamtotga -rgb", TempPath("codecs_rle.tga"), "tgatoppm");
}
BENCHMARK(BM_LoadTga24RunLength)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
