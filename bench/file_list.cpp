// Listing a folder of 10,000 files in the file-list view's report view.

#include "bench_app.h"
#include "controls/shell/file_list_view_dlg.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

namespace {

using namespace lumeno;

const std::string& Folder()
{
    static const std::string folder = [] {
        const auto path = std::filesystem::temp_directory_path() / "lumeno_bench_file_list";
        std::filesystem::create_directories(path);
        for (int i = 0; i < 10000; ++i) {
            const auto file = path / ("photo_" + std::to_string(i) + (i % 3 ? ".jpg" : ".png"));
            if (!std::filesystem::exists(file))
                std::ofstream(file) << i;
        }
        return path.string();
    }();
    return folder;
}

void BM_ListTenThousandFilesInReportView(benchmark::State& state)
{
    bench::OffscreenApp();
    const std::string folder = Folder();
    const std::string empty = folder + "_empty";
    std::filesystem::create_directories(empty);
    TFileListViewDlg view;
    view.SetViewIconStyle(TViewIconStyle::visReport);
    for (auto _ : state) {
        view.SetDirectory(folder);
        benchmark::DoNotOptimize(view.Model().rowCount());
        state.PauseTiming();
        view.SetDirectory(empty);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ListTenThousandFilesInReportView)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
