// The main window: from creating it to the first paint of a 4000 x 3000
// JPEG in a folder of 1,000 pictures; filling and sorting a list of 10,000
// files; stepping between large JPEGs.

#include "app/viewer/main_window.h"
#include "bench_support.h"
#include "imagelib/pg_startup_qt.h"
#include "imagelib/view/pg_image.h"
#include "platform/qt/registry/registry.h"

#include <QApplication>
#include <QImage>
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

namespace {

using namespace lumeno;
namespace fs = std::filesystem;

void App()
{
    static int argc = 1;
    static char name[] = "bench_viewer";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto a = std::make_unique<QApplication>(argc, argv);
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

void StartToFirstPaint(benchmark::State& state)
{
    App();
    const std::string folder = Folder("viewer_start", 1, 999);
    double best = 1e30;
    for (auto _ : state) {
        best = std::min(best, bench::BestMs(1, [&] {
            PGStartupAllFormats();
            CreateForm1();
            Form1()->SetStartFile(folder + "/photo0.jpg");
            Form1()->show();
            WaitForLoads(*Form1(), 1);
            const QPixmap shot = Form1()->grab();
            benchmark::DoNotOptimize(shot.cacheKey());
        }));
        if (Form1()->SLV1->topLevelItemCount() != 1000)
            state.SkipWithError("the folder was not listed");
        FreeForm1();
    }
    state.counters["start_ms"] = best;
}
BENCHMARK(StartToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

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
        // The picture is looked at for a moment: time for the next one to be read ahead.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
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
