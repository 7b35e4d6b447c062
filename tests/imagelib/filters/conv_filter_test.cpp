#include "filter_test_util.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/pg_exceptions.h"

#include "support/test_env.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::Colors;
using test::MakeImage;

std::vector<int> Kernel(const TConvFilter& f)
{
    std::vector<int> out;
    for (int y = 0; y < f.GetHeight(); ++y)
        for (int x = 0; x < f.GetWidth(); ++x)
            out.push_back(f.GetKernel(x, y));
    return out;
}

std::vector<int> Greys(TPixelGraphic& g)
{
    std::vector<int> out;
    for (const TColor c : Colors(g))
        out.push_back(static_cast<int>(GetGValue(c)));
    return out;
}

void GreyImage(TPixelGraphic& g, int Width, const std::vector<int>& Levels)
{
    std::vector<TColor> colors;
    for (const int v : Levels)
        colors.push_back(RGB(v, v, v));
    MakeImage(g, Width, colors);
}

// Every pixel a pseudo-random colour from Seed; the colours, row by row.
std::vector<TColor> NoiseImage(TPixelGraphic& g, int Width, int Height, std::uint32_t Seed)
{
    std::vector<TColor> colors;
    for (int i = 0; i < Width * Height; ++i) {
        Seed = Seed * 1664525u + 1013904223u;
        colors.push_back(Seed >> 8);
    }
    MakeImage(g, Width, colors);
    return colors;
}

TEST(ConvFilter, NewFilterIsTheIdentity)
{
    TConvFilter f;
    EXPECT_EQ(Kernel(f), (std::vector<int>{1}));
    EXPECT_EQ(f.GetFactor(), 1);
    EXPECT_EQ(f.GetOffset(), 0);
    TPixelGraphic source, target;
    MakeImage(source, 2, {RGB(1, 2, 3), RGB(250, 128, 0)});
    target.ApplyFilter(f, source);
    EXPECT_EQ(Colors(target), Colors(source));
}

TEST(ConvFilter, SizeAndCellChecks)
{
    TConvFilter f;
    f.SetWidth(3);
    EXPECT_EQ(Kernel(f), (std::vector<int>{0, 0, 0}));
    f.SetKernel(2, 0, 5);
    f.SetWidth(3); // same size keeps the cells
    EXPECT_EQ(f.GetKernel(2, 0), 5);
    for (const auto& [call, name] : std::vector<std::pair<std::function<void()>, std::string>>{
             {[&] { f.SetWidth(100); }, "TConvFilter.Width out of range"},
             {[&] { f.SetWidth(0); }, "TConvFilter.Width out of range"},
             {[&] { f.SetHeight(-1); }, "TConvFilter.Height out of range"}}) {
        try {
            call();
            ADD_FAILURE() << name;
        } catch (const EPGConvFilter& e) {
            EXPECT_EQ(std::string(e.what()), name);
        }
    }
    EXPECT_EQ(f.GetWidth(), 3);
    EXPECT_EQ(f.GetKernel(2, 0), 5);
    EXPECT_THROW(f.GetKernel(3, 0), EPGConvFilter);
    EXPECT_THROW(f.SetKernel(0, 1, 1), EPGConvFilter);
}

TEST(ConvFilter, DistributionKernels)
{
    TConvFilter f;
    const std::vector<int> k3 = {3, 7, 3, 7, 16, 7, 3, 7, 3};
    f.MakeKernel(dsGaussian, false, 0.75L);
    EXPECT_EQ(Kernel(f), k3);
    EXPECT_EQ(f.GetOriginX(), -1);
    f.MakeKernel(dsGaussian, true, 0.75L);
    EXPECT_EQ(Kernel(f), k3);
    f.MakeKernel(dsTent, false, 0.75L);
    EXPECT_EQ(Kernel(f), k3);
    f.MakeKernel(dsTent, true, 0.75L);
    EXPECT_EQ(Kernel(f), (std::vector<int>{4, 7, 4, 7, 16, 7, 4, 7, 4}));
    f.MakeKernel(dsGaussian, true, 1.30L);
    EXPECT_EQ(f.GetWidth(), 7);
    EXPECT_EQ(f.GetKernel(0, 0), 0);
    EXPECT_EQ(f.GetKernel(3, 0), 1);
    EXPECT_EQ(f.GetOriginY(), -3);
    f.MakeKernel(dsRect, true, 1.16L);
    EXPECT_EQ(Kernel(f),
              (std::vector<int>{0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 1, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 1, 0, 0}));
    f.MakeKernel(dsRect, false, 1.16L);
    EXPECT_EQ(Kernel(f), std::vector<int>(25, 1));
}

TEST(ConvFilter, Recipes)
{
    TConvFilter f;
    f.SetSharpenKernel(dsGaussian, true, 0.75L, 50);
    EXPECT_EQ(Kernel(f), (std::vector<int>{-3, -7, -3, -7, 112, -7, -3, -7, -3}));
    f.SetDetailKernel(dsGaussian, true, 0.75L, 75);
    EXPECT_EQ(f.GetKernel(1, 1), 55); // (56 - 16 + 1) * 4 / 3 = 54.67
    f.SetSmoothKernel(dsGaussian, true, 0.75L, 50);
    EXPECT_EQ(Kernel(f), (std::vector<int>{3, 7, 3, 7, 72, 7, 3, 7, 3}));
    f.SetContourKernel(dsRect, true, 1.16L, 7.92L, true);
    EXPECT_EQ(f.GetKernel(2, 2), 13 - 1 + 1);
    EXPECT_EQ(f.GetKernel(2, 0), -1);
    EXPECT_EQ(f.GetOffset(), 100);
    EXPECT_EQ(f.GetFactor(), 7.92L);
    f.SetContourKernel(dsGaussian, true, 0.75L, 2, false);
    EXPECT_EQ(f.GetKernel(1, 1), 41);
    EXPECT_EQ(f.GetFactor(), -2);
}

TEST(ConvFilter, BlurKernels)
{
    TConvFilter f;
    f.SetBlurKernel(2.5L, 100);
    EXPECT_EQ(f.GetWidth(), 5);
    EXPECT_EQ(f.GetKernel(2, 2), 0);
    int sum = 0;
    for (const int k : Kernel(f))
        sum += k;
    EXPECT_EQ(sum, 360);
    f.SetBlurKernel(3.5L, 100);
    EXPECT_EQ(f.GetWidth(), 9);
    EXPECT_EQ(f.GetOriginX(), -4);
    f.SetBlurKernel(0.4L, 50);
    EXPECT_EQ(Kernel(f), (std::vector<int>{720}));
}

TEST(ConvFilter, NonPositivePercentOrDeviationIsRefused)
{
    TConvFilter f;
    f.SetSharpenKernel(dsGaussian, true, 0.75L, 50);
    const std::vector<int> before = Kernel(f);
    EXPECT_THROW(f.SetSharpenKernel(dsGaussian, true, 0.75L, 0), EPGConvFilter);
    EXPECT_THROW(f.SetSmoothKernel(dsTent, false, 0.75L, -5), EPGConvFilter);
    EXPECT_THROW(f.SetBlurKernel(2, 0), EPGConvFilter);
    EXPECT_THROW(f.MakeKernel(dsGaussian, true, 0), EPGConvFilter);
    EXPECT_THROW(f.SetDetailKernel(dsRect, true, -1, 50), EPGConvFilter);
    EXPECT_THROW(f.SetContourKernel(dsTent, true, 0, 5, true), EPGConvFilter);
    // Too wide a kernel, too strong a centre.
    EXPECT_THROW(f.MakeKernel(dsGaussian, true, 40), EPGConvFilter);
    EXPECT_THROW(f.SetBlurKernel(60, 100), EPGConvFilter);
    EXPECT_THROW(f.SetSharpenKernel(dsGaussian, true, 0.75L, 1e-12L), EPGConvFilter);
    EXPECT_EQ(Kernel(f), before);
}

TEST(ConvFilter, BordersUseOnlyTheCellsOverTheImage)
{
    TPixelGraphic source, target;
    GreyImage(source, 3, {10, 20, 30, 40, 50, 60, 70, 80, 90});
    TConvFilter f;
    f.MakeKernel(dsGaussian, true, 0.75L);
    target.ApplyFilter(f, source);
    // Corner: (16*10 + 7*20 + 7*40 + 3*50) / 33 = 22.1; centre: 2800 / 56 = 50.
    EXPECT_EQ(Greys(target), (std::vector<int>{22, 29, 36, 43, 50, 57, 64, 71, 78}));
}

TEST(ConvFilter, ZeroWeightSumsAndFactorAndOffset)
{
    TPixelGraphic source, target;
    GreyImage(source, 3, {10, 10, 10, 10, 10, 90, 10, 10, 10});
    TConvFilter edge;
    edge.SetWidth(3);
    edge.SetKernel(0, 0, -1);
    edge.SetKernel(2, 0, 1);
    edge.SetOriginX(-1);
    edge.SetOffset(20); // + 51
    target.ApplyFilter(edge, source);
    // Both cells inside: weights sum to 0, so no division (0 or 80, + 51);
    // one cell inside at the borders: a mean over that cell (10, + 51).
    EXPECT_EQ(Greys(target), (std::vector<int>{61, 51, 61, 61, 131, 61, 61, 51, 61}));
    TConvFilter contour;
    contour.SetContourKernel(dsGaussian, true, 0.75L, 3, true);
    GreyImage(source, 3, std::vector<int>(9, 128));
    target.ApplyFilter(contour, source);
    EXPECT_EQ(Greys(target), std::vector<int>(9, 255));
    contour.SetContourKernel(dsGaussian, true, 0.75L, 3, false);
    target.ApplyFilter(contour, source);
    EXPECT_EQ(Greys(target), std::vector<int>(9, 0));
}

TEST(ConvFilter, NoWeightOverTheImageKeepsThePixel)
{
    TPixelGraphic source, target;
    GreyImage(source, 3, {10, 20, 30, 40, 50, 60, 70, 80, 90});
    TConvFilter blur;
    blur.SetBlurKernel(2.5L, 100);
    target.ApplyFilter(blur, source);
    EXPECT_EQ(Greys(target)[4], 50);
    TConvFilter empty;
    empty.SetKernel(0, 0, 0);
    target.ApplyFilter(empty, source);
    EXPECT_EQ(Greys(target), Greys(source));
}

TEST(ConvFilter, SharpenInteriorMatchesPixelByPixel)
{
    // The span path, with and without its table of scaled sums, agrees with
    // the per-pixel path.
    constexpr int w = 200, h = 150;
    TPixelGraphic source, target;
    NoiseImage(source, w, h, 7);
    for (const auto& [stdDev, percent] :
         std::vector<std::pair<Extended, Extended>>{{0.75L, 50}, {1.3L, 10}}) {
        TConvFilter f;
        f.SetSharpenKernel(dsGaussian, true, stdDev, percent);
        target.ApplyFilter(f, source);
        f.BeginFilter(source);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(target.GetPixelColor(x, y), f.FilterPixel(x, y)) << x << "," << y;
        f.EndFilter();
    }
}

// Rows wider than one chunk of sums, kernels of every cell count modulo
// three and weights beyond 16 bits: each agrees with the per-pixel path.
TEST(ConvFilter, WideRowsAndEveryWeightPathMatchPixelByPixel)
{
    constexpr int w = 1031, h = 5;
    TPixelGraphic source, target;
    NoiseImage(source, w, h, 11);
    const std::vector<std::vector<int>> kernels = {
        {-3, -7, -3, -7, 112, -7, -3, -7, -3}, // three cells at a time
        {0, 0, 0, 0, 5, 3, 0, 0, -1},          // three
        {1, 0, 0, 0, 9, 0, 0, 2, -4},          // three and one
        {0, 0, 0, 0, 1, 0, 0, 0, 2},           // two
        {0, -1, 0, -1, 40000, -1, 0, -1, 0},   // beyond 16 bits
    };
    for (const std::vector<int>& k : kernels) {
        TConvFilter f;
        f.SetWidth(3);
        f.SetHeight(3);
        f.SetOriginX(-1);
        f.SetOriginY(-1);
        for (int i = 0; i < 9; ++i)
            f.SetKernel(i % 3, i / 3, k[static_cast<std::size_t>(i)]);
        target.ApplyFilter(f, source);
        f.BeginFilter(source);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(target.GetPixelColor(x, y), f.FilterPixel(x, y)) << x << "," << y << " " << k[4];
        f.EndFilter();
    }
}

TEST(ConvFilter, PaletteSourceAndBorderBrightness)
{
    TPixelGraphic source, target;
    source.SetDimensions(4, 2, pf4Bit);
    source.SetPaletteSize(2);
    source.SetPaletteEntry(0, RGB(100, 100, 100));
    source.SetPaletteEntry(1, RGB(100, 100, 100));
    for (int x = 0; x < 4; ++x) {
        source.SetPixel(x, 0, 0);
        source.SetPixel(x, 1, 1);
    }
    TConvFilter f;
    f.SetSmoothKernel(dsGaussian, true, 1.3L, 100);
    target.SetDimensions(1, 1, pf24Bit);
    target.ApplyFilter(f, source);
    EXPECT_EQ(Colors(target), std::vector<TColor>(8, RGB(100, 100, 100)));
}

// ImageMagick applies the same kernel, normalised by its sum; inside the
// border its results differ from ours by its 16-bit rounding at most.
TEST(ConvFilter, SharpenAgreesWithImageMagickInside)
{
    if (!test::HaveTool("convert-im6.q16"))
        GTEST_SKIP() << "convert-im6.q16 is not installed";
    constexpr int w = 24, h = 16;
    TPixelGraphic source, target;
    const std::vector<TColor> colors = NoiseImage(source, w, h, 99);
    std::vector<unsigned char> ppm;
    const std::string header = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    ppm.assign(header.begin(), header.end());
    for (const TColor c : colors)
        ppm.insert(ppm.end(),
                   {static_cast<unsigned char>(GetRValue(c)), static_cast<unsigned char>(GetGValue(c)),
                    static_cast<unsigned char>(GetBValue(c))});
    test::TempDir dir;
    const std::string in = (dir.Path() / "in.ppm").string(), out = (dir.Path() / "out.ppm").string();
    test::WriteFileBytes(in, ppm);
    ASSERT_EQ(test::Run("convert-im6.q16 " + in +
                        " -define convolve:scale=! -morphology Convolve '3x3: -3,-7,-3 -7,112,-7 -3,-7,-3' " +
                        out),
              0);
    const std::vector<unsigned char> theirs = test::ReadFileBytes(out);
    ASSERT_EQ(theirs.size(), ppm.size());
    TConvFilter f;
    f.SetSharpenKernel(dsGaussian, true, 0.75L, 50);
    target.ApplyFilter(f, source);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            const TColor c = target.GetPixelColor(x, y);
            const std::size_t at = header.size() + static_cast<std::size_t>(y * w + x) * 3;
            EXPECT_NEAR(GetRValue(c), theirs[at], 1) << x << "," << y;
            EXPECT_NEAR(GetGValue(c), theirs[at + 1], 1) << x << "," << y;
            EXPECT_NEAR(GetBValue(c), theirs[at + 2], 1) << x << "," << y;
        }
}

} // namespace
} // namespace lumeno
