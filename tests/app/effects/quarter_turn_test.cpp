#include "app/effects/quarter_turn.h"
#include "effects_support.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

// Every pixel a value the format can hold, from its place.
void Fill(TPixelGraphic& g, int w, int h, std::uint8_t format)
{
    g.SetDimensions(w, h, format);
    const unsigned mask = format == pf1Bit   ? 1u
                          : format == pf4Bit ? 15u
                          : format == pf8Bit ? 255u
                                             : 0xFFFFFFu;
    if (format != pf24Bit) {
        g.SetPaletteSize(static_cast<int>(mask + 1));
        for (unsigned i = 0; i <= mask; ++i)
            g.SetPaletteEntry(static_cast<int>(i), RGB(i, 255 - i, (i * 7) & 255));
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g.SetPixel(x, y, static_cast<std::uint32_t>(x * 131 + y * 17 + x * y) & mask);
}

TEST(QuarterTurn, EveryPixelMovesExactlyInEveryFormat)
{
    for (const std::uint8_t format : {pf1Bit, pf4Bit, pf8Bit, pf24Bit})
        for (const auto& [w, h] : std::vector<std::pair<int, int>>{{7, 4}, {4, 7}, {8, 6}, {5, 5}, {67, 130}})
            for (const int quarters : {0, 1, 2, 3, 5, -1}) {
                TPixelGraphic src, dst;
                Fill(src, w, h, format);
                TurnQuarters(dst, src, quarters);
                const int q = ((quarters % 4) + 4) % 4;
                ASSERT_EQ(dst.GetPixelFormat(), format);
                ASSERT_EQ(dst.GetWidth(), q % 2 ? h : w);
                ASSERT_EQ(dst.GetHeight(), q % 2 ? w : h);
                ASSERT_EQ(dst.GetPaletteSize(), src.GetPaletteSize());
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const int tx = q == 0 ? x : q == 1 ? h - 1 - y : q == 2 ? w - 1 - x : y;
                        const int ty = q == 0 ? y : q == 1 ? x : q == 2 ? h - 1 - y : w - 1 - x;
                        ASSERT_EQ(dst.GetPixel(tx, ty), src.GetPixel(x, y))
                            << int(format) << " " << w << "x" << h << " q" << quarters << " at " << x << ","
                            << y;
                    }
                ASSERT_EQ(dst.GetPixelColor(0, 0), src.GetPixelColor(q == 0   ? 0
                                                                     : q == 1 ? 0
                                                                     : q == 2 ? w - 1
                                                                              : w - 1,
                                                                     q == 0   ? 0
                                                                     : q == 1 ? h - 1
                                                                     : q == 2 ? h - 1
                                                                              : 0));
            }
}

TEST(QuarterTurn, TurnsInPlace)
{
    TPixelGraphic g;
    test::Paint(g, 3, 2, test::Pattern);
    TurnQuarters(g, g, 1);
    ASSERT_EQ(g.GetWidth(), 2);
    EXPECT_EQ(g.GetPixelColor(1, 0), test::Pattern(0, 0));
    EXPECT_EQ(g.GetPixelColor(0, 2), test::Pattern(2, 1));
}

} // namespace
} // namespace lumeno
