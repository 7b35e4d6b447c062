// Publishing 100 entries of 4000 x 3000 JPEGs as a web album: Max Size
// 2000, thumbnails 96, sharpening on, on all cores.

#include "app/album/frm_pub_wizard.h"
#include "bench_app.h"
#include "bench_support.h"
#include "imagelib/pg_startup.h"

#include <QApplication>
#include <QLineEdit>
#include <QStackedWidget>

#include <benchmark/benchmark.h>
#include <filesystem>
#include <thread>

namespace {

using namespace lumeno;
namespace fs = std::filesystem;

std::vector<TAlbumEntry> Entries()
{
    PGStartup();
    TPixelGraphic g;
    bench::PhotoLike(g, 4000, 3000);
    std::vector<TAlbumEntry> entries;
    for (int i = 0; i < 100; ++i) {
        const std::string path =
            (fs::temp_directory_path() / ("lumeno_bench_web_" + std::to_string(i) + ".jpg")).string();
        if (!fs::exists(path))
            g.SaveToFile(path);
        entries.push_back({path, "", 0});
    }
    return entries;
}

void HundredLargeJpegs(benchmark::State& state)
{
    bench::OffscreenApp();
    const std::vector<TAlbumEntry> entries = Entries();
    const fs::path out = fs::temp_directory_path() / "lumeno_bench_web_out";
    TfrmPubWizard wizard;
    wizard.EntriesSource = [&] { return entries; };
    bool done = false;
    wizard.OpenPage = [&](const std::string&) { done = true; };
    wizard.eWebFolder->setText(QString::fromStdString(out.string()));
    wizard.show();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(out);
        fs::create_directories(out);
        done = false;
        wizard.Notebook1->setCurrentIndex(5);
        state.ResumeTiming();
        wizard.NextClick();
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    state.counters["cores"] = std::thread::hardware_concurrency();
    fs::remove_all(out);
}
BENCHMARK(HundredLargeJpegs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
