#include "imagelib/color_quantizer.h"
#include "imagelib/octree_quantizer.h"
#include "imagelib/palettes.h"
#include "imagelib/pixel_graphic.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumeno {
namespace {

std::vector<TColor> PaletteOf(TPixelGraphic& g)
{
    std::vector<TColor> out;
    for (int i = 0; i < g.GetPaletteSize(); ++i)
        out.push_back(g.GetPaletteEntry(i));
    return out;
}

// A 24-bit image whose pixels are the given colours, one row.
void FillRow(TPixelGraphic& g, const std::vector<TColor>& colors)
{
    g.SetDimensions(static_cast<int>(colors.size()), 1, pf24Bit);
    for (std::size_t x = 0; x < colors.size(); ++x)
        g.SetPixelColor(static_cast<int>(x), 0, colors[x]);
}

TEST(BoxSplitting, TwoColoursBecomeTheirCellCentres)
{
    TPixelGraphic source, target;
    FillRow(source, {RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 0, 0)});
    target.SetDimensions(1, 1, pf8Bit);
    target.ReduceColors(source, 2, false);
    // Red and blue spread equally; red wins the tie over blue and keeps the
    // lower half, which holds blue.
    EXPECT_EQ(PaletteOf(target), (std::vector<TColor>{RGB(4, 2, 252), RGB(252, 2, 4)}));
    EXPECT_EQ(target.GetPaletteType(), pUnknown);
}

TEST(BoxSplitting, CellCountsWeightTheMean)
{
    TPixelGraphic source, target;
    FillRow(source, {RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(8, 0, 0)});
    target.ReduceColors(source, 1, false);
    EXPECT_EQ(PaletteOf(target), std::vector<TColor>{RGB(6, 2, 4)});
}

TEST(BoxSplitting, StopsWhenNoBoxCanBeSplit)
{
    TPixelGraphic source, target;
    FillRow(source, {RGB(0, 0, 0), RGB(255, 255, 255)});
    target.ReduceColors(source, 3, false);
    EXPECT_EQ(PaletteOf(target), (std::vector<TColor>{RGB(4, 2, 4), RGB(252, 254, 252)}));
}

TEST(BoxSplitting, TenCellsPlusSystemColours)
{
    TPixelGraphic source, target;
    std::vector<TColor> colors;
    for (int i = 0; i < 10; ++i)
        colors.push_back(RGB(i * 24, 255 - i * 20, i * 8 + 40));
    FillRow(source, colors);
    target.ReduceColors(source, 252, true);
    ASSERT_EQ(target.GetPaletteSize(), 26);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(target.GetPaletteEntry(10 + i), Sys16Colors[static_cast<std::size_t>(i)]) << i;
}

TEST(BoxSplitting, PhotographGets236ComputedEntriesThenSystemColours)
{
    TPixelGraphic source, target;
    source.SetDimensions(128, 64, pf24Bit);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            source.SetPixelColor(x, y, RGB(x * 2, y * 4, (x * y) % 256));
    target.ReduceColors(source, 252, true);
    ASSERT_EQ(target.GetPaletteSize(), 252);
    EXPECT_EQ(target.GetPaletteEntry(236), Sys16Colors[0]);
    EXPECT_EQ(target.GetPaletteEntry(251), Sys16Colors[15]);
}

TEST(BoxSplitting, ColourCountIsClampedTo256)
{
    TPixelGraphic source, target;
    source.SetDimensions(256, 256, pf24Bit);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            source.SetPixelColor(x, y, RGB(x, y, (x + y) & 255));
    target.ReduceColors(source, 100000, false);
    EXPECT_EQ(target.GetPaletteSize(), 256);
    target.ReduceColors(source, 300, true);
    EXPECT_EQ(target.GetPaletteSize(), 256);
    target.ReduceColors(source, -5, false);
    EXPECT_EQ(target.GetPaletteSize(), 0);
}

TEST(BoxSplitting, TooFewColoursForOwnEntriesGiveTheSystemPalette)
{
    TPixelGraphic source, target;
    FillRow(source, {RGB(10, 20, 30)});
    target.ReduceColors(source, 16, true);
    EXPECT_EQ(target.GetPaletteType(), pSys16);
    EXPECT_EQ(target.GetPaletteSize(), 16);
    TPixelGraphic empty;
    target.ReduceColors(empty, 8, false);
    EXPECT_EQ(target.GetPaletteSize(), 8);
}

TEST(BoxSplitting, CountersSaturate)
{
    TColorQuantizer q;
    const std::vector<std::uint8_t> row(70000 * 3, 200);
    q.AddRow(row.data(), 70000);
    EXPECT_EQ(q.Count(TColorQuantizer::Cell(200, 200, 200)), 65535);
}

// More than 2^32 / 252 counted pixels: the weighted sums need 64 bits.
TEST(BoxSplitting, LargeCountsKeepTheMean)
{
    TColorQuantizer q;
    std::vector<std::uint8_t> row(65535 * 3);
    for (int g = 0; g < 10; ++g)
        for (int b = 0; b < 32; ++b) {
            for (std::size_t i = 0; i < row.size(); i += 3) {
                row[i] = static_cast<std::uint8_t>(b * 8);
                row[i + 1] = static_cast<std::uint8_t>(g * 4);
                row[i + 2] = 255;
            }
            q.AddRow(row.data(), 65535);
        }
    EXPECT_EQ(q.Palette(1), std::vector<TColor>{RGB(252, 20, 128)});
}

TEST(BoxSplitting, AbortDuringCountingUsesWhatWasCounted)
{
    TPixelGraphic source, target;
    source.SetDimensions(2, 3, pf24Bit);
    for (int x = 0; x < 2; ++x) {
        source.SetPixelColor(x, 0, clRed);
        source.SetPixelColor(x, 1, clBlue);
        source.SetPixelColor(x, 2, clLime);
    }
    std::vector<int> steps;
    target.SetOnProgress([&](TObject*, int Step, int Max, bool& Abort) {
        steps.push_back(Step);
        EXPECT_EQ(Max, 2);
        Abort = Step == 0;
    });
    target.ReduceColors(source, 8, false);
    EXPECT_EQ(steps, std::vector<int>{0});
    EXPECT_EQ(PaletteOf(target), std::vector<TColor>{RGB(252, 2, 4)});
}

// An 8-bit picture with the given palette and pixel values.
void MakeIndexed(TPixelGraphic& g, const std::vector<TColor>& palette, const std::vector<int>& pixels)
{
    g.SetDimensions(static_cast<int>(pixels.size()), 1, pf8Bit);
    g.SetPaletteSize(static_cast<int>(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i)
        g.SetPaletteEntry(static_cast<int>(i), palette[i]);
    for (std::size_t x = 0; x < pixels.size(); ++x)
        g.SetPixel(static_cast<int>(x), 0, static_cast<std::uint32_t>(pixels[x]));
}

TEST(Octree, KeepsTheColoursInUse)
{
    std::vector<TColor> palette(256, clBlack);
    palette[3] = RGB(200, 10, 10);
    palette[7] = RGB(10, 200, 10);
    palette[9] = RGB(10, 10, 200);
    TPixelGraphic source, target;
    MakeIndexed(source, palette, {3, 7, 9, 9, 3});
    target.ReduceColors(source, 8, false);
    // Depth first, children by their colour bits: green (010), blue (001)
    // sort under the root before red (100).
    EXPECT_EQ(PaletteOf(target), (std::vector<TColor>{RGB(10, 10, 200), RGB(10, 200, 10), RGB(200, 10, 10)}));
}

TEST(Octree, MergedLeavesAverageByPixelCount)
{
    TPixelGraphic source, target;
    MakeIndexed(source, {RGB(0, 0, 0), RGB(4, 0, 0)}, {0, 0, 0, 1});
    target.ReduceColors(source, 1, false);
    EXPECT_EQ(PaletteOf(target), std::vector<TColor>{RGB(1, 0, 0)});
}

TEST(Octree, MergesTheDeepestBranchFirst)
{
    // Black and (0,0,1) part deepest; merging them leaves three colours.
    TPixelGraphic source, target;
    MakeIndexed(source, {RGB(0, 0, 0), RGB(4, 0, 0), RGB(0, 0, 4), RGB(0, 0, 1)}, {0, 0, 0, 1, 2, 2, 3, 3});
    target.ReduceColors(source, 3, false);
    EXPECT_EQ(PaletteOf(target), (std::vector<TColor>{RGB(0, 0, 0), RGB(0, 0, 4), RGB(4, 0, 0)}));
}

// Reducing a palette picture once merged the root and collapsed to one colour.
TEST(Octree, GivesTheAskedForCount)
{
    std::vector<int> all16(16);
    for (int i = 0; i < 16; ++i)
        all16[static_cast<std::size_t>(i)] = i;
    const std::vector<TColor> sys16(Sys16Colors.begin(), Sys16Colors.end());
    for (int n : {8, 4, 2}) {
        TPixelGraphic source, target;
        MakeIndexed(source, sys16, all16);
        target.ReduceColors(source, n, false);
        EXPECT_EQ(target.GetPaletteSize(), n) << n;
    }
    TPixelGraphic source, target;
    MakeIndexed(source, {clBlack, clWhite, clRed}, {0, 1, 2});
    target.ReduceColors(source, 2, false);
    EXPECT_EQ(target.GetPaletteSize(), 2);
    // Black and red are closer than either is to white.
    EXPECT_EQ(target.GetPaletteEntry(1), clWhite);
}

TEST(Octree, ScatteredPaletteGivesAsManyColoursAsATrueColourSource)
{
    std::vector<TColor> palette;
    std::vector<int> pixels;
    for (int i = 0; i < 256; ++i) {
        palette.push_back(RGB(i, (i * 37) & 255, (i * 91) & 255));
        pixels.push_back(i);
    }
    TPixelGraphic indexed, trueColour, fromIndexed, fromTrueColour;
    MakeIndexed(indexed, palette, pixels);
    FillRow(trueColour, palette);
    fromIndexed.ReduceColors(indexed, 8, false);
    fromTrueColour.ReduceColors(trueColour, 8, false);
    EXPECT_EQ(fromIndexed.GetPaletteSize(), 8);
    EXPECT_EQ(fromTrueColour.GetPaletteSize(), 8);
}

TEST(Octree, ReducingAPaletteImageIntoItself)
{
    TPixelGraphic g;
    MakeIndexed(g, {RGB(1, 2, 3), RGB(40, 50, 60), RGB(200, 100, 0)}, {0, 1, 2, 2});
    g.ReduceColors(g, 252, true);
    ASSERT_EQ(g.GetPaletteSize(), 19);
    EXPECT_EQ(g.GetPaletteEntry(0), RGB(1, 2, 3));
    EXPECT_EQ(g.GetPaletteEntry(3), Sys16Colors[0]);
}

TEST(Octree, PixelValuesBeyondThePaletteAreIgnored)
{
    TPixelGraphic source, target;
    MakeIndexed(source, {RGB(9, 9, 9)}, {0, 200});
    target.ReduceColors(source, 4, false);
    EXPECT_EQ(PaletteOf(target), std::vector<TColor>{RGB(9, 9, 9)});
}

TEST(Octree, CountsBeyond32BitsKeepTheMean)
{
    TOctreeQuantizer tree(1);
    tree.AddColor(RGB(0, 0, 0), 3000000000ULL);
    tree.AddColor(RGB(4, 0, 0), 1000000000ULL);
    EXPECT_EQ(tree.Palette(), std::vector<TColor>{RGB(1, 0, 0)});
}

TEST(Octree, ManyColoursStayWithinTheLimit)
{
    TOctreeQuantizer tree(16);
    for (int i = 0; i < 256; ++i)
        tree.AddColor(RGB(i, (i * 37) & 255, (i * 91) & 255), static_cast<std::uint64_t>(i + 1) * 1000000000ULL);
    const std::vector<TColor> palette = tree.Palette();
    EXPECT_EQ(palette.size(), 16u);
    EXPECT_EQ(static_cast<int>(palette.size()), tree.LeafCount());
}

} // namespace
} // namespace lumeno
