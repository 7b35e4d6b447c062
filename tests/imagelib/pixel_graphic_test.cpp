#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace lumeno {
namespace {

struct TCountedGraphic : TPixelGraphic {
    int Changes = 0;
    TCountedGraphic()
    {
        SetOnChange([this](TObject*) { ++Changes; });
    }
};

std::vector<std::uint8_t> PixelBytes(TPixelGraphic& g)
{
    return {g.GetBits(), g.GetBits() + g.GetImageSize()};
}

TEST(PixelGraphic, DefaultsOfANewImage)
{
    TPixelGraphic g;
    EXPECT_TRUE(g.GetEmpty());
    EXPECT_EQ(g.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(g.GetPaletteType(), pTrueColor);
    EXPECT_EQ(g.GetGamma(), DefaultGamma);
    EXPECT_TRUE(g.GetDither());
    EXPECT_EQ(g.GetDitherErrorLimit(), 32);
    EXPECT_EQ(g.GetStretchMode(), smPrecise);
    EXPECT_EQ(g.GetReadWarningAction(), pgwaOKCancelBox);
    EXPECT_EQ(g.GetScanLine(0), nullptr);
}

TEST(PixelGraphic, StrideAndRowsAtEveryDepth)
{
    const struct {
        std::uint8_t format;
        int bits;
    } formats[] = {{pf1Bit, 1}, {pf4Bit, 4}, {pf8Bit, 8}, {pf24Bit, 24}};
    for (const auto& f : formats)
        for (int w : {1, 7, 8, 9, 31, 32, 33, 100}) {
            TPixelGraphic g;
            g.SetDimensions(w, 3, f.format);
            const int stride = (f.bits * w + 31) / 32 * 4;
            EXPECT_EQ(g.GetStride(), stride) << f.bits << " " << w;
            EXPECT_EQ(g.GetImageSize(), stride * 3);
            EXPECT_EQ(g.GetBitsPerPixel(), f.bits);
            // Bottom-up rows.
            EXPECT_EQ(g.GetScanLine(2), g.GetBits());
            EXPECT_EQ(g.GetScanLine(0), g.GetBits() + 2 * stride);
            EXPECT_EQ(g.GetScanLine(3), nullptr);
            EXPECT_EQ(g.GetScanLine(-1), nullptr);
        }
}

TEST(PixelGraphic, PixelPackingAtEveryDepth)
{
    TPixelGraphic g1;
    g1.SetDimensions(10, 2, pf1Bit);
    g1.SetPixel(0, 0, 1);
    g1.SetPixel(9, 0, 1);
    g1.SetPixel(3, 1, 1);
    EXPECT_EQ(g1.GetScanLine(0)[0], 0x80);
    EXPECT_EQ(g1.GetScanLine(0)[1], 0x40);
    EXPECT_EQ(g1.GetScanLine(1)[0], 0x10);
    EXPECT_EQ(g1.GetPixel(9, 0), 1u);
    g1.SetPixel(9, 0, 2); // anything but 1 clears
    EXPECT_EQ(g1.GetPixel(9, 0), 0u);

    TPixelGraphic g4;
    g4.SetDimensions(3, 1, pf4Bit);
    g4.SetPixel(0, 0, 0xAB);
    g4.SetPixel(1, 0, 5);
    g4.SetPixel(2, 0, 0xF);
    EXPECT_EQ(g4.GetScanLine(0)[0], 0xB5);
    EXPECT_EQ(g4.GetScanLine(0)[1], 0xF0);
    EXPECT_EQ(g4.GetPixel(0, 0), 0xBu);
    EXPECT_EQ(g4.GetPixel(1, 0), 5u);

    TPixelGraphic g8;
    g8.SetDimensions(3, 2, pf8Bit);
    g8.SetPixel(2, 1, 0x1FE);
    EXPECT_EQ(g8.GetBits()[2], 0xFE);

    TPixelGraphic g24;
    g24.SetDimensions(2, 2, pf24Bit);
    g24.SetPixel(1, 0, RGB(1, 2, 3));
    const std::uint8_t* row = g24.GetScanLine(0);
    EXPECT_EQ(row[3], 3);
    EXPECT_EQ(row[4], 2);
    EXPECT_EQ(row[5], 1);
    EXPECT_EQ(g24.GetPixel(1, 0), RGB(1, 2, 3));
    EXPECT_EQ(g24.GetPixelColor(1, 0), RGB(1, 2, 3));
}

TEST(PixelGraphic, OutsideReadsFillAndDropsWrites)
{
    TPixelGraphic g;
    g.SetDimensions(4, 4, pf24Bit);
    g.SetFillColor(clRed);
    EXPECT_EQ(g.GetPixel(-1, 0), clRed);
    EXPECT_EQ(g.GetPixel(0, 4), clRed);
    const auto before = PixelBytes(g);
    g.SetPixel(4, 0, clWhite);
    g.SetPixel(0, -1, clWhite);
    EXPECT_EQ(PixelBytes(g), before);

    TPixelGraphic p;
    p.SetDimensions(2, 2, pf8Bit);
    p.SetPaletteType(pGray256);
    p.SetFillColor(RGB(200, 200, 200));
    EXPECT_EQ(p.GetFillValue(), 200u);
    EXPECT_EQ(p.GetFillColor(), RGB(200, 200, 200));
    EXPECT_EQ(p.GetPixelColor(5, 5), RGB(200, 200, 200));
}

TEST(PixelGraphic, ValueBeyondPaletteReadsBlack)
{
    TPixelGraphic g;
    g.SetDimensions(2, 1, pf8Bit);
    g.SetPaletteSize(2);
    g.SetPaletteEntry(0, clRed);
    g.SetPixel(1, 0, 7);
    EXPECT_EQ(g.GetPixelColor(0, 0), clRed);
    EXPECT_EQ(g.GetPixelColor(1, 0), clBlack);
    // The display table shows such values as entry 0.
    EXPECT_EQ(g.GetColorTable()[7], 0xFF0000u);
}

TEST(PixelGraphic, SetDimensionsClearsOrReallocates)
{
    TCountedGraphic g;
    g.SetDimensions(3, 2, pf24Bit);
    g.SetPixel(1, 1, clWhite);
    g.SetFillColor(clBlue);
    g.Changes = 0;
    g.SetDimensions(3, 2, pf24Bit); // same values: cleared to the fill colour
    EXPECT_EQ(g.GetPixel(1, 1), clBlue);
    EXPECT_EQ(g.GetPixel(0, 0), clBlue);
    EXPECT_EQ(g.Changes, 1);
    g.SetDimensions(4, 2, pf24Bit); // any change: zero pixels
    EXPECT_EQ(g.GetPixel(1, 1), clBlack);

    g.Changes = 0;
    g.SetDimensions(0, 5, pf24Bit);
    EXPECT_TRUE(g.GetEmpty());
    EXPECT_EQ(g.GetScanLine(0), nullptr);
    EXPECT_EQ(g.GetHeight(), 5);
    EXPECT_EQ(g.Changes, 1);
    g.Clear(); // empty: left alone
    EXPECT_EQ(g.Changes, 1);
}

TEST(PixelGraphic, ClearFillsEveryDepth)
{
    for (std::uint8_t f : {pf1Bit, pf4Bit, pf8Bit}) {
        TPixelGraphic g;
        g.SetDimensions(13, 3, f);
        g.SetPaletteType(pBlackWhite);
        g.SetFillColor(clWhite);
        g.Clear();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(g.GetPixel(x, y), 1u) << int(f);
    }
    TPixelGraphic g;
    g.SetDimensions(5, 2, pf24Bit);
    g.SetFillColor(RGB(1, 2, 3));
    g.Clear();
    EXPECT_EQ(g.GetPixel(4, 1), RGB(1, 2, 3));
    EXPECT_EQ(g.GetScanLine(1)[15], 0); // row padding untouched
}

TEST(PixelGraphic, SizeAndFormatErrors)
{
    TPixelGraphic g;
    try {
        g.SetDimensions(-1, 5, pf8Bit);
        FAIL();
    } catch (const EPGInvalidSize& e) {
        EXPECT_STREQ(e.what(), "Negative width");
    }
    try {
        g.SetDimensions(5, -1, pf8Bit);
        FAIL();
    } catch (const EPGInvalidSize& e) {
        EXPECT_STREQ(e.what(), "Negative height");
    }
    EXPECT_EQ(TPixelGraphic::BitCountToPixelFormat(24), pf24Bit);
    EXPECT_EQ(TPixelGraphic::BitCountToPixelFormat(1), pf1Bit);
    try {
        TPixelGraphic::BitCountToPixelFormat(16);
        FAIL();
    } catch (const EPGInvalidBitCountNum& e) {
        EXPECT_STREQ(e.what(), "Invalid value for BitCountNum");
    }
}

TEST(PixelGraphic, PixelMemoryOf2GiBIsRefusedAndLeavesAnEmptyImage)
{
    const struct {
        int w, h;
        std::uint8_t f;
    } cases[] = {{65536, 32768, pf8Bit}, {50000, 50000, pf24Bit}, {2147483647, 10, pf1Bit}};
    for (const auto& c : cases) {
        TPixelGraphic g;
        g.SetDimensions(10, 10, pf8Bit);
        try {
            g.SetDimensions(c.w, c.h, c.f);
            FAIL();
        } catch (const EPixelGraphic& e) {
            EXPECT_STREQ(e.what(), "CreateDIBSection failed");
        }
        EXPECT_TRUE(g.GetEmpty());
        EXPECT_EQ(g.GetWidth(), 0);
        EXPECT_EQ(g.GetHeight(), 0);
        EXPECT_EQ(g.GetImageSize(), 0);
        EXPECT_EQ(g.GetPixel(0, 0), g.GetFillValue());
    }
}

TEST(PixelGraphic, FormatChangeTruncatesPalette)
{
    TPixelGraphic g;
    g.SetDimensions(2, 2, pf8Bit);
    g.SetPaletteType(pGray256);
    g.SetPixelFormat(pf4Bit);
    EXPECT_EQ(g.GetPaletteSize(), 16);
    EXPECT_EQ(g.GetPaletteType(), pUnknown);
    g.SetPixelFormat(pf24Bit);
    EXPECT_EQ(g.GetPaletteSize(), 0);
    EXPECT_EQ(g.GetPaletteType(), pTrueColor);
}

TEST(PixelGraphic, ColorResolutionClasses)
{
    TPixelGraphic g;
    g.SetDimensions(1, 1, pf1Bit);
    g.SetPaletteType(pBlackWhite);
    EXPECT_EQ(g.GetColorResolution(), 0);
    g.SetPaletteEntry(1, clRed);
    EXPECT_EQ(g.GetColorResolution(), 1);
    g.SetPixelFormat(pf4Bit);
    g.SetPaletteType(pGray16);
    EXPECT_EQ(g.GetColorResolution(), 2);
    g.SetPaletteType(pSys16);
    EXPECT_EQ(g.GetColorResolution(), 3);
    g.SetPaletteType(pGray4);
    EXPECT_EQ(g.GetColorResolution(), 4);
    g.SetPixelFormat(pf8Bit);
    g.SetPaletteType(pGray256);
    EXPECT_EQ(g.GetColorResolution(), 5);
    g.SetPaletteType(pSpecial216);
    EXPECT_EQ(g.GetColorResolution(), 6);
    g.SetPixelFormat(pf24Bit);
    EXPECT_EQ(g.GetColorResolution(), 7);
    EXPECT_EQ(TPixelGraphic::ColorResolutionText(7), "16.7 million colors");
    EXPECT_EQ(TPixelGraphic::ColorResolutionText(3), "16 system colors");
}

TEST(PixelGraphic, UpdatesNestAndNotifyOnce)
{
    TCountedGraphic g;
    g.BeginUpdate();
    g.BeginUpdate();
    g.SetDimensions(2, 2, pf24Bit);
    g.Clear();
    g.EndUpdate();
    EXPECT_EQ(g.Changes, 0);
    g.EndUpdate();
    EXPECT_EQ(g.Changes, 1);
}

TEST(PixelGraphic, AssignCopiesPixelsPaletteAndSettingsButNotEvents)
{
    TPixelGraphic src;
    src.SetDimensions(5, 3, pf4Bit);
    src.SetPaletteType(pSys16);
    src.SetPaletteEntry(2, RGB(1, 2, 3));
    src.SetPixel(4, 2, 2);
    src.SetFillColor(clRed);
    src.SetDither(false);
    src.SetStretchMode(smFast);
    src.SetGamma(2.2L);
    src.SetColorLookupCache(false);
    src.SetOnChange([](TObject*) {});

    TCountedGraphic g;
    g.Assign(&src);
    EXPECT_EQ(g.Changes, 1);
    EXPECT_EQ(PixelBytes(g), PixelBytes(src));
    EXPECT_EQ(g.GetPaletteSize(), 16);
    EXPECT_EQ(g.GetPaletteEntry(2), RGB(1, 2, 3));
    EXPECT_EQ(g.GetPaletteType(), pUnknown);
    EXPECT_EQ(g.GetPixelColor(4, 2), RGB(1, 2, 3));
    EXPECT_EQ(g.GetFillColor(), clRed);
    EXPECT_FALSE(g.GetDither());
    EXPECT_EQ(g.GetStretchMode(), smFast);
    EXPECT_EQ(g.GetGamma(), 2.2L);
    EXPECT_FALSE(g.GetColorLookupCache());
    EXPECT_FALSE(src.GetOnProgress());
    g.Assign(&g);
    EXPECT_EQ(g.GetPaletteEntry(2), RGB(1, 2, 3));

    g.Assign(nullptr);
    EXPECT_TRUE(g.GetEmpty());
    EXPECT_EQ(g.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(g.GetPaletteType(), pTrueColor);
    EXPECT_EQ(g.GetPaletteSize(), 0);
}

TEST(PixelGraphic, AssignPaletteDetectsTheType)
{
    TPixelGraphic src;
    src.SetDimensions(1, 1, pf8Bit);
    src.SetPaletteType(pGray16);
    TPixelGraphic g;
    g.SetDimensions(1, 1, pf8Bit);
    g.AssignPalette(src);
    EXPECT_EQ(g.GetPaletteSize(), 16);
    EXPECT_EQ(g.GetPaletteType(), pGray16);
}

} // namespace
} // namespace lumeno
