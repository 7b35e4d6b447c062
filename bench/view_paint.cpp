// Setting a view's file name to a 4000 x 3000 photograph-like BMP and its
// first complete paint, fitted to the window, against decoding alone.

#include "bench_app.h"
#include "bench_support.h"
#include "imagelib/pg_startup.h"
#include "imagelib/view/pg_image.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace lumeno;

const std::string& PhotoBmp()
{
    static const std::string path = [] {
        PGStartup();
        const std::string p =
            (std::filesystem::temp_directory_path() / "lumeno_bench_view_photo.bmp").string();
        TPixelGraphic g;
        bench::PhotoLike(g, 4000, 3000);
        g.SaveToFile(p);
        return p;
    }();
    return path;
}

void Decode()
{
    TPixelGraphic g;
    g.LoadFromFile(PhotoBmp());
    benchmark::DoNotOptimize(g.GetBits());
}

double FirstPaintMs(TPGImage& View, int Runs)
{
    return bench::BestMs(Runs, [&View] {
        View.SetFileName(PhotoBmp());
        const QPixmap shot = View.grab();
        benchmark::DoNotOptimize(shot.cacheKey());
    });
}

void DecodeOnly(benchmark::State& state)
{
    bench::OffscreenApp();
    PhotoBmp();
    for (auto _ : state)
        Decode();
}
BENCHMARK(DecodeOnly)->Unit(benchmark::kMillisecond);

void FileNameToFirstPaint(benchmark::State& state)
{
    bench::OffscreenApp();
    TPGImage view;
    view.resize(1024, 768);
    view.SetStretch(sAlwaysKAR);
    view.show();
    const double decode = bench::BestMs(5, Decode);
    double paint = 0;
    for (auto _ : state)
        paint = FirstPaintMs(view, 1);
    const double best = std::min(paint, FirstPaintMs(view, 5));
    state.counters["decode_ms"] = decode;
    state.counters["first_paint_ms"] = best;
    state.counters["ratio"] = best / decode;
}
BENCHMARK(FileNameToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
