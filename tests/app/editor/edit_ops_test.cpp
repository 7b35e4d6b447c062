#include "app/editor/color_rez.h"
#include "app/editor/edit_ops.h"
#include "app/editor/edit_undo.h"
#include "app/editor/radial_adjust.h"
#include "app/editor/red_eye.h"
#include "app/editor/save_options.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"
#include "support/format_pictures.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace lumeno {
namespace {

void Paint(TPixelGraphic& g, int w, int h)
{
    g.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g.SetPixelColor(x, y, RGB((x * 29) & 255, (y * 41) & 255, (x + y) & 255));
}

TEST(EditOps, QuarterTurnsAreExactAndOtherAnglesUntrimmed)
{
    for (const auto& [w, h] : {std::pair{7, 5}, std::pair{6, 4}, std::pair{5, 8}}) {
        TPixelGraphic g;
        Paint(g, w, h);
        auto r90 = RotatedImage(g, 90), r270 = RotatedImage(g, -90), r360 = RotatedImage(g, 360);
        ASSERT_EQ(r90->GetWidth(), h);
        ASSERT_EQ(r90->GetHeight(), w);
        EXPECT_EQ(r90->GetPixelColor(h - 1, 0), g.GetPixelColor(0, 0));
        EXPECT_EQ(r90->GetPixelColor(0, w - 1), g.GetPixelColor(w - 1, h - 1));
        EXPECT_EQ(r270->GetPixelColor(0, w - 1), g.GetPixelColor(0, 0));
        ASSERT_EQ(r360->GetWidth(), w);
        EXPECT_EQ(r360->GetPixelColor(w - 1, h - 1), g.GetPixelColor(w - 1, h - 1));
    }
    TPixelGraphic g;
    Paint(g, 40, 30);
    auto r45 = RotatedImage(g, 45);
    TPixelGraphic library;
    library.Rotate(true, g, 45);
    EXPECT_EQ(r45->GetWidth(), library.GetWidth());
    EXPECT_EQ(r45->GetHeight(), library.GetHeight());
    EXPECT_DOUBLE_EQ(static_cast<double>(DialogAngle(30, true)), 330.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(DialogAngle(30, false)), 30.0);
}

TEST(EditOps, CropKeepsFormatAndPalette)
{
    TPixelGraphic g;
    g.SetDimensions(10, 8, pf8Bit);
    g.SetPaletteSize(256);
    g.SetPaletteEntry(9, RGB(1, 2, 3));
    g.SetPixel(4, 3, 9);
    auto c = CroppedImage(g, 3, 2, 4, 5);
    EXPECT_EQ(c->GetPixelFormat(), pf8Bit);
    EXPECT_EQ(c->GetWidth(), 4);
    EXPECT_EQ(c->GetHeight(), 5);
    EXPECT_EQ(c->GetPixel(1, 1), 9u);
    EXPECT_EQ(c->GetPixelColor(1, 1), RGB(1, 2, 3));
}

TEST(EditOps, ZoomClicksStopAtTheirLimits)
{
    Extended z = 1.0L;
    int clicks = 0;
    for (Extended next = NextZoom(z, true); next != z; next = NextZoom(z, true), ++clicks)
        z = next;
    EXPECT_EQ(clicks, 10);
    EXPECT_GE(static_cast<double>(z), 3.0);
    EXPECT_LT(static_cast<double>(z), 3.2);
    z = 1.0L;
    for (Extended next = NextZoom(z, false); next != z; next = NextZoom(z, false))
        z = next;
    EXPECT_LE(static_cast<double>(z), 0.3);
    EXPECT_GT(static_cast<double>(z), 0.1);
}

TEST(EditOps, ProportionsRoundHalfToEven)
{
    EXPECT_EQ(ProportionalSide(320, 640, 480), 240);
    EXPECT_EQ(ProportionalSide(333, 640, 480), 250);
    EXPECT_EQ(ProportionalSide(6, 640, 480), 4);
    EXPECT_EQ(ProportionalSide(5, 0, 480), 480);
}

TEST(EditOps, NumbersUseAPointWhateverTheLocale)
{
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_DOUBLE_EQ(ParseDecimal("-0.02").value(), -0.02);
    EXPECT_DOUBLE_EQ(ParseDecimal(" 2.5 ").value(), 2.5);
    std::setlocale(LC_NUMERIC, old.c_str());
    EXPECT_FALSE(ParseDecimal("0,5"));
    EXPECT_FALSE(ParseDecimal(""));
    EXPECT_FALSE(ParseDecimal("1e999"));
    EXPECT_FALSE(ParseDecimal("nan"));
    EXPECT_EQ(ParseInteger("+17").value(), 17);
    EXPECT_FALSE(ParseInteger("17a"));
    EXPECT_FALSE(ParseInteger("99999999999"));
}

TEST(EditUndo, CaptionsFollowTheSnapshot)
{
    TEditUndo undo;
    EXPECT_EQ(undo.Caption(), "Undo");
    undo.Push(std::make_unique<TPixelGraphic>(), "Crop");
    EXPECT_EQ(undo.Caption(), "Undo Crop");
    undo.Push(std::make_unique<TPixelGraphic>(), "Rotate");
    EXPECT_EQ(undo.Caption(), "Undo Rotate");
    EXPECT_TRUE(undo.Take());
    EXPECT_FALSE(undo.Available());
    EXPECT_EQ(undo.Caption(), "Undo");
}

TEST(RedEye, ThresholdsAndCircle)
{
    auto count = [](int position, TColor colour) {
        TPixelGraphic g;
        g.SetDimensions(1, 1, pf24Bit);
        g.SetPixelColor(0, 0, colour);
        ReduceRedEye(g, TRedEyeThresholds::FromPosition(position));
        return g.GetPixelColor(0, 0) == 0;
    };
    EXPECT_TRUE(count(80, RGB(21, 179, 179)));
    EXPECT_FALSE(count(80, RGB(20, 0, 0)));
    EXPECT_FALSE(count(80, RGB(200, 180, 0)));
    EXPECT_TRUE(count(-50, RGB(151, 49, 49)));
    EXPECT_FALSE(count(-50, RGB(150, 0, 0)));
    EXPECT_FALSE(count(-50, RGB(200, 50, 0)));

    TPixelGraphic g;
    g.SetDimensions(4, 4, pf24Bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            g.SetPixelColor(x, y, RGB(250, 10, 10));
    ReduceRedEye(g, TRedEyeThresholds::FromPosition(0));
    // Radius 2 around (2, 2): the corners at (0, 0) .. are outside.
    EXPECT_NE(g.GetPixelColor(0, 0), 0u);
    EXPECT_NE(g.GetPixelColor(0, 3), 0u);
    EXPECT_EQ(g.GetPixelColor(0, 2), 0u);
    EXPECT_EQ(g.GetPixelColor(3, 3), 0u);
    EXPECT_EQ(g.GetPixelColor(2, 0), 0u);
}

// The selection handed to the red-eye routine may come in any format; the
// red middle of the picture turns black in each.
TEST(RedEye, EveryPixelFormatBecomesTwentyFourBit)
{
    for (const std::uint8_t format : test::AllPixelFormats) {
        TPixelGraphic g;
        test::FormatPicture(g, 31, 21, format);
        const bool red = g.GetPixelColor(15, 10) == RGB(255, 0, 0) || g.GetPixelColor(15, 10) == RGB(128, 0, 0);
        ReduceRedEye(g, TRedEyeThresholds::FromPosition(0));
        ASSERT_EQ(g.GetPixelFormat(), pf24Bit) << int(format);
        if (red) {
            EXPECT_EQ(g.GetPixelColor(15, 10), RGB(0, 0, 0)) << int(format);
        }
    }
}

TEST(RadialAdjust, EveryPixelFormatGivesATwentyFourBitResult)
{
    for (const std::uint8_t format : test::AllPixelFormats) {
        TPixelGraphic g, r;
        test::FormatPicture(g, 31, 21, format);
        RadialAdjust(g, r, {});
        EXPECT_EQ(r.GetPixelFormat(), pf24Bit) << int(format);
        EXPECT_EQ(r.GetWidth(), 31);
    }
}

TEST(RadialAdjust, IdentityAndDefaultSampling)
{
    TPixelGraphic g, r;
    Paint(g, 31, 21);
    RadialAdjust(g, r, {0, 0, 0, 1});
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 31; ++x)
            ASSERT_EQ(r.GetPixelColor(x, y), g.GetPixelColor(x, y)) << x << "," << y;

    // A horizontal ramp: at r = 1 (cx = 15) the source lies 0.98 x cx from
    // the centre: x = 30 samples 29.7; x = 0 lands on 0.3, whose corner is
    // the pixel itself, which is then copied.
    TPixelGraphic ramp, out;
    ramp.SetDimensions(31, 21, pf24Bit);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 31; ++x)
            ramp.SetPixelColor(x, y, RGB(x * 8, 0, 0));
    RadialAdjust(ramp, out, {});
    EXPECT_EQ(GetRValue(out.GetPixelColor(0, 10)), 0u);
    EXPECT_EQ(GetRValue(out.GetPixelColor(30, 10)), static_cast<unsigned>(std::nearbyint((15 + 14.7) * 8)));

    TPixelGraphic thin, same;
    Paint(thin, 2, 9);
    RadialAdjust(thin, same, {1, 2, 3, 4});
    EXPECT_EQ(same.GetPixelColor(1, 8), thin.GetPixelColor(1, 8));
    EXPECT_DOUBLE_EQ(BarrelAngle(0, -1), 3 * std::acos(-1.0) / 2);
    EXPECT_DOUBLE_EQ(BarrelAngle(-1, 0), std::acos(-1.0));
}

TEST(ColorRez, PaletteTypesAndOptimisedCounts)
{
    TPixelGraphic g;
    Paint(g, 20, 10);
    TColorRezChoice c;
    c.PixelFormat = pf8Bit;
    c.Palette = pGray256;
    auto grey = ColorRezImage(g, c);
    EXPECT_EQ(grey->GetPixelFormat(), pf8Bit);
    EXPECT_EQ(grey->GetPaletteType(), pGray256);
    c.PixelFormat = pf4Bit;
    c.Palette = pNone;
    c.Colors = 5;
    c.Dither = false;
    auto optimised = ColorRezImage(g, c);
    EXPECT_EQ(optimised->GetPixelFormat(), pf4Bit);
    EXPECT_LE(optimised->GetPaletteSize(), 16);
    EXPECT_FALSE(optimised->GetDither());
    c.PixelFormat = pf1Bit;
    c.Palette = pBlackWhite;
    EXPECT_EQ(ColorRezImage(g, c)->GetPaletteType(), pBlackWhite);
    EXPECT_TRUE(ColorCountsValid(2, 256));
    EXPECT_FALSE(ColorCountsValid(17, 252));
    EXPECT_FALSE(ColorCountsValid(16, 1));
}

TEST(SaveOptions, RoundTripThroughTheLibrary)
{
    const TSaveOptions old = ReadSaveOptions();
    TSaveOptions o;
    o.JPEGWriteMethod = 2;
    o.JPEGQuality = 55;
    o.JPEGProgressive = true;
    o.JPEGReadMethod = 1;
    o.PxMBinary = false;
    o.TIFFCompression = 32773;
    o.TIFFByteOrder = 1;
    o.TIFFWriteCMYK = true;
    o.TIFFWhiteIsZero = true;
    o.TIFFResolutionUnit = 1;
    o.ResHorizN = 72;
    o.ResHorizD = 2;
    o.ResVertN = 96;
    o.ResVertD = 3;
    o.WriteGamma = true;
    o.ScreenGamma = 1.8;
    o.GammaCorrectionOnRead = true;
    StoreSaveOptions(o);
    const TSaveOptions back = ReadSaveOptions();
    EXPECT_EQ(JPEGQuality, 55);
    EXPECT_EQ(TIFFCompression, 32773);
    EXPECT_EQ(back.ResVertD, 3);
    EXPECT_EQ(back.TIFFResolutionUnit, 1);
    EXPECT_DOUBLE_EQ(back.ScreenGamma, 1.8);
    EXPECT_TRUE(back.GammaCorrectionOnRead && back.WriteGamma && back.TIFFWriteCMYK && !back.PxMBinary);
    StoreSaveOptions(old);
}

} // namespace
} // namespace lumeno
