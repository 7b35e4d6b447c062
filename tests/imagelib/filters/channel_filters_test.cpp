#include "filter_test_util.h"
#include "imagelib/filters/channel_filters.h"

#include <gtest/gtest.h>

#include <random>

namespace lumeno {
namespace {

using test::Colors;
using test::Filtered;
using test::MakeImage;

// Every 17th level of every channel: 4913 colours.
void Cube(TPixelGraphic& g)
{
    std::vector<TColor> colors;
    for (int r = 0; r < 256; r += 15)
        for (int gr = 0; gr < 256; gr += 15)
            for (int b = 0; b < 256; b += 15)
                colors.push_back(RGB(r, gr, b));
    MakeImage(g, 18, colors);
}

template <class F> void ExpectIdentity(F& Filter)
{
    TPixelGraphic source, target;
    Cube(source);
    target.ApplyFilter(Filter, source);
    EXPECT_EQ(Colors(target), Colors(source));
}

TEST(ChannelFilters, IdentityTablesRoundTrip)
{
    TRGBFilter rgb;
    TCMYFilter cmy;
    TYCbCrFilter ycbcr;
    THLSFilter hls;
    THSVFilter hsv;
    ExpectIdentity(rgb);
    ExpectIdentity(cmy);
    ExpectIdentity(ycbcr);
    ExpectIdentity(hls);
    ExpectIdentity(hsv);
}

TEST(ChannelFilters, RGBAndCMYShifts)
{
    TRGBFilter rgb;
    FillChannelTable(rgb.Table1, 100);
    FillChannelTable(rgb.Table3, -10);
    EXPECT_EQ(Filtered(rgb, RGB(0, 7, 30)), RGB(255, 7, 5));
    TCMYFilter cmy;
    FillChannelTable(cmy.Table1, 20);
    EXPECT_EQ(Filtered(cmy, RGB(200, 10, 10)), RGB(149, 10, 10));
    EXPECT_EQ(Filtered(cmy, RGB(30, 10, 10)), RGB(0, 10, 10));
}

TEST(ChannelFilters, TablesAsTheDialogsFillThem)
{
    TChannelTable t;
    FillChannelTable(t, -33); // -84, truncated
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[100], 16);
    FillHueTable(t, 180);
    EXPECT_EQ(t[0], 128);
    EXPECT_EQ(t[128], 0);
    FillHueTable(t, -45); // -32
    EXPECT_EQ(t[0], 224);
    EXPECT_EQ(t[40], 8);
}

TEST(ChannelFilters, YCbCrMovesLumaAndChroma)
{
    TYCbCrFilter ycbcr;
    FillChannelTable(ycbcr.Table1, 10);
    EXPECT_EQ(Filtered(ycbcr, RGB(100, 100, 100)), RGB(125, 125, 125));
    TYCbCrFilter chroma;
    FillChannelTable(chroma.Table3, 10);
    EXPECT_EQ(Filtered(chroma, RGB(100, 100, 100)), RGB(135, 82, 100));
}

TEST(ChannelFilters, HueShiftTurnsRedToCyanAndKeepsGreys)
{
    THLSFilter hls;
    THSVFilter hsv;
    FillHueTable(hls.Table1, 180);
    FillHueTable(hsv.Table1, 180);
    EXPECT_EQ(Filtered(hls, clRed), clAqua);
    EXPECT_EQ(Filtered(hsv, clRed), clAqua);
    EXPECT_EQ(Filtered(hls, RGB(90, 90, 90)), RGB(90, 90, 90));
    EXPECT_EQ(Filtered(hsv, RGB(90, 90, 90)), RGB(90, 90, 90));
    // Only the lightness or value table moves a grey; a saturation table
    // cannot give it a hue.
    FillChannelTable(hls.Table2, 10);
    FillChannelTable(hls.Table3, 50);
    EXPECT_EQ(Filtered(hls, RGB(90, 90, 90)), RGB(115, 115, 115));
    FillChannelTable(hsv.Table2, 50);
    FillChannelTable(hsv.Table3, -10);
    EXPECT_EQ(Filtered(hsv, RGB(90, 90, 90)), RGB(65, 65, 65));
}

TEST(ChannelFilters, HueTableInterpolatesAcrossTheWrap)
{
    THSVFilter hsv;
    // Hue 0 sits at position 128; entries 250 and 4 straddle the wrap.
    hsv.Table1[128] = 250;
    hsv.Table1[129] = 4;
    // Red lands exactly on 250: hue 250 * 360 / 256 - 180.
    EXPECT_EQ(Filtered(hsv, clRed), RGB(0, 255, 219));
    // A hue halfway between reads about 255 (hue 178.6), not 127 (hue 358).
    EXPECT_EQ(Filtered(hsv, RGB(255, 3, 0)), RGB(0, 255, 249));
}

TEST(ChannelFilters, HLSSaturationAndPalette)
{
    THLSFilter hls;
    FillChannelTable(hls.Table3, -100);
    EXPECT_EQ(Filtered(hls, RGB(200, 50, 50)), RGB(125, 125, 125));
    // On a palette image the entries change, not the indices.
    TPixelGraphic g;
    g.SetDimensions(2, 1, pf8Bit);
    g.SetPaletteSize(2);
    g.SetPaletteEntry(0, RGB(200, 50, 50));
    g.SetPaletteEntry(1, clBlack);
    g.SetPixel(0, 0, 1);
    g.ApplyFilter(hls, g);
    EXPECT_EQ(g.GetPaletteEntry(0), RGB(125, 125, 125));
    EXPECT_EQ(g.GetPixel(0, 0), 1u);
}

} // namespace
} // namespace lumeno

namespace lumeno {
namespace {

// Runs remember computed colours; a later run with other tables must not
// reuse them.
TEST(ChannelFilters, NewTablesBetweenRunsTakeEffect)
{
    TPixelGraphic source, target;
    MakeImage(source, 3, {RGB(200, 40, 40), RGB(10, 120, 200), RGB(200, 40, 40)});
    THSVFilter hsv;
    FillHueTable(hsv.Table1, 90);
    target.ApplyFilter(hsv, source);
    const std::vector<TColor> first = Colors(target);
    FillHueTable(hsv.Table1, -90);
    target.ApplyFilter(hsv, source);
    EXPECT_NE(Colors(target), first);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(target.GetPixelColor(x, 0), hsv.FilterColor(source.GetPixelColor(x, 0)));
}

} // namespace
} // namespace lumeno

namespace lumeno {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr std::uint32_t EveryColourStep = 257; // the sanitizers' build is far slower
#else
constexpr std::uint32_t EveryColourStep = 1;
#endif

// The filter's fast path must give exactly the extended-precision result.
void ExpectHSVEqualsExtended(THSVFilter& Filter, std::uint32_t Step)
{
    int wrong = 0;
    for (std::uint32_t c = 0; c < (1u << 24) && wrong < 5; c += Step) {
        const std::uint8_t bgr[3] = {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                     static_cast<std::uint8_t>(c)};
        std::uint8_t expected[3];
        MapHSVExtended(Filter, bgr, expected);
        const TColor got = Filter.FilterColor(RGB(bgr[2], bgr[1], bgr[0]));
        if (got != RGB(expected[2], expected[1], expected[0])) {
            ADD_FAILURE() << "colour " << std::hex << c;
            ++wrong;
        }
    }
}

TEST(ChannelFilters, HSVEqualsExtendedPrecisionOverTheColourCube)
{
    std::mt19937 random(7);
    THSVFilter shifted, noisy;
    FillHueTable(shifted.Table1, 30);
    FillChannelTable(shifted.Table2, 10);
    FillChannelTable(shifted.Table3, -5);
    for (int i = 0; i < 256; ++i) {
        noisy.Table1[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(random());
        noisy.Table2[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(random());
        noisy.Table3[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(random());
    }
    ExpectHSVEqualsExtended(shifted, 3 * EveryColourStep);
    ExpectHSVEqualsExtended(noisy, EveryColourStep);
}

TEST(ChannelFilters, HSVEqualsExtendedPrecisionAtTheJumps)
{
    // Saturation mapped to 0 over a stretch, hues folded across the wrap,
    // and the identity, whose hues sit on table knots.
    THSVFilter desaturating, folding, identity;
    FillChannelTable(desaturating.Table2, -40);
    for (int i = 0; i < 256; ++i) {
        folding.Table1[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(255 - i);
        folding.Table3[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i / 2 * 2);
    }
    ExpectHSVEqualsExtended(desaturating, 7 * EveryColourStep);
    ExpectHSVEqualsExtended(folding, 7 * EveryColourStep);
    ExpectHSVEqualsExtended(identity, 7 * EveryColourStep);
}

} // namespace
} // namespace lumeno
