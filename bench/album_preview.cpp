// Recording album pages: one 2 x 3 page of six 4000 x 3000 JPEGs at quality
// Better (load, fit, effect, caption, record), and a 100-entry album.

#include "app/album/f_a_prefs.h"
#include "app/album/f_album.h"
#include "bench_app.h"
#include "bench_support.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"

#include <QApplication>
#include <QPrinter>

#include <benchmark/benchmark.h>
#include <filesystem>
#include <thread>

namespace {

using namespace lumeno;

const std::vector<std::string>& Photos()
{
    static const std::vector<std::string> paths = [] {
        PGStartup();
        std::vector<std::string> p;
        TPixelGraphic g;
        bench::PhotoLike(g, 4000, 3000);
        for (int i = 0; i < 6; ++i) {
            p.push_back((std::filesystem::temp_directory_path() /
                         ("lumeno_bench_album_" + std::to_string(i) + ".jpg"))
                            .string());
            if (!std::filesystem::exists(p.back()))
                g.SaveToFile(p.back());
        }
        return p;
    }();
    return paths;
}

// Records the album's pages and waits (in the event loop) until they are done.
void Record(TfAlbum& album)
{
    bool done = false;
    album.ShowPreview = [&done](TPreviewPrinter&) { done = true; };
    album.PreviewClick();
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void SetUpAlbum(TfAlbum& album, int entries)
{
    TAlbumOptions o = fAPrefs()->Options();
    o.Rows = 3;
    o.Cols = 2;
    o.Quality = aqBetter;
    o.BorderEffect = abeDropShadow;
    o.Caption = acFilename;
    fAPrefs()->SetOptions(o);
    album.PreviewPrinter1.Printer().setResolution(600);
    for (int i = 0; i < entries; ++i)
        album.AddEntry({Photos()[std::size_t(i % 6)], "", 0});
}

void OnePageOfSixPhotos(benchmark::State& state)
{
    bench::OffscreenApp();
    TfAlbum album;
    SetUpAlbum(album, 6);
    for (auto _ : state)
        Record(album);
    state.counters["cores"] = std::thread::hardware_concurrency();
}
BENCHMARK(OnePageOfSixPhotos)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void HundredEntryAlbum(benchmark::State& state)
{
    bench::OffscreenApp();
    TfAlbum album;
    SetUpAlbum(album, 100);
    for (auto _ : state)
        Record(album);
    state.counters["cores"] = std::thread::hardware_concurrency();
}
BENCHMARK(HundredEntryAlbum)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
