#include "imagelib/dither.h"
#include "imagelib/pixel_graphic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumeno {
namespace {

int L(const std::vector<int>& table, int e) { return table[static_cast<std::size_t>(e + 255)]; }

TEST(DitherErrorTable, AutomaticLimitsFollowThePalette)
{
    EXPECT_EQ(AutoDitherErrorLimit(pUnknown), 32);
    EXPECT_EQ(AutoDitherErrorLimit(pTrueColor), 32);
    EXPECT_EQ(AutoDitherErrorLimit(pGray16), 32);
    EXPECT_EQ(AutoDitherErrorLimit(pBlackWhite), 255);
    EXPECT_EQ(AutoDitherErrorLimit(pSys16), 128);
    EXPECT_EQ(AutoDitherErrorLimit(pGray236), 3);
    EXPECT_EQ(AutoDitherErrorLimit(pGray256), 2);
    EXPECT_EQ(AutoDitherErrorLimit(pSpecial252), 104);
    EXPECT_EQ(AutoDitherErrorLimit(pSpecial216), 86);
}

TEST(DitherErrorTable, SoftKneeValues)
{
    const auto gray256 = BuildDitherErrorTable(2, true);
    EXPECT_EQ(L(gray256, 1), 0);
    EXPECT_EQ(L(gray256, 2), 1);
    EXPECT_EQ(L(gray256, 3), 1);
    for (int e = 4; e <= 255; ++e)
        EXPECT_EQ(L(gray256, e), 2) << e;

    const auto blackWhite = BuildDitherErrorTable(255, true);
    EXPECT_EQ(L(blackWhite, 100), 100);
    EXPECT_EQ(L(blackWhite, 127), 126);
    EXPECT_EQ(L(blackWhite, 254), 190);
    EXPECT_EQ(L(blackWhite, 255), 255);

    const auto unknown = BuildDitherErrorTable(32, true);
    EXPECT_EQ(L(unknown, 15), 15);
    EXPECT_EQ(L(unknown, 16), 16);
    EXPECT_EQ(L(unknown, 40), 28);
    EXPECT_EQ(L(unknown, 48), 32);
    EXPECT_EQ(L(unknown, 200), 32);
    EXPECT_EQ(L(unknown, -40), -28);
    EXPECT_EQ(L(unknown, 0), 0);
}

TEST(DitherErrorTable, HardLimitCutsOnly)
{
    const auto hard = BuildDitherErrorTable(32, false);
    EXPECT_EQ(L(hard, 31), 31);
    EXPECT_EQ(L(hard, 40), 32);
    EXPECT_EQ(L(hard, -255), -32);
}

TEST(InitDither, UsesTheTargetsSettings)
{
    TPixelGraphic g;
    g.SetDimensions(5, 2, pf8Bit);
    g.SetPaletteType(pGray256);
    g.InitDither();
    EXPECT_EQ(g.FDitherErrorTable, BuildDitherErrorTable(2, true));
    EXPECT_EQ(g.FDitherCurrentRow.size(), 21u);
    EXPECT_TRUE(g.GetIsGrayPalette());
    g.SetDitherErrorLimitAuto(false);
    g.SetDitherErrorLimit(50);
    g.SetDitherErrorLimitSoft(false);
    g.InitDither();
    EXPECT_EQ(g.FDitherErrorTable, BuildDitherErrorTable(50, false));
    g.FreeDitherBuffers();
    EXPECT_TRUE(g.FDitherErrorTable.empty());
}

// A 24-bit grey ramp, one column per level.
void GreyRamp(TPixelGraphic& g, int rows)
{
    g.SetDimensions(256, rows, pf24Bit);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < 256; ++x)
            g.SetPixelColor(x, y, RGB(x, x, x));
}

TEST(Dithering, FirstRowFollowsTheErrorDiffusion)
{
    TPixelGraphic source, target;
    source.SetDimensions(4, 1, pf24Bit);
    for (int x = 0; x < 4; ++x)
        source.SetPixelColor(x, 0, RGB(100, 100, 100));
    target.SetDimensions(4, 1, pf1Bit);
    target.SetPaletteType(pBlackWhite);
    target.StretchFrom(source);
    // 100 -> black (error 100, 7/16 forward), 144 -> white, 51 -> black, 122 -> black.
    EXPECT_EQ(target.GetPixel(0, 0), 0u);
    EXPECT_EQ(target.GetPixel(1, 0), 1u);
    EXPECT_EQ(target.GetPixel(2, 0), 0u);
    EXPECT_EQ(target.GetPixel(3, 0), 0u);
    EXPECT_TRUE(target.FDitherCurrentRow.empty());
}

TEST(Dithering, GreyRampIntoBlackAndWhiteKeepsTheBrightness)
{
    TPixelGraphic source, target;
    GreyRamp(source, 64);
    target.SetDimensions(256, 64, pf1Bit);
    target.SetPaletteType(pBlackWhite);
    target.StretchFrom(source);
    for (int band = 0; band < 256; band += 32) {
        int white = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = band; x < band + 32; ++x)
                white += static_cast<int>(target.GetPixel(x, y));
        const double wanted = (band + 15.5) / 255.0;
        EXPECT_NEAR(white / (32.0 * 64.0), wanted, 0.05) << "band " << band;
    }
    EXPECT_EQ(target.GetPixel(0, 10), 0u);
    EXPECT_EQ(target.GetPixel(255, 10), 1u);
}

TEST(Dithering, WithoutDitherTheNearestEntryIsTaken)
{
    TPixelGraphic source, target;
    GreyRamp(source, 4);
    target.SetDimensions(256, 4, pf1Bit);
    target.SetPaletteType(pBlackWhite);
    target.SetDither(false);
    target.StretchFrom(source);
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(target.GetPixel(x, 2), x >= 128 ? 1u : 0u) << x;
}

TEST(Dithering, ColourAverageSurvivesTheSystemPalette)
{
    TPixelGraphic source, target;
    source.SetDimensions(64, 64, pf24Bit);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            source.SetPixelColor(x, y, RGB(96, 160, 40));
    target.SetDimensions(64, 64, pf4Bit);
    target.SetPaletteType(pSys16);
    target.StretchFrom(source);
    double sum[3] = {0, 0, 0};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const TColor c = target.GetPixelColor(x, y);
            sum[0] += GetRValue(c);
            sum[1] += GetGValue(c);
            sum[2] += GetBValue(c);
        }
    EXPECT_NEAR(sum[0] / 4096, 96, 6);
    EXPECT_NEAR(sum[1] / 4096, 160, 6);
    EXPECT_NEAR(sum[2] / 4096, 40, 6);
}

} // namespace
} // namespace lumeno
