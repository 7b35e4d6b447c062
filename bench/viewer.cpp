// The viewer as a user waits for it: the whole program from its start to a
// 4000 x 3000 JPEG painted on the screen of a private X server, beside qimgv
// in the same run (run the benchmark under taskset to pin both to the same
// CPUs), started from an empty folder and from one of 10,000 files. Then,
// inside the process: filling and sorting a list of 10,000 files; stepping
// between large JPEGs.

#include "app/viewer/main_window.h"
#include "bench_support.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_startup_qt.h"
#include "imagelib/view/pg_image.h"
#include "platform/qt/registry/registry.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

// Last: Xlib defines plain names as macros.
#include "screen_watch.h"

namespace {

using namespace lumeno;
namespace fs = std::filesystem;

void App()
{
    static int argc = 1;
    static char name[] = "bench_viewer";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit the statics made while it ran go first, and
    // its clean-up routines would then reach them.
    [[maybe_unused]] static QApplication* app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto* a = new QApplication(argc, argv);
        // Settings and bookmarks of the benchmark only.
        const fs::path home = bench::TempPath("viewer_home");
        fs::create_directories(home);
        SetRegistryFolder(home.string());
        ::setenv("XDG_DATA_HOME", home.c_str(), 1);
        return a;
    }();
}

// A folder with photos 4000 x 3000 and Small tiny pictures.
std::string Folder(const std::string& Name, int Photos, int Small)
{
    const fs::path folder = bench::TempPath(Name);
    if (fs::exists(folder / "done"))
        return folder.string();
    fs::remove_all(folder);
    fs::create_directories(folder);
    PGStartupAllFormats();
    TPixelGraphic photo;
    bench::PhotoLike(photo, 4000, 3000);
    for (int i = 0; i < Photos; ++i)
        photo.SaveToFile((folder / ("photo" + std::to_string(i) + ".jpg")).string());
    if (Small == 0) {
        std::ofstream(folder / "done") << "1";
        return folder.string();
    }
    QImage tiny(16, 16, QImage::Format_RGB32);
    tiny.fill(Qt::gray);
    const std::string first = (folder / "small0.png").string();
    tiny.save(QString::fromStdString(first));
    for (int i = 1; i < Small; ++i)
        fs::copy_file(first, folder / ("small" + std::to_string(i) + ".png"));
    std::ofstream(folder / "done") << "1";
    return folder.string();
}

void WaitForLoads(TForm1& Form, int Loads)
{
    while (Form.Loader().LoadCount() < Loads || Form.Loader().Pending())
        QCoreApplication::processEvents();
}

// The photo on the command line: photo-like, with a disc of the key colour
// at its centre for the screen watch.
std::string KeyedPhoto()
{
    const fs::path folder = bench::TempPath("viewer_photo");
    const fs::path photo = folder / "photo.jpg";
    if (fs::exists(photo))
        return photo.string();
    fs::create_directories(folder);
    PGStartupAllFormats();
    TPixelGraphic picture;
    bench::PhotoLike(picture, 4000, 3000);
    for (int y = 900; y < 2100; ++y) {
        std::uint8_t* row = picture.GetScanLine(y);
        for (int x = 1400; x < 2600; ++x)
            if ((x - 2000) * (x - 2000) + (y - 1500) * (y - 1500) < 600 * 600) {
                row[x * 3] = bench::KeyBlue;
                row[x * 3 + 1] = bench::KeyGreen;
                row[x * 3 + 2] = bench::KeyRed;
            }
    }
    picture.SaveToFile(photo.string());
    return photo.string();
}

struct TSide {
    double Best = 1e30, Total = 0;
    long PeakKb = 0;
    int Runs = 0, Missed = 0;
    void Add(const bench::TViewerRun& Run)
    {
        ++Runs;
        PeakKb = std::max(PeakKb, Run.PeakKb);
        if (Run.PaintedMs < 0) {
            ++Missed;
            return;
        }
        Best = std::min(Best, Run.PaintedMs);
        Total += Run.PaintedMs;
    }
    double Mean() const { return Runs > Missed ? Total / (Runs - Missed) : 0; }
};

void Report(benchmark::State& State, const std::string& Label, const TSide& Side)
{
    State.counters[Label + "_mean_ms"] = Side.Mean();
    State.counters[Label + "_best_ms"] = Side.Best;
    State.counters[Label + "_peak_mb"] = double(Side.PeakKb) / 1024;
    std::printf("%-26s mean %7.1f ms  best %7.1f ms  peak %6.1f MB  (%d runs, %d never painted)\n", Label.c_str(),
                Side.Mean(), Side.Best, double(Side.PeakKb) / 1024, Side.Runs, Side.Missed);
}

// Spawn -> photo painted, alternating Lumeno from an empty folder, Lumeno
// from a folder of 10,000 files and qimgv.
void StartToPhotoPainted(benchmark::State& state)
{
    bench::TXServer server;
    if (!server.Ok()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    const std::string photo = KeyedPhoto();
    const std::string crowded = Folder("viewer_crowded", 0, 10000);
    const fs::path empty = bench::TempPath("viewer_empty");
    const fs::path home = bench::TempPath("viewer_process_home");
    fs::create_directories(empty);
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    const std::vector<std::string> env = {"HOME=" + home.string(), "XDG_CONFIG_HOME=" + (home / "config").string(),
                                          "XDG_DATA_HOME=" + (home / "data").string(),
                                          "XDG_CACHE_HOME=" + (home / "cache").string(),
                                          "XDG_RUNTIME_DIR=" + (home / "runtime").string()};
    const bool peer = bench::HaveTool("qimgv");
    TSide ours, oursCrowded, theirs;
    for (auto _ : state) {
        ours.Add(bench::RunViewer(server, {LUMENO_PROGRAM, photo}, empty.string(), env));
        oursCrowded.Add(bench::RunViewer(server, {LUMENO_PROGRAM, photo}, crowded, env));
        if (peer)
            theirs.Add(bench::RunViewer(server, {"qimgv", photo}, empty.string(), env));
    }
    std::printf("spawn -> photo painted, %s on display %s, CPUs available: %d\n", photo.c_str(),
                server.Name().c_str(), AvailableCpus());
    Report(state, "lumeno", ours);
    Report(state, "lumeno_from_10000_files", oursCrowded);
    std::printf("  ours: %s %s\n", LUMENO_PROGRAM, photo.c_str());
    if (!peer)
        return;
    Report(state, "qimgv", theirs);
    std::printf("  peer: qimgv %s\n", photo.c_str());
    state.counters["lumeno_over_qimgv"] = ours.Mean() / theirs.Mean();
    state.counters["crowded_over_empty"] = oursCrowded.Mean() / ours.Mean();
    std::printf("lumeno/qimgv %.2f   from 10,000 files / from empty %.2f\n", ours.Mean() / theirs.Mean(),
                oursCrowded.Mean() / ours.Mean());
    std::fflush(stdout);
}
BENCHMARK(StartToPhotoPainted)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void FillAndSort(benchmark::State& state)
{
    App();
    const std::string folder = Folder("viewer_list", 0, 10000);
    PGStartupAllFormats();
    CreateForm1();
    TForm1& form = *Form1();
    form.BuildFileMask();
    const int column = int(state.range(0));
    double best = 1e30;
    for (auto _ : state) {
        best = std::min(best, bench::BestMs(1, [&] {
            form.FillFileList(form.SLV1, folder, nullptr, form.FileMask());
            form.SLV1ColumnClick(column);
        }));
    }
    state.counters["fill_sort_ms"] = best;
    FreeForm1();
}
BENCHMARK(FillAndSort)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(5);

void NextImage(benchmark::State& state)
{
    App();
    const std::string folder = Folder("viewer_step", 4, 0);
    PGStartupAllFormats();
    CreateForm1();
    TForm1& form = *Form1();
    form.SetStartFile(folder + "/photo0.jpg");
    form.show();
    WaitForLoads(form, 1);
    double worst = 0, total = 0;
    for (auto _ : state) {
        // The picture is looked at for a moment, the program's event loop
        // running: time for the next one to be read ahead.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
        while (std::chrono::steady_clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const int loads = form.Loader().LoadCount();
        const double ms = bench::BestMs(1, [&] {
            form.NextImageButtonClick();
            WaitForLoads(form, loads + 1);
            const QPixmap shot = form.PGImage1->grab();
            benchmark::DoNotOptimize(shot.cacheKey());
        });
        worst = std::max(worst, ms);
        total += ms;
    }
    state.counters["slowest_next_ms"] = worst;
    state.counters["mean_next_ms"] = total / double(state.iterations());
    FreeForm1();
}
BENCHMARK(NextImage)->Unit(benchmark::kMillisecond)->Iterations(8);

} // namespace
