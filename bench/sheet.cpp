// A thumbnail sheet of 100 photographs of 4000 x 3000 (JPEG, decoded at
// 1/8) at size 96 with sharpening, border, bevel and shadow, on all cores.

#include "app/sheet/sheet_builder.h"
#include "bench_app.h"
#include "bench_support.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_startup.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace lumeno;

void App()
{
    bench::OffscreenApp();
}

const std::string& PhotoJpeg()
{
    static const std::string path = [] {
        PGStartup();
        const std::string p = (std::filesystem::temp_directory_path() / "lumeno_bench_sheet_photo.jpg").string();
        TPixelGraphic g;
        bench::PhotoLike(g, 4000, 3000);
        g.SaveToFile(p);
        return p;
    }();
    return path;
}

void BM_SheetOf100Photos(benchmark::State& state)
{
    App();
    const std::vector<std::string> files(100, PhotoJpeg());
    TSheetOptions options;
    options.Bevel = true;
    options.Cols = 10;
    for (auto _ : state) {
        TSheetBuilder builder;
        benchmark::DoNotOptimize(builder.Build(options, files));
    }
    state.counters["cores"] = ParallelThreads();
}
BENCHMARK(BM_SheetOf100Photos)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
