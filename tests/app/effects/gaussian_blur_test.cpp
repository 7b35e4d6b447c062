#include "app/effects/gaussian_blur.h"
#include "effects_support.h"
#include "imagelib/pg_exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace lumeno {
namespace {

using test::Grey;
using test::Paint;
using test::Pattern;

TEST(GaussianBlur, KernelTrimsWhereTheTailsReachHalfAGreyLevel)
{
    const std::vector<std::pair<double, int>> sizes{{0.1, 1}, {1, 2}, {2, 5}, {3, 8}, {5, 14}, {10, 30}};
    for (const auto& [radius, size] : sizes) {
        TGaussianKernel k;
        MakeGaussianKernel(k, radius, 255.0, 1.0);
        EXPECT_EQ(k.Size, size) << radius;
        float sum = 0;
        for (int n = -k.Size; n <= k.Size; ++n)
            sum += k[n];
        EXPECT_NEAR(sum, 1.0f, 1e-5f);
    }
}

TEST(GaussianBlur, TrimHelpers)
{
    EXPECT_EQ(TrimInt(0, 9, -3), 0);
    EXPECT_EQ(TrimInt(0, 9, 12), 9);
    EXPECT_EQ(TrimInt(0, 9, 4), 4);
    EXPECT_EQ(TrimReal(0, 255, 254.99), 254);
    EXPECT_EQ(TrimReal(0, 255, 300), 255);
    EXPECT_EQ(TrimReal(0, 255, -0.5), 0);
}

TEST(GaussianBlur, UniformPicturesKeepTheirValue)
{
    for (const int level : {0, 128, 255})
        for (const double radius : {0.1, 0.5, 1.0, 2.0, 3.0, 3.7, 5.0, 10.0}) {
            TPixelGraphic g;
            Grey(g, 37, 23, level);
            GaussianBlur24(g, radius);
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 37; ++x)
                    ASSERT_EQ(g.GetPixelColor(x, y), RGB(level, level, level)) << level << " " << radius;
        }
    std::uint8_t row[4 * 3], buffer[4 * 3];
    std::fill(std::begin(row), std::end(row), 255);
    TGaussianKernel k;
    MakeGaussianKernel(k, 5.0, 255.0, 1.0);
    BlurRow(row, 3, k, buffer);
    EXPECT_EQ(row[11], 255);
}

// The blur in double precision: every row, then every column, edges
// repeated; a sum a hair below a whole number counts as that number.
std::vector<double> Reference(TPixelGraphic& g, double radius)
{
    TGaussianKernel k;
    MakeGaussianKernel(k, radius, 255.0, 1.0);
    std::vector<double> w(201);
    for (int j = -100; j <= 100; ++j)
        w[static_cast<std::size_t>(j + 100)] = std::exp(-(j / radius) * (j / radius) / 2);
    double kept = 0;
    for (int n = -k.Size; n <= k.Size; ++n)
        kept += w[static_cast<std::size_t>(n + 100)];
    const int width = g.GetWidth(), height = g.GetHeight();
    std::vector<double> v(static_cast<std::size_t>(width * height * 3));
    auto at = [&](int x, int y, int c) -> double& {
        return v[static_cast<std::size_t>((y * width + x) * 3 + c)];
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                at(x, y, c) = g.GetScanLine(y)[x * 3 + c];
    auto pass = [&](bool rows) {
        std::vector<double> out(v.size());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) {
                    double s = 0;
                    for (int n = -k.Size; n <= k.Size; ++n) {
                        const double wn = w[static_cast<std::size_t>(n + 100)] / kept;
                        s += wn * (rows ? at(std::clamp(x - n, 0, width - 1), y, c)
                                        : at(x, std::clamp(y - n, 0, height - 1), c));
                    }
                    out[static_cast<std::size_t>((y * width + x) * 3 + c)] = std::trunc(s + 1e-9);
                }
        v = out;
    };
    pass(true);
    pass(false);
    return v;
}

TEST(GaussianBlur, WithinOneOfTheDoublePrecisionFormula)
{
    for (const double radius : {0.7, 3.0, 5.0}) {
        TPixelGraphic g;
        Paint(g, 150, 70, Pattern);
        const std::vector<double> want = Reference(g, radius);
        GaussianBlur24(g, radius);
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 150; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_LE(std::abs(g.GetScanLine(y)[x * 3 + c] -
                                       want[static_cast<std::size_t>((y * 150 + x) * 3 + c)]),
                              1.0)
                        << radius << " " << x << "," << y;
    }
}

TEST(GaussianBlur, ReportsProgressInTwoHalves)
{
    TPixelGraphic g;
    Paint(g, 300, 200, Pattern);
    std::vector<int> seen;
    GaussianBlur24(g, 2.0, [&](int percent) { seen.push_back(percent); });
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_NE(std::find(seen.begin(), seen.end(), 50), seen.end());
}

TEST(GaussianBlur, RefusesOtherFormatsAndNonPositiveRadii)
{
    TPixelGraphic g;
    g.SetDimensions(8, 8, pf8Bit);
    g.SetPixel(3, 3, 7);
    try {
        GaussianBlur24(g, 3.0);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Gaussian Blur only works for 24-bit images. Convert the image first using "
                               "Image/Color Resolution");
    }
    EXPECT_EQ(g.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(g.GetPixel(3, 3), 7u);

    TPixelGraphic p;
    Paint(p, 9, 9, Pattern);
    for (const double radius : {0.0, -2.0, std::nan("")})
        GaussianBlur24(p, radius);
    EXPECT_EQ(p.GetPixelColor(4, 4), Pattern(4, 4));
}

} // namespace
} // namespace lumeno
