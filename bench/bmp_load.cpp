// Loading a 4000 × 3000 24-bit BMP against reading the same file's bytes.

#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

namespace {

using namespace lumeno;

const std::string& BigBmp()
{
    static const std::string path = [] {
        PGStartup();
        const std::string p = (std::filesystem::temp_directory_path() / "lumeno_bench_4000x3000.bmp").string();
        TPixelGraphic g;
        g.SetDimensions(4000, 3000, pf24Bit);
        std::uint8_t* bits = g.GetBits();
        for (std::int64_t i = 0; i < g.GetImageSize(); ++i)
            bits[i] = static_cast<std::uint8_t>(i * 7 + i / 4000);
        g.SaveToFile(p);
        return p;
    }();
    return path;
}

void ReadFileBytes(benchmark::State& state)
{
    const std::string& path = BigBmp();
    for (auto _ : state) {
        TFileStream file(path, TFileMode::fmOpenRead);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.GetSize()));
        file.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(ReadFileBytes)->Unit(benchmark::kMillisecond);

void LoadBmp(benchmark::State& state)
{
    const std::string& path = BigBmp();
    for (auto _ : state) {
        TPixelGraphic g;
        g.LoadFromFile(path);
        benchmark::DoNotOptimize(g.GetBits());
    }
}
BENCHMARK(LoadBmp)->Unit(benchmark::kMillisecond);

} // namespace
