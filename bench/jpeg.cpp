// Loading a 4000 × 3000 baseline JPEG in process against whole djpeg runs
// (plain PPM output and BMP output), saving it at quality 90 in a whole run
// of the benchmark-only command against cjpeg, and thumbnails from scaled
// decodes.

#include "bench_support.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>
#include <vector>

namespace lumeno::bench {
namespace {

TPixelGraphic& Picture()
{
    static TPixelGraphic picture;
    if (picture.GetEmpty()) {
        PGStartup();
        PhotoLike(picture, 4000, 3000);
    }
    return picture;
}

bool HaveTools()
{
    return std::system("command -v cjpeg >/dev/null && command -v djpeg >/dev/null") == 0;
}

void BM_LoadVersusDjpeg(benchmark::State& state)
{
    if (!HaveTools()) {
        state.SkipWithError("cjpeg/djpeg are not installed");
        return;
    }
    const std::string ppm = TempPath("jpeg_in.ppm"), jpg = TempPath("jpeg_in.jpg");
    WritePPM(Picture(), ppm);
    CommandMs(1, "cjpeg -quality 90 -outfile " + jpg + " " + ppm);
    for (auto _ : state) {
        const double ours = BestMs(5, [&] {
            TPixelGraphic g;
            g.LoadFromFile(jpg);
            benchmark::DoNotOptimize(g.GetBits());
        });
        const double djpeg = CommandMs(5, "djpeg -outfile /dev/null " + jpg);
        const double djpegBmp = CommandMs(5, "djpeg -bmp -outfile /dev/null " + jpg);
        state.counters["ours_in_process_ms"] = ours;
        state.counters["djpeg_ms"] = djpeg;
        state.counters["djpeg_bmp_ms"] = djpegBmp;
        state.counters["ratio"] = ours / djpeg;
        state.counters["ratio_bmp"] = ours / djpegBmp;
    }
    std::remove(ppm.c_str());
    std::remove(jpg.c_str());
}
BENCHMARK(BM_LoadVersusDjpeg)->Iterations(1)->Unit(benchmark::kMillisecond);

// Whole runs from the same PPM file: ours with the default floating-point
// DCT against cjpeg with its default (integer) one and with the same.
void BM_SaveVersusCjpeg(benchmark::State& state)
{
    if (!HaveTools()) {
        state.SkipWithError("cjpeg/djpeg are not installed");
        return;
    }
    const std::string ppm = TempPath("jpeg_save.ppm"), out = TempPath("jpeg_out.jpg");
    WritePPM(Picture(), ppm);
    const std::string ours = ConvertTool() + " " + ppm + " " + out;
    for (auto _ : state) {
        ComparePeer(state, "save", ours, "cjpeg -quality 90 -outfile " + out + " " + ppm);
        ComparePeer(state, "save_same_dct", ours, "cjpeg -quality 90 -dct float -outfile " + out + " " + ppm);
    }
    std::remove(ppm.c_str());
    std::remove(out.c_str());
}
BENCHMARK(BM_SaveVersusCjpeg)->Iterations(1)->Unit(benchmark::kMillisecond);

// Thumbnails of 256 pixels from 100 JPEGs of 4000 x 3000, as the thumbnail
// windows make them: decoded at the smallest covering eighth on every core,
// against full decodes on one core (ten files, times ten).
void BM_ThumbnailsFromScaledDecodes(benchmark::State& state)
{
    const std::string jpg = TempPath("jpeg_thumbs.jpg");
    JPEGQuality = 90;
    Picture().SaveToFile(jpg);
    const int files = 100;
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    auto thumbnails = [&](int count, int workers, bool scaled) {
        std::atomic<int> next{0};
        std::vector<std::thread> pool;
        for (int t = 0; t < workers; ++t)
            pool.emplace_back([&] {
                while (next.fetch_add(1) < count) {
                    TPixelGraphic g, thumb;
                    if (scaled)
                        g.LoadFromFileAtLeast(jpg, 256, 192);
                    else
                        g.LoadFromFile(jpg);
                    thumb.SetDimensions(256, 192, pf24Bit);
                    thumb.SetStretchMode(smPrecise);
                    thumb.StretchFrom(g);
                }
            });
        for (std::thread& t : pool)
            t.join();
    };
    for (auto _ : state) {
        state.counters["scaled_100_all_cores_ms"] = BestMs(3, [&] { thumbnails(files, threads, true); });
        state.counters["full_100_one_core_ms"] = BestMs(1, [&] { thumbnails(files / 10, 1, false); }) * 10;
        state.counters["threads"] = threads;
    }
    std::remove(jpg.c_str());
}
BENCHMARK(BM_ThumbnailsFromScaledDecodes)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
