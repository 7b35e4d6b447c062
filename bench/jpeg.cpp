// Loading a 4000 × 3000 baseline JPEG against djpeg (plain PPM output and
// BMP output) and saving it at quality 90 against cjpeg, each as whole runs
// of the benchmark-only command beside the in-process figures, and
// thumbnails from scaled decodes.

#include "bench_support.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

#include <jpeglib.h>

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

// Pairs per comparison: a whole run's first touch of its 36 MB image is
// slow and erratic on a busy machine (the same command's best of five
// varied by 15 ms from one comparison to the next), so more than five.
constexpr int Runs = 12;

bool HaveTools()
{
    return std::system("command -v cjpeg >/dev/null && command -v djpeg >/dev/null") == 0;
}

// Whole runs against djpeg's; the in-process load (no process start, no
// file written) is shown beside them.
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
        ComparePeer(state, "load_vs_ppm", ConvertTool() + " " + jpg, "djpeg -outfile /dev/null " + jpg, Runs);
        ComparePeer(state, "load_vs_bmp", ConvertTool() + " " + jpg, "djpeg -bmp -outfile /dev/null " + jpg,
                    Runs);
        state.counters["load_in_process_ms"] = BestMs(5, [&] {
            TPixelGraphic g;
            g.LoadFromFile(jpg);
            benchmark::DoNotOptimize(g.GetBits());
        });
    }
    std::remove(ppm.c_str());
    std::remove(jpg.c_str());
}
BENCHMARK(BM_LoadVersusDjpeg)->Iterations(1)->Unit(benchmark::kMillisecond);

bool SameFiles(const std::string& a, const std::string& b)
{
    return std::system(("cmp -s " + a + " " + b).c_str()) == 0;
}

// Whole runs from the same PPM file against cjpeg with the program's own
// default, the floating-point DCT, so both do the same work and write the
// same bytes; in-process saves show what the integer DCT would cost.
void BM_SaveVersusCjpeg(benchmark::State& state)
{
    if (!HaveTools()) {
        state.SkipWithError("cjpeg/djpeg are not installed");
        return;
    }
    const std::string ppm = TempPath("jpeg_save.ppm"), out = TempPath("jpeg_out.jpg");
    const std::string peerOut = TempPath("jpeg_out_cjpeg.jpg");
    WritePPM(Picture(), ppm);
    const std::uint8_t productMethod = JPEGWriteDCTMethod;
    for (auto _ : state) {
        ComparePeer(state, "save", ConvertTool() + " " + ppm + " " + out,
                    "cjpeg -dct float -quality 90 -outfile " + peerOut + " " + ppm, Runs);
        state.counters["same_bytes_as_cjpeg"] = SameFiles(out, peerOut) ? 1 : 0;
        JPEGQuality = 90;
        for (const auto& [label, method] : {std::pair{"save_in_process_float_ms", JDCT_FLOAT},
                                            std::pair{"save_in_process_islow_ms", JDCT_ISLOW}}) {
            JPEGWriteDCTMethod = static_cast<std::uint8_t>(method);
            state.counters[label] = BestMs(5, [&] { Picture().SaveToFile(out); });
        }
    }
    JPEGWriteDCTMethod = productMethod;
    std::remove(ppm.c_str());
    std::remove(out.c_str());
    std::remove(peerOut.c_str());
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
