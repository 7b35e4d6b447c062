#include "imagelib/palettes.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pixel_graphic.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace lumeno {
namespace {

TColor Grey(int v)
{
    return RGB(v, v, v);
}

// A 4- or 8-bit image holding a standard palette.
struct TPaletteImage : TPixelGraphic {
    explicit TPaletteImage(TPaletteIdent p, std::uint8_t format = pf8Bit)
    {
        SetDimensions(2, 2, format);
        SetPaletteType(p);
    }
};

TEST(Palettes, StandardTables)
{
    EXPECT_EQ(StandardPaletteEntry(pSysGray4, 1), Grey(128));
    EXPECT_EQ(StandardPaletteEntry(pGray4, 1), Grey(85));
    EXPECT_EQ(StandardPaletteEntry(pGray16, 15), Grey(255));
    EXPECT_EQ(StandardPaletteEntry(pGray236, 1), Grey(1));
    EXPECT_EQ(StandardPaletteEntry(pGray236, 118), Grey(128));
    EXPECT_EQ(StandardPaletteEntry(pGray236, 235), Grey(255));
    EXPECT_EQ(StandardPaletteEntry(pSpecial125, 3 * 25 + 1 * 5 + 4), RGB(192, 64, 255));
    EXPECT_EQ(StandardPaletteEntry(pSpecial216, 215), RGB(255, 255, 255));
    EXPECT_EQ(StandardPaletteEntry(pSpecial216, 1 * 36 + 2 * 6 + 3), RGB(51, 102, 153));

    const auto& t = Special252Colors();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(t[static_cast<std::size_t>(i)], Sys16Colors[static_cast<std::size_t>(i)]);
    EXPECT_EQ(t[16], RGB(0, 0, 64));
    EXPECT_EQ(t[17], RGB(0, 0, 192));
    EXPECT_EQ(t[18], RGB(0, 64, 0));
    EXPECT_EQ(t[19], RGB(0, 64, 64));
    EXPECT_EQ(t[124], RGB(255, 255, 192));
    EXPECT_EQ(t[125], RGB(32, 32, 32));
    EXPECT_EQ(t[251], RGB(224, 96, 192));
    EXPECT_EQ(std::set<TColor>(t.begin(), t.end()).size(), 252u);
}

TEST(Palettes, SetPaletteTypeLoadsAndEntryWriteMakesItUnknown)
{
    TPaletteImage g(pSys16, pf4Bit);
    ASSERT_EQ(g.GetPaletteSize(), 16);
    EXPECT_EQ(g.GetPaletteType(), pSys16);
    EXPECT_EQ(g.GetPaletteEntry(1), RGB(128, 0, 0));
    EXPECT_EQ(g.GetPaletteEntry(7), RGB(192, 192, 192));
    EXPECT_EQ(g.GetPaletteEntry(8), RGB(128, 128, 128));
    g.SetPaletteEntry(3, g.GetPaletteEntry(3));
    EXPECT_EQ(g.GetPaletteType(), pUnknown);
    g.DetectPaletteType();
    EXPECT_EQ(g.GetPaletteType(), pSys16);

    // More entries than a 4-bit image addresses stay in the palette.
    g.SetPaletteType(pSpecial252);
    EXPECT_EQ(g.GetPaletteSize(), 252);
    EXPECT_EQ(g.GetColorTable()[15], 0xFFFFFFu);
}

TEST(Palettes, ArithmeticLookupEdges)
{
    const struct {
        TPaletteIdent p;
        int white;
    } cases[] = {{pBlackWhite, 1}, {pSysGray4, 3},     {pGray4, 3},        {pGray16, 15}, {pGray236, 235},
                 {pGray256, 255},  {pSpecial125, 124}, {pSpecial216, 215}, {pSys16, 15},  {pSpecial252, 15}};
    for (const auto& c : cases) {
        TPaletteImage g(c.p);
        EXPECT_EQ(g.ColorToIndex(clWhite), static_cast<std::uint32_t>(c.white)) << int(c.p);
        EXPECT_EQ(g.ColorToIndex(clBlack), 0u) << int(c.p);
    }
    // Weighted grey 128 has brightness 384.
    EXPECT_EQ(TPaletteImage(pBlackWhite).ColorToIndex(Grey(128)), 1u);
    EXPECT_EQ(TPaletteImage(pBlackWhite).ColorToIndex(Grey(127)), 0u);
    EXPECT_EQ(TPaletteImage(pSysGray4).ColorToIndex(Grey(128)), 1u);
    EXPECT_EQ(TPaletteImage(pGray4).ColorToIndex(Grey(42)), 0u);
    EXPECT_EQ(TPaletteImage(pGray4).ColorToIndex(Grey(43)), 1u);

    TPaletteImage c125(pSpecial125);
    EXPECT_EQ(c125.ColorToIndex(RGB(224, 0, 0)), 100u);
    EXPECT_EQ(c125.ColorToIndex(RGB(223, 0, 0)), 75u);
    EXPECT_EQ(c125.ColorToIndex(RGB(0, 0, 224)), 4u);
    TPaletteImage c216(pSpecial216);
    EXPECT_EQ(c216.ColorToIndex(RGB(26, 0, 0)), 0u);
    EXPECT_EQ(c216.ColorToIndex(RGB(27, 0, 0)), 36u);

    // Unweighted brightness is the plain sum.
    TPaletteImage bw(pBlackWhite);
    bw.SetRGBWeighting(false);
    EXPECT_EQ(bw.ColorToIndex(RGB(0, 128, 255)), 1u); // 383
    bw.SetRGBWeighting(true);
    EXPECT_EQ(bw.ColorToIndex(RGB(0, 128, 255)), 0u); // 312
}

TEST(Palettes, Gray236TakesTheNearestGrey)
{
    TPaletteImage g(pGray236);
    for (int v = 0; v < 256; ++v) {
        int best = 0;
        for (int i = 1; i < 236; ++i)
            if (std::abs(int(GetRValue(StandardPaletteEntry(pGray236, i))) - v) <
                std::abs(int(GetRValue(StandardPaletteEntry(pGray236, best))) - v))
                best = i;
        EXPECT_EQ(g.ColorToIndex(Grey(v)), static_cast<std::uint32_t>(best)) << v;
    }
}

TEST(Palettes, Sys16FollowsItsCandidateTable)
{
    TPaletteImage g(pSys16, pf4Bit);
    EXPECT_EQ(g.ColorToIndex(RGB(200, 200, 200)), 7u);  // cell 333: 7 beats 15
    EXPECT_EQ(g.ColorToIndex(RGB(250, 250, 250)), 15u); // 15 is strictly nearer
    EXPECT_EQ(g.ColorToIndex(RGB(255, 10, 10)), 9u);
    EXPECT_EQ(g.ColorToIndex(RGB(100, 100, 100)), 8u);
    EXPECT_EQ(g.ColorToIndex(RGB(0, 130, 200)), 6u); // cell 023: 6/14/14
    EXPECT_EQ(g.ColorToIndex(RGB(0, 250, 250)), 14u);
}

// The 252-colour lookup must agree with an exhaustive search (ties to the
// lowest index) for every colour, cell borders included.
TEST(Palettes, Special252CandidatesAreComplete)
{
    std::vector<int> values;
    for (int v = 0; v < 256; v += 7)
        values.push_back(v);
    for (int k = 1; k <= 8; ++k) {
        values.push_back(k * 32 - 17);
        values.push_back(k * 32 - 16);
    }
    values.push_back(255);
    TPaletteImage g(pSpecial252);
    const auto& pal = Special252Colors();
    for (int r : values)
        for (int gr : values)
            for (int b : values) {
                const TColor c = RGB(r, gr, b);
                int best = 0;
                for (int i = 1; i < 252; ++i)
                    if (ColorDistance(c, pal[static_cast<std::size_t>(i)]) <
                        ColorDistance(c, pal[static_cast<std::size_t>(best)]))
                        best = i;
                ASSERT_EQ(g.ColorToIndex(c), static_cast<std::uint32_t>(best)) << r << "," << gr << "," << b;
            }
    int total = 0;
    for (int cell = 0; cell < Special252CellCount; ++cell) {
        const TSpecial252Cell list = Special252CellCandidates(cell);
        ASSERT_GT(list.Count, 0);
        for (int i = 1; i < list.Count; ++i)
            ASSERT_LT(list.Entries[i - 1], list.Entries[i]);
        total += list.Count;
    }
    EXPECT_LT(total, 729 * 20); // small lists, not the whole palette
}

TEST(Palettes, UnknownPaletteCacheSeedsAroundEntries)
{
    TPixelGraphic g;
    g.SetDimensions(1, 1, pf8Bit);
    g.SetPaletteSize(2);
    g.SetPaletteEntry(0, RGB(0, 0, 0));
    g.SetPaletteEntry(1, RGB(16, 0, 0));
    // Red cell 1 lies one cell from both entries; the earlier entry claims it.
    EXPECT_EQ(g.ColorToIndex(RGB(15, 0, 0)), 0u);
    g.SetColorLookupCache(false);
    EXPECT_EQ(g.ColorToIndex(RGB(15, 0, 0)), 1u);
}

TEST(Palettes, UnknownPaletteCacheKeepsTheFirstAnswerOfAFarCell)
{
    TPixelGraphic g;
    g.SetDimensions(1, 1, pf8Bit);
    g.SetPaletteSize(2);
    g.SetPaletteEntry(0, clBlack);
    g.SetPaletteEntry(1, clWhite);
    ASSERT_EQ(g.GetPaletteType(), pUnknown);
    EXPECT_EQ(g.ColorToIndex(RGB(120, 128, 128)), 0u);
    EXPECT_EQ(g.ColorToIndex(RGB(127, 131, 135)), 0u); // same cell, exact answer would be 1
    g.SetColorLookupCache(false);
    EXPECT_EQ(g.ColorToIndex(RGB(127, 131, 135)), 1u);
    g.SetColorLookupCache(true);
    // A palette change drops the cache.
    g.SetPaletteEntry(0, RGB(0, 0, 1));
    EXPECT_EQ(g.ColorToIndex(RGB(127, 131, 135)), 1u);
}

TEST(Palettes, OneEntryCacheGoesStaleOnChanges)
{
    TPaletteImage g(pGray256);
    EXPECT_EQ(g.ColorToIndex(RGB(255, 0, 0)), 76u); // weighted: 299*255*3/1000 = 228
    g.SetRGBWeighting(false);
    EXPECT_EQ(g.ColorToIndex(RGB(255, 0, 0)), 85u);
    g.SetPaletteType(pBlackWhite);
    EXPECT_EQ(g.ColorToIndex(RGB(255, 0, 0)), 0u);
}

TEST(Palettes, MisuseIsRefused)
{
    TPixelGraphic g; // 24-bit
    EXPECT_EQ(g.GetPaletteEntry(5), 5u);
    EXPECT_EQ(g.ColorToIndex(RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_THROW(g.SetPaletteEntry(0, clRed), EPGNoPalette);

    g.SetDimensions(2, 2, pf8Bit);
    g.SetPaletteType(pNone);
    EXPECT_THROW(g.ColorToIndex(clRed), EPGNoPalette);
    g.SetPaletteType(pUnknown);
    EXPECT_THROW(g.ColorToIndex(clRed), EPGNoPalette);

    g.SetPaletteType(pGray16);
    EXPECT_THROW(g.GetPaletteEntry(16), EPGInvalidPaletteIndex);
    EXPECT_THROW(g.GetPaletteEntry(-1), EPGInvalidPaletteIndex);
    EXPECT_THROW(g.SetPaletteEntry(16, clRed), EPGInvalidPaletteIndex);
    try {
        g.SetPaletteSize(257);
        FAIL();
    } catch (const EPixelGraphic& e) {
        EXPECT_STREQ(e.what(), "Invalid value for PaletteSize");
    }
    EXPECT_THROW(g.SetPaletteSize(-1), EPixelGraphic);
    EXPECT_EQ(g.GetPaletteSize(), 16);
    EXPECT_THROW(g.SetPaletteType(pOptimized252Sys16), EPixelGraphic);
    EXPECT_THROW(g.SetPaletteType(pSource), EPixelGraphic);
    EXPECT_EQ(g.GetPaletteType(), pGray16);
}

TEST(Palettes, DetectPaletteTypeOrder)
{
    const TPaletteIdent all[] = {pBlackWhite, pSysGray4, pSys16,      pGray4,      pGray16,
                                 pGray236,    pGray256,  pSpecial125, pSpecial216, pSpecial252};
    for (TPaletteIdent p : all) {
        TPaletteImage g(p);
        g.SetPaletteEntry(0, g.GetPaletteEntry(0)); // now pUnknown
        g.DetectPaletteType();
        EXPECT_EQ(g.GetPaletteType(), p);
        EXPECT_EQ(g.GetIsGrayPalette(), p != pSys16 && p < pSpecial125) << int(p);
    }
    TPixelGraphic g;
    g.SetDimensions(1, 1, pf8Bit);
    g.SetPaletteSize(3);
    g.DetectPaletteType();
    EXPECT_EQ(g.GetPaletteType(), pUnknown);
    EXPECT_TRUE(g.GetIsGrayPalette());
    g.SetPaletteSize(0);
    g.DetectPaletteType();
    EXPECT_EQ(g.GetPaletteType(), pNone);
    g.SetPixelFormat(pf24Bit);
    g.DetectPaletteType();
    EXPECT_EQ(g.GetPaletteType(), pTrueColor);
    EXPECT_FALSE(g.GetIsGrayPalette());
}

} // namespace
} // namespace lumeno
