// Per-pixel and per-row access on a 4000 x 3000 image at each depth.

#include "imagelib/pixel_graphic.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {

using lumeno::TPixelGraphic;

constexpr int W = 4000;
constexpr int H = 3000;

TPixelGraphic& Image(std::uint8_t format)
{
    static TPixelGraphic images[4];
    TPixelGraphic& g = images[format];
    if (g.GetEmpty()) {
        g.SetDimensions(W, H, format);
        if (format != lumeno::pf24Bit)
            g.SetPaletteType(lumeno::pGray16);
    }
    return g;
}

void BM_GetPixel(benchmark::State& state)
{
    TPixelGraphic& g = Image(static_cast<std::uint8_t>(state.range(0)));
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                sum += g.GetPixel(x, y);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * W * H);
}

void BM_SetPixel(benchmark::State& state)
{
    TPixelGraphic& g = Image(static_cast<std::uint8_t>(state.range(0)));
    for (auto _ : state) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                g.SetPixel(x, y, static_cast<std::uint32_t>(x ^ y));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * W * H);
}

// The way hot loops should go: one scan line per row, bytes through a pointer.
void BM_ScanLine(benchmark::State& state)
{
    TPixelGraphic& g = Image(static_cast<std::uint8_t>(state.range(0)));
    const int rowBytes = (W * g.GetBitsPerPixel() + 7) / 8;
    for (auto _ : state) {
        for (int y = 0; y < H; ++y) {
            std::uint8_t* row = g.GetScanLine(y);
            for (int i = 0; i < rowBytes; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + 1);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * W * H);
}

void BM_GetPixelColor(benchmark::State& state)
{
    TPixelGraphic& g = Image(static_cast<std::uint8_t>(state.range(0)));
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                sum += g.GetPixelColor(x, y);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * W * H);
}

// A fresh 24-bit picture filled row by row, as a reader does: the zeroed
// allocation and the one write pass.
void BM_AllocateAndFill(benchmark::State& state)
{
    const bool fill = state.range(0) != 0;
    for (auto _ : state) {
        TPixelGraphic g;
        g.SetDimensions(W, H, lumeno::pf24Bit);
        if (fill)
            for (int y = 0; y < H; ++y)
                std::memset(g.GetScanLine(y), 0x5A, W * 3);
        benchmark::DoNotOptimize(g.GetBits());
    }
}
BENCHMARK(BM_AllocateAndFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Arguments: pixel format 0..3 (1, 4, 8, 24 bits).
BENCHMARK(BM_GetPixel)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetPixel)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetPixelColor)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanLine)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
