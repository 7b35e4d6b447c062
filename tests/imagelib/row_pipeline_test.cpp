#include "imagelib/row_pipeline.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pixel_graphic.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace lumeno {
namespace {

// A row that cannot be made on a worker used to end the program; now it
// leaves Run on the calling thread, after the rows before it in order.
TEST(RowPipeline, AWorkersFailureReachesTheCaller)
{
    const auto make = [](int, int Row, TRowPipeline::TRow& Out) {
        if (Row == 500)
            throw std::runtime_error("no row");
        Out.Count = 1;
        Out.BGR[0] = static_cast<std::uint8_t>(Row);
    };
    int next = 0;
    bool inOrder = true;
    const auto deliver = [&](int Row, const TRowPipeline::TRow& Out) {
        inOrder = inOrder && Row == next && Out.BGR[0] == static_cast<std::uint8_t>(Row);
        ++next;
        return true;
    };
    for (int threads : {1, 4}) {
        next = 0;
        EXPECT_THROW(TRowPipeline::Run(0, 999, 3, threads, make, deliver), std::runtime_error) << threads;
        EXPECT_TRUE(inOrder);
        EXPECT_LE(next, 500);
    }
}

// Rows of varying width, some empty, delivered as (row, offset, bytes).
std::vector<std::uint8_t> Gather(int threads, int from, int to, bool stopEarly)
{
    const auto make = [](int, int Row, TRowPipeline::TRow& Out) {
        Out.Offset = Row % 7;
        Out.Count = Row % 5 == 0 ? 0 : 1 + Row % 11;
        for (int i = 0; i < Out.Count * 3; ++i)
            Out.BGR[i] = static_cast<std::uint8_t>(Row * 31 + i);
    };
    std::vector<std::uint8_t> seen;
    const auto deliver = [&](int Row, const TRowPipeline::TRow& Out) {
        seen.push_back(static_cast<std::uint8_t>(Row));
        seen.push_back(static_cast<std::uint8_t>(Out.Offset));
        seen.insert(seen.end(), Out.BGR, Out.BGR + Out.Count * 3);
        return !stopEarly || Row < 1234;
    };
    TRowPipeline::Run(from, to, 3 * 11, threads, make, deliver);
    return seen;
}

TEST(RowPipeline, EveryThreadCountDeliversTheSameRows)
{
    for (const auto& range : {std::pair{0, 2999}, std::pair{5, 40}, std::pair{17, 17}, std::pair{3, 1000}}) {
        for (bool stopEarly : {false, true}) {
            const std::vector<std::uint8_t> one = Gather(1, range.first, range.second, stopEarly);
            for (int threads : {2, 8, 13})
                EXPECT_EQ(Gather(threads, range.first, range.second, stopEarly), one)
                    << threads << " threads, rows " << range.first << ".." << range.second;
        }
    }
    EXPECT_GE(AvailableCpus(), 1);
}

std::vector<TColor> Pixels(TPixelGraphic& g)
{
    std::vector<TColor> out;
    for (int y = 0; y < g.GetHeight(); ++y)
        for (int x = 0; x < g.GetWidth(); ++x)
            out.push_back(g.GetPixelColor(x, y));
    return out;
}

// Stretching, rotating and sharpening large pictures give the same pixels
// whatever the number of workers.
TEST(RowPipeline, OneTwoAndEightWorkersGiveTheSamePixels)
{
    TPixelGraphic source;
    source.SetDimensions(900, 700, pf24Bit);
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 900; ++x)
            source.SetPixelColor(x, y, RGB((x * 7 + y) & 255, (x * y) & 255, (x + y * 3) & 255));
    std::vector<TColor> stretched[3], rotated[3], sharpened[3];
    const int counts[3] = {1, 2, 8};
    for (int i = 0; i < 3; ++i) {
        SetParallelThreads(counts[i]);
        TPixelGraphic big, turned;
        big.SetDimensions(1800, 1400, pf24Bit);
        big.SetStretchMode(smPrecise);
        big.StretchFrom(source);
        stretched[i] = Pixels(big);
        turned.SetRotateInterpolation(true);
        turned.Rotate(true, source, 33);
        rotated[i] = Pixels(turned);
        TConvFilter sharpen;
        sharpen.SetSharpenKernel(dsGaussian, true, 0.75L, 50);
        TPixelGraphic sharp;
        sharp.ApplyFilter(sharpen, source);
        sharpened[i] = Pixels(sharp);
    }
    SetParallelThreads(0);
    for (int i = 1; i < 3; ++i) {
        EXPECT_TRUE(stretched[i] == stretched[0]) << counts[i] << " workers";
        EXPECT_TRUE(rotated[i] == rotated[0]) << counts[i] << " workers";
        EXPECT_TRUE(sharpened[i] == sharpened[0]) << counts[i] << " workers";
    }
}

// Quarter turns hand bands of rows to the workers; odd sizes leave a short
// last band and an odd centre.
TEST(RowPipeline, QuarterTurnsGiveTheSamePixelsOnAnyNumberOfWorkers)
{
    TPixelGraphic source;
    source.SetDimensions(1201, 901, pf24Bit);
    for (int y = 0; y < 901; ++y) {
        std::uint8_t* p = source.GetScanLine(y);
        for (int x = 0; x < 1201 * 3; ++x)
            p[x] = static_cast<std::uint8_t>((x * 5 + y * 11 + x / 3 * y) & 255);
    }
    for (const int angle : {90, 180, 270}) {
        std::vector<TColor> turned[3];
        const int counts[3] = {1, 2, 8};
        for (int i = 0; i < 3; ++i) {
            SetParallelThreads(counts[i]);
            TPixelGraphic target;
            target.Rotate(true, source, angle);
            turned[i] = Pixels(target);
        }
        SetParallelThreads(0);
        EXPECT_GE(turned[0].size(), std::size_t{1201} * 901);
        for (int i = 1; i < 3; ++i)
            EXPECT_TRUE(turned[i] == turned[0]) << angle << " degrees, " << counts[i] << " workers";
    }
}

} // namespace
} // namespace lumeno
