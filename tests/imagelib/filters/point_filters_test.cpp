#include "filter_test_util.h"
#include "imagelib/filters/color_models.h"
#include "imagelib/filters/point_filters.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_exceptions.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::Colors;
using test::Filtered;
using test::MakeImage;

TEST(NegativeFilter, TwiceRestoresTheImage)
{
    TPixelGraphic g, original;
    const std::vector<TColor> colors = {RGB(1, 2, 3), RGB(200, 100, 0), clWhite, RGB(77, 128, 129)};
    MakeImage(g, 2, colors);
    TNegativeFilter negative;
    g.ApplyFilter(negative, g);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(254, 253, 252));
    g.ApplyFilter(negative, g);
    EXPECT_EQ(Colors(g), colors);
}

TEST(GrayScaleFilter, WithAndWithoutWeighting)
{
    TGrayScaleFilter grey;
    EXPECT_TRUE(grey.RGBWeighting);
    EXPECT_EQ(Filtered(grey, RGB(90, 90, 90)), RGB(90, 90, 90));
    EXPECT_EQ(Filtered(grey, clWhite), clWhite);
    EXPECT_EQ(Filtered(grey, RGB(0, 0, 255)), RGB(29, 29, 29));
    EXPECT_EQ(Filtered(grey, RGB(10, 200, 60)), RGB(127, 127, 127));
    grey.SetRGBWeighting(false);
    EXPECT_EQ(Filtered(grey, RGB(90, 90, 90)), RGB(90, 90, 90));
    EXPECT_EQ(Filtered(grey, RGB(0, 0, 255)), RGB(85, 85, 85));
    EXPECT_EQ(Filtered(grey, RGB(10, 200, 60)), RGB(90, 90, 90));
}

TEST(BCGFilter, Tables)
{
    TPixelGraphic g;
    MakeImage(g, 1, {clBlack});
    TBCGFilter bcg;
    g.ApplyFilter(bcg, g); // builds the table
    EXPECT_EQ(bcg.Table[0], 3);
    EXPECT_EQ(bcg.Table[100], 103);
    EXPECT_EQ(bcg.Table[255], 255);
    bcg.SetBrightness(0);
    g.ApplyFilter(bcg, g);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bcg.Table[static_cast<std::size_t>(i)], i);
    // The album's caption box.
    bcg.SetBrightness(30);
    bcg.SetContrast(0.7L);
    g.ApplyFilter(bcg, g);
    EXPECT_EQ(bcg.Table[0], 115);
    EXPECT_EQ(bcg.Table[255], 255);
    EXPECT_EQ(bcg.Table[128], 204);
    bcg.SetBrightness(0);
    bcg.SetContrast(1);
    bcg.Gamma = 2;
    g.ApplyFilter(bcg, g);
    EXPECT_EQ(bcg.Table[128], 64);
    EXPECT_EQ(bcg.Table[255], 255);
}

TEST(BCGFilter, PixelsAndLuminanceOnly)
{
    TBCGFilter bcg;
    bcg.SetBrightness(20);
    EXPECT_EQ(Filtered(bcg, RGB(10, 100, 240)), RGB(61, 151, 255));
    bcg.UseY = true;
    // A grey stays grey; a colour keeps Cb and Cr.
    EXPECT_EQ(Filtered(bcg, RGB(100, 100, 100)), RGB(151, 151, 151));
    EXPECT_EQ(Filtered(bcg, RGB(10, 100, 240)), RGB(61, 151, 255));
    EXPECT_EQ(Filtered(bcg, RGB(200, 30, 30)), RGB(251, 81, 81));
}

// The luminance change computed in long double throughout, step by step.
TColor LuminanceReference(const TBCGFilter& Filter, int R, int G, int B)
{
    Extended y, cb, cr, r, g, b;
    RGBToYCbCr(R / 255.0L, G / 255.0L, B / 255.0L, y, cb, cr);
    y = ReadTable(Filter.Table.data(), y * 255) / 255;
    YCbCrToRGB(y, cb, cr, r, g, b);
    return RGB(UnitToByte(r), UnitToByte(g), UnitToByte(b));
}

TEST(BCGFilter, LuminanceOnlyMatchesTheLongDoubleDefinition)
{
    struct TSetting {
        int Brightness;
        Extended Contrast, Gamma;
    };
    // Identity, the defaults, the album's caption box, strong gamma and
    // contrast that clip.
    const TSetting settings[] = {{0, 1, 1}, {1, 1, 1}, {30, 0.7L, 1}, {-20, 1.8L, 2.2L}, {5, 3, 0.45L}};
    // Every grey and every red and green level, blue in steps of 5.
    std::vector<TColor> colors;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g) {
            colors.push_back(RGB(r, r, r));
            for (int b = g % 5; b < 256; b += 5)
                colors.push_back(RGB(r, g, b));
        }
    TPixelGraphic source, target;
    MakeImage(source, 256, colors);
    for (const TSetting& s : settings) {
        TBCGFilter bcg;
        bcg.UseY = true;
        bcg.SetBrightness(s.Brightness);
        bcg.SetContrast(s.Contrast);
        bcg.Gamma = s.Gamma;
        target.ApplyFilter(bcg, source);
        int wrong = 0;
        for (std::size_t i = 0; i < colors.size(); ++i) {
            const TColor c = colors[i];
            const int x = static_cast<int>(i % 256), y = static_cast<int>(i / 256);
            wrong += target.GetPixelColor(x, y) !=
                     LuminanceReference(bcg, GetRValue(c), GetGValue(c), GetBValue(c));
        }
        EXPECT_EQ(wrong, 0) << "brightness " << s.Brightness;
    }
}

TEST(BCGFilter, SamePixelsOnAnyNumberOfThreads)
{
    TPixelGraphic source, palette;
    source.SetDimensions(700, 700, pf24Bit);
    for (int y = 0; y < 700; ++y) {
        std::uint8_t* p = source.GetScanLine(y);
        for (int x = 0; x < 700 * 3; ++x)
            p[x] = static_cast<std::uint8_t>((x * 7 + y * 13 + (x * y) % 29) & 255);
    }
    palette.Assign(&source);
    palette.SetPixelFormat(pf8Bit);
    for (TPixelGraphic* image : {&source, &palette}) {
        std::vector<std::vector<TColor>> results;
        for (const int threads : {1, 2, 8}) {
            SetParallelThreads(threads);
            TBCGFilter bcg;
            bcg.UseY = true;
            bcg.SetBrightness(12);
            TPixelGraphic target;
            target.ApplyFilter(bcg, *image);
            results.push_back(Colors(target));
        }
        SetParallelThreads(0);
        EXPECT_EQ(results[0], results[1]);
        EXPECT_EQ(results[0], results[2]);
    }
}

TEST(ColorModels, ConversionsAndSaturationHueError)
{
    Extended r, g, b, h, s, v, l;
    HSVToRGB(HueUndefined, 0, 0.5L, r, g, b);
    EXPECT_EQ(r, 0.5L);
    EXPECT_EQ(b, 0.5L);
    EXPECT_THROW(HSVToRGB(30, 0, 0.5L, r, g, b), EPGSaturationHue);
    EXPECT_THROW(HLSToRGB(30, 0.5L, 0, r, g, b), EPGSaturationHue);
    RGBToHSV(1, 0.5L, 0, h, s, v);
    EXPECT_NEAR(static_cast<double>(h), 30, 1e-12);
    EXPECT_EQ(s, 1);
    EXPECT_EQ(v, 1);
    RGBToHLS(0, 0, 1, h, l, s);
    EXPECT_NEAR(static_cast<double>(h), 240, 1e-12);
    EXPECT_EQ(l, 0.5L);
    EXPECT_EQ(s, 1);
    RGBToHSV(0.3L, 0.3L, 0.3L, h, s, v);
    EXPECT_EQ(h, HueUndefined);
    HLSToRGB(240, 0.5L, 1, r, g, b);
    EXPECT_NEAR(static_cast<double>(b), 1, 1e-15);
    EXPECT_NEAR(static_cast<double>(r), 0, 1e-15);
    EXPECT_EQ(HLSValue(0, 1, 30), 0.5L);
    EXPECT_EQ(HLSValue(0, 1, 390), 0.5L);
}

} // namespace
} // namespace lumeno
