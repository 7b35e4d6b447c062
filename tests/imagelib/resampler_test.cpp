// Resampling against the plain definition: every destination pixel is the
// floor of the weighted mean across (of each source row), then the floor of
// the weighted mean of those down, with the weights of the stretch tables.

#include "imagelib/parallel_ranges.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/stretch_axis.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {
namespace {

void Noise(TPixelGraphic& g, int Width, int Height, std::uint32_t Seed)
{
    g.SetDimensions(Width, Height, pf24Bit);
    std::uint32_t s = Seed;
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* row = g.GetScanLine(y);
        for (int i = 0; i < Width * 3; ++i) {
            s = s * 1664525u + 1013904223u;
            row[i] = static_cast<std::uint8_t>(s >> 24);
        }
    }
}

// Source pixel I of an axis entry with its weight.
std::int64_t WeightOf(const TStretchAxis& Axis, const TStretchEntry& e, int i)
{
    return i == e.First ? e.WeightFirst : i == e.Last ? e.WeightLast : Axis.Middle();
}

// Channel C of the destination pixel (X, Y) of a whole-picture stretch.
int Expected(TPixelGraphic& Source, const TStretchAxis& Columns, const TStretchAxis& Rows, int X, int Y,
             int C)
{
    const TStretchEntry& col = Columns.At(X);
    const auto across = [&](int sy) -> std::int64_t {
        const std::uint8_t* row = Source.GetScanLine(sy);
        if (col.First == col.Last)
            return row[col.First * 3 + C];
        std::int64_t sum = 0;
        for (int sx = col.First; sx <= col.Last; ++sx)
            sum += WeightOf(Columns, col, sx) * row[sx * 3 + C];
        return sum / Columns.Total();
    };
    const TStretchEntry& r = Rows.At(Y);
    if (r.First == r.Last)
        return static_cast<int>(across(r.First));
    std::int64_t sum = 0;
    for (int sy = r.First; sy <= r.Last; ++sy)
        sum += WeightOf(Rows, r, sy) * across(sy);
    return static_cast<int>(sum / Rows.Total());
}

// Destination pixels that differ from the definition.
int WrongPixels(int SourceWidth, int SourceHeight, int Width, int Height, TStretchMode Mode)
{
    TPixelGraphic source, target;
    Noise(source, SourceWidth, SourceHeight, static_cast<std::uint32_t>(SourceWidth * 7919 + Height));
    target.SetDimensions(Width, Height, pf24Bit);
    target.SetStretchMode(Mode);
    target.StretchFrom(source);
    const TStretchAxis columns(Mode, Width, 0, SourceWidth, SourceWidth, 0, Width - 1);
    const TStretchAxis rows(Mode, Height, 0, SourceHeight, SourceHeight, 0, Height - 1);
    int wrong = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            for (int c = 0; c < 3; ++c)
                wrong += target.GetScanLine(y)[x * 3 + c] != Expected(source, columns, rows, x, y, c);
    return wrong;
}

struct TCase {
    int SourceWidth, SourceHeight, Width, Height;
};

TEST(Resampler, EveryModeAndOddSizeFollowsTheWeights)
{
    const TCase cases[] = {
        {7, 5, 14, 10},  {7, 5, 3, 2},    {13, 11, 29, 4}, {31, 17, 9, 40}, {5, 3, 61, 37},
        {97, 41, 23, 9}, {40, 30, 10, 7}, {3, 1, 11, 1},   {1, 9, 2, 4},    {101, 7, 100, 8},
    };
    for (const TStretchMode mode : {smFast, smMedium, smPrecise})
        for (const TCase& c : cases)
            EXPECT_EQ(WrongPixels(c.SourceWidth, c.SourceHeight, c.Width, c.Height, mode), 0)
                << c.SourceWidth << "x" << c.SourceHeight << " -> " << c.Width << "x" << c.Height << " mode "
                << mode;
}

// Totals near and beyond the limits of the quick arithmetic, and pictures
// large enough for several threads.
TEST(Resampler, LargeTotalsAndThreadedRunsFollowTheWeights)
{
    const TCase cases[] = {
        {4099, 3, 8191, 5}, {4097, 3, 8193, 2},      {3, 4097, 2, 8193},     {16385, 2, 16383, 1},
        {9001, 2, 3, 2},    {1000, 700, 1999, 1401}, {2003, 1201, 401, 300},
    };
    for (const int threads : {1, 3}) {
        SetParallelThreads(threads);
        for (const TCase& c : cases)
            EXPECT_EQ(WrongPixels(c.SourceWidth, c.SourceHeight, c.Width, c.Height, smPrecise), 0)
                << c.SourceWidth << "x" << c.SourceHeight << " -> " << c.Width << "x" << c.Height
                << " threads " << threads;
    }
    SetParallelThreads(0);
}

} // namespace
} // namespace lumeno
