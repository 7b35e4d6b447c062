// Thumbnails of 100 camera-sized JPEGs (4000 × 3000) at 256 × 256 on the
// worker pool, from the start of the load to the last cell handed to the
// main thread.

#include "app/thumbs/thumbnail_loader.h"
#include "bench_app.h"
#include "bench_support.h"
#include "imagelib/pg_startup.h"

#include <QApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace lumeno::bench {
namespace {

constexpr int kFiles = 100;

std::vector<std::string> CameraFiles()
{
    static std::vector<std::string> paths;
    if (!paths.empty())
        return paths;
    PGStartup();
    const std::string first = TempPath("thumb_000.jpg");
    if (!std::filesystem::exists(first)) {
        TPixelGraphic picture;
        PhotoLike(picture, 4000, 3000);
        picture.SaveToFile(first);
    }
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "thumb_%03d.jpg", i);
        paths.push_back(TempPath(name));
        if (!std::filesystem::exists(paths.back()))
            std::filesystem::copy_file(first, paths.back());
    }
    return paths;
}

void BM_HundredCameraJpegsAt256(benchmark::State& state)
{
    OffscreenApp();
    const std::vector<std::string> paths = CameraFiles();
    TThumbnailLoader loader;
    for (auto _ : state) {
        QEventLoop loop;
        int cells = 0;
        loader.Start({paths, 256, 0xE6FFFE}, [&](int, const QImage&, bool) { ++cells; }, [&] { loop.quit(); });
        loop.exec();
        benchmark::DoNotOptimize(cells);
    }
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_HundredCameraJpegsAt256)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace
} // namespace lumeno::bench
