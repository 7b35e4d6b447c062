// Thumbnails of 100 different camera-sized JPEGs (4000 × 3000) at 256 × 256
// on the worker pool, from the start of the load to the last cell handed to
// the main thread, beside vipsthumbnail on the same files and CPUs (run the
// program under taskset to pin both).

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
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "photo_%03d.jpg", i);
        paths.push_back(TempPath(name));
        if (!std::filesystem::exists(paths.back())) {
            TPixelGraphic picture;
            PhotoLike(picture, 4000, 3000, i);
            picture.SaveToFile(paths.back());
        }
    }
    return paths;
}

double PeerMs(const std::vector<std::string>& Paths)
{
    const std::string out = TempPath("vipsthumbnail_out");
    std::filesystem::create_directories(out);
    std::string command = "vipsthumbnail --size 256x256 -o " + out + "/%s.jpg";
    for (const std::string& path : Paths)
        command += " " + path;
    return CommandMs(1, command);
}

void BM_HundredCameraJpegsAt256(benchmark::State& state)
{
    OffscreenApp();
    const std::vector<std::string> paths = CameraFiles();
    const bool peer = HaveTool("vipsthumbnail");
    TThumbnailLoader loader;
    double ours = 1e30, theirs = 1e30;
    for (auto _ : state) {
        ours = std::min(ours, BestMs(1, [&] {
            QEventLoop loop;
            int cells = 0;
            loader.Start({paths, 256, 0xE6FFFE}, [&](int, const QImage&, bool) { ++cells; }, [&] { loop.quit(); });
            loop.exec();
            benchmark::DoNotOptimize(cells);
        }));
        if (peer)
            theirs = std::min(theirs, PeerMs(paths));
    }
    state.counters["files"] = kFiles;
    state.counters["ours_ms"] = ours;
    if (!peer)
        return;
    state.counters["vipsthumbnail_ms"] = theirs;
    state.counters["ours_over_vipsthumbnail"] = ours / theirs;
    std::printf("100 thumbnails at 256: ours %.1f ms  vipsthumbnail %.1f ms  ours/peer %.2f\n"
                "  peer: vipsthumbnail --size 256x256 -o DIR/%%s.jpg %s ... (%d files)\n",
                ours, theirs, ours / theirs, paths.front().c_str(), kFiles);
}
BENCHMARK(BM_HundredCameraJpegsAt256)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
} // namespace lumeno::bench
