// Searching "*.jpg" over 100,000 files in 10,000 folders with a warm cache,
// from the start of the walk to the sorted result list.

#include "app/desktop/file_search.h"
#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace lumeno::bench {
namespace {

namespace fs = std::filesystem;

std::string Tree()
{
    const std::string root = TempPath("search_tree");
    if (fs::exists(root + "/done"))
        return root;
    for (int a = 0; a < 100; ++a)
        for (int b = 0; b < 100; ++b) {
            const std::string folder = root + "/d" + std::to_string(a) + "/e" + std::to_string(b);
            fs::create_directories(folder);
            for (int f = 0; f < 10; ++f)
                std::ofstream(folder + "/p" + std::to_string(f) + (f % 2 ? ".jpg" : ".txt"));
        }
    std::ofstream(root + "/done");
    return root;
}

void BM_JpgOverHundredThousandFiles(benchmark::State& state)
{
    const std::string root = Tree();
    std::size_t count = 0;
    for (auto _ : state) {
        std::atomic<bool> stop = false;
        std::vector<std::string> found;
        SearchFolder(root, "*.jpg", stop, [&](const std::string& path) { found.push_back(path); },
                     [](const std::string&) {});
        SortSearchResults(found);
        count = found.size();
    }
    state.counters["found"] = static_cast<double>(count);
}
BENCHMARK(BM_JpgOverHundredThousandFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace lumeno::bench
