// Loading a 4000 × 3000 8-bit RGB PNG against pngtopam, side by side.

#include "bench_support.h"
#include "imagelib/pg_startup.h"

#include <benchmark/benchmark.h>

namespace lumeno::bench {
namespace {

void BM_LoadVersusPngtopam(benchmark::State& state)
{
    if (std::system("command -v pngtopam >/dev/null") != 0) {
        state.SkipWithError("pngtopam is not installed");
        return;
    }
    PGStartup();
    const std::string png = TempPath("png_in.png");
    {
        TPixelGraphic picture;
        PhotoLike(picture, 4000, 3000);
        picture.SaveToFile(png);
    }
    for (auto _ : state) {
        const double ours = BestMs(5, [&] {
            TPixelGraphic g;
            g.LoadFromFile(png);
            benchmark::DoNotOptimize(g.GetBits());
        });
        const double pngtopam = CommandMs(5, "pngtopam " + png + " >/dev/null");
        state.counters["ours_ms"] = ours;
        state.counters["pngtopam_ms"] = pngtopam;
        state.counters["ratio"] = ours / pngtopam;
    }
    std::remove(png.c_str());
}
BENCHMARK(BM_LoadVersusPngtopam)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
