#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"
#include "support/le_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace lumeno {
namespace {

using Bytes = std::vector<std::uint8_t>;

using test::Put16;
using test::Put32;

Bytes InfoHeader(int w, int h, int bits, int compression = 0, std::uint32_t sizeImage = 0,
                 std::uint32_t clrUsed = 0)
{
    Bytes b;
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h);
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, compression);
    Put32(b, sizeImage);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, clrUsed);
    Put32(b, 0);
    return b;
}

void Append(Bytes& a, const Bytes& b) { a.insert(a.end(), b.begin(), b.end()); }

Bytes SaveDIB(TPixelGraphic& g)
{
    TMemoryStream s;
    g.SaveToDIBStream(s);
    return s.Data();
}

void LoadDIB(TPixelGraphic& g, const Bytes& bytes, bool core = false)
{
    TMemoryStream s(bytes);
    g.LoadFromDIBStream(s, core);
}

std::string LoadError(const Bytes& bytes)
{
    TPixelGraphic g;
    try {
        LoadDIB(g, bytes);
    } catch (const EPGBMPFileFormatReader& e) {
        return e.what();
    }
    return "no error";
}

TEST(PixelGraphicDIB, ExactBytesOfA1BitImage)
{
    TPixelGraphic g;
    g.SetDimensions(3, 2, pf1Bit);
    g.SetPaletteType(pBlackWhite);
    g.SetPixel(0, 0, 1);
    g.SetPixel(2, 1, 1);
    const Bytes dib = SaveDIB(g);
    Bytes want = InfoHeader(3, 2, 1, 0, 8, 2);
    Append(want, {0, 0, 0, 0, 255, 255, 255, 0});
    Append(want, {0x20, 0, 0, 0, 0x80, 0, 0, 0}); // bottom row first
    EXPECT_EQ(dib, want);
    EXPECT_EQ(g.GetDIBSize(), static_cast<std::int64_t>(dib.size()) + 18);
}

TEST(PixelGraphicDIB, ColourTableNeverExceedsWhatTheDepthAddresses)
{
    TPixelGraphic g;
    g.SetDimensions(4, 1, pf4Bit);
    g.SetPaletteType(pSpecial252);
    const Bytes dib = SaveDIB(g);
    EXPECT_EQ(dib.size(), 40u + 16 * 4 + 4);
    EXPECT_EQ(dib[32], 16); // colours used
    EXPECT_EQ(g.GetDIBSize(), 58 + 16 * 4 + 4);

    TPixelGraphic t;
    t.SetDimensions(2, 2, pf24Bit);
    EXPECT_EQ(SaveDIB(t).size(), 40u + 8 * 2);
}

TEST(PixelGraphicDIB, RoundTripAtEveryDepth)
{
    for (std::uint8_t f : {pf1Bit, pf4Bit, pf8Bit, pf24Bit}) {
        TPixelGraphic g;
        g.SetDimensions(17, 5, f);
        if (f != pf24Bit) {
            g.SetPaletteSize(g.GetColorCount());
            for (int i = 0; i < g.GetPaletteSize(); ++i)
                g.SetPaletteEntry(i, RGB(i, 255 - i, i * 3));
        }
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 17; ++x)
                g.SetPixel(x, y, static_cast<std::uint32_t>(x * 7 + y * 31 + x * y * 4099));
        TPixelGraphic h;
        LoadDIB(h, SaveDIB(g));
        ASSERT_EQ(h.GetPixelFormat(), f);
        ASSERT_EQ(h.GetWidth(), 17);
        ASSERT_EQ(h.GetHeight(), 5);
        EXPECT_EQ(h.GetPaletteSize(), g.GetPaletteSize());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 17; ++x)
                ASSERT_EQ(h.GetPixelColor(x, y), g.GetPixelColor(x, y)) << int(f);
        EXPECT_EQ(0, std::memcmp(h.GetBits(), g.GetBits(), static_cast<std::size_t>(g.GetImageSize())));
    }
}

TEST(PixelGraphicDIB, CoreHeaderWithThreeByteColourTable)
{
    Bytes b;
    Put32(b, 12);
    Put16(b, 2);
    Put16(b, 1);
    Put16(b, 1);
    Put16(b, 1);
    Append(b, {10, 20, 30, 40, 50, 60}); // blue, green, red
    Append(b, {0x40, 0, 0, 0});
    TPixelGraphic g;
    LoadDIB(g, b, true);
    EXPECT_EQ(g.GetPaletteSize(), 2);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(30, 20, 10));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(60, 50, 40));

    Bytes bad = b;
    bad[8] = 2; // planes
    TPixelGraphic h;
    try {
        LoadDIB(h, bad, true);
        FAIL();
    } catch (const EPGBMPFileFormatReader& e) {
        EXPECT_STREQ(e.what(), "BMP: BitmapCoreHeader.bcPlanes invalid");
    }
}

TEST(PixelGraphicDIB, HeaderChecks)
{
    Bytes h64 = InfoHeader(1, 1, 24);
    h64[0] = 64;
    EXPECT_EQ(LoadError(h64), "BMP: Invalid size of BitmapInfoHeader/BitmapCoreHeader");
    Bytes planes = InfoHeader(1, 1, 24);
    planes[12] = 2;
    EXPECT_EQ(LoadError(planes), "BMP: BitmapInfoHeader.biPlanes invalid");
    EXPECT_EQ(LoadError(InfoHeader(1, 1, 2)), "BMP: BitmapInfoHeader.biBitCount invalid");
    EXPECT_EQ(LoadError(InfoHeader(1, -1, 8, 1)), "BMP: BitmapInfoHeader.biCompression invalid");
    EXPECT_EQ(LoadError(InfoHeader(1, 1, 8, 2)), "BMP: BitmapInfoHeader.biCompression invalid");
    EXPECT_EQ(LoadError(InfoHeader(1, 1, 24, 3)), "BMP: BitmapInfoHeader.biCompression invalid");
    // Up to 2^bits entries are kept; here not even those are in the stream.
    EXPECT_EQ(LoadError(InfoHeader(1, 1, 8, 0, 0, 300)), "BMP: Unexpected end of file");
}

TEST(PixelGraphicDIB, LyingSizesFailBeforeAllocating)
{
    Bytes huge = InfoHeader(20000, 20000, 24); // 1.2 GB if taken
    Append(huge, Bytes(10, 0));
    EXPECT_EQ(LoadError(huge), "BMP: Unexpected end of file");
    Bytes shortPalette = InfoHeader(2, 2, 8, 0, 0, 200);
    Append(shortPalette, Bytes(100, 0));
    EXPECT_EQ(LoadError(shortPalette), "BMP: Unexpected end of file");
    // A compressed block is read as far as the stream goes.
    Bytes rle = InfoHeader(4, 4, 8, 1, 0x7FFFFFFF);
    Append(rle, Bytes(1024 + 8, 0));
    EXPECT_EQ(LoadError(rle), "no error");
}

TEST(PixelGraphicDIB, TopDownRowsReadUpright)
{
    Bytes b = InfoHeader(1, -2, 24);
    Append(b, {1, 2, 3, 0, 4, 5, 6, 0}); // first stored row is the top one
    TPixelGraphic g;
    LoadDIB(g, b);
    EXPECT_EQ(g.GetHeight(), 2);
    EXPECT_EQ(g.GetPixel(0, 0), RGB(3, 2, 1));
    EXPECT_EQ(g.GetPixel(0, 1), RGB(6, 5, 4));
}

TEST(PixelGraphicDIB, SixteenAndThirtyTwoBitChannels)
{
    Bytes b = InfoHeader(2, 1, 16);
    Append(b, {0xFF, 0xFF, 0x00, 0x00});
    TPixelGraphic g;
    LoadDIB(g, b);
    EXPECT_EQ(g.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(g.GetPixel(0, 0), clWhite);
    EXPECT_EQ(g.GetPixel(1, 0), clBlack);
    BMPExpand16Bit = false;
    LoadDIB(g, b);
    BMPExpand16Bit = true;
    EXPECT_EQ(g.GetPixel(0, 0), RGB(248, 248, 248));

    // 5-6-5 bit fields: full green alone.
    Bytes f = InfoHeader(1, 1, 16, 3);
    Put32(f, 0xF800);
    Put32(f, 0x07E0);
    Put32(f, 0x001F);
    Append(f, {0xE0, 0x07, 0, 0});
    LoadDIB(g, f);
    EXPECT_EQ(g.GetPixel(0, 0), RGB(0, 255, 0));

    Bytes t = InfoHeader(1, -2, 32);
    Append(t, {1, 2, 3, 99, 4, 5, 6, 99});
    LoadDIB(g, t);
    EXPECT_EQ(g.GetPixel(0, 0), RGB(3, 2, 1));
    EXPECT_EQ(g.GetPixel(0, 1), RGB(6, 5, 4));
}

Bytes GreyTable(int n)
{
    Bytes b;
    for (int i = 0; i < n; ++i)
        Append(b, {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                   static_cast<std::uint8_t>(i), 0});
    return b;
}

TEST(PixelGraphicDIB, RunLengthEncodings)
{
    // RLE8, 4 x 3: run, literal, end of line, delta, end of bitmap.
    const Bytes rle8 = {3, 7, 0, 3, 1, 2, 9, 0, 0, 0, 0, 2, 1, 1, 1, 5, 0, 1};
    Bytes b = InfoHeader(4, 3, 8, 1, static_cast<std::uint32_t>(rle8.size()), 16);
    Append(b, GreyTable(16));
    Append(b, rle8);
    TPixelGraphic g;
    LoadDIB(g, b);
    const std::uint32_t want8[3][4] = {{0, 5, 0, 0}, {0, 0, 0, 0}, {7, 7, 7, 1}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(g.GetPixel(x, y), want8[y][x]) << x << "," << y;
    // The literal ran over the row end; its rest went nowhere.

    // RLE4, 5 x 1: a run of alternating nibbles and a padded literal.
    const Bytes rle4 = {3, 0x12, 0, 3, 0x34, 0x50, 0, 1};
    Bytes c = InfoHeader(5, 1, 4, 2, static_cast<std::uint32_t>(rle4.size()), 16);
    Append(c, GreyTable(16));
    Append(c, rle4);
    LoadDIB(g, c);
    const std::uint32_t want4[5] = {1, 2, 1, 3, 4};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(g.GetPixel(x, 0), want4[x]) << x;
}

TEST(PixelGraphicDIB, HostileRunLengthDataStaysInside)
{
    Bytes rle;
    for (int i = 0; i < 40000; ++i)
        Append(rle, {0, 2, 255, 255}); // deltas far beyond the image
    Append(rle, {255, 1, 0, 200, 1});   // literal cut off by the block end
    Bytes b = InfoHeader(3, 3, 8, 1, static_cast<std::uint32_t>(rle.size()), 2);
    Append(b, GreyTable(2));
    Append(b, rle);
    TPixelGraphic g;
    LoadDIB(g, b);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(g.GetPixel(x, y), 0u);
}

TEST(PixelGraphicDIB, LargeBlocksReportProgressInTenPiecesAndCanStop)
{
    TPixelGraphic src;
    src.SetDimensions(20, 10, pf8Bit); // 200 bytes of pixels
    src.SetPaletteType(pGray256);
    src.SetFillColor(RGB(9, 9, 9));
    src.Clear();
    const Bytes dib = SaveDIB(src);

    TPixelGraphic g;
    std::vector<std::pair<int, int>> steps;
    int starts = 0, ends = 0;
    g.SetOnProgressStart([&](TObject*) { ++starts; });
    g.SetOnProgressEnd([&](TObject*) { ++ends; });
    g.SetOnProgress([&](TObject*, int step, int max, bool& abort) {
        steps.emplace_back(step, max);
        abort = step == 3;
    });
    LoadDIB(g, dib);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0], std::make_pair(1, 10));
    EXPECT_EQ(steps[2], std::make_pair(3, 10));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 1);
    // Three pieces of 20 bytes arrived: the bottom three rows.
    EXPECT_EQ(g.GetPixel(0, 9), 9u);
    EXPECT_EQ(g.GetPixel(19, 7), 9u);
    EXPECT_EQ(g.GetPixel(0, 6), 0u);

    steps.clear();
    g.SetOnProgress([&](TObject*, int step, int max, bool&) { steps.emplace_back(step, max); });
    LoadDIB(g, dib);
    ASSERT_EQ(steps.size(), 10u);
    EXPECT_EQ(steps[9], std::make_pair(10, 10));
    EXPECT_EQ(g.GetPixel(0, 0), 9u);

    TPixelGraphic small;
    small.SetDimensions(4, 4, pf8Bit); // 16 bytes: read at once
    small.SetPaletteType(pGray256);
    steps.clear();
    LoadDIB(g, SaveDIB(small));
    EXPECT_TRUE(steps.empty());
}

TEST(PixelGraphicDIB, ClipboardFormats)
{
    TPixelGraphic g;
    g.SetDimensions(3, 3, pf8Bit);
    g.SetPaletteType(pGray256);
    g.SetPixel(1, 1, 200);
    unsigned format = 0;
    Bytes data;
    std::uintptr_t palette = 1;
    g.SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, CF_DIB);
    EXPECT_EQ(palette, 0u);
    EXPECT_EQ(static_cast<std::int64_t>(data.size()), g.GetDIBSize());

    int changes = 0;
    TPixelGraphic h;
    h.SetGamma(2.5L);
    h.SetOnChange([&](TObject*) { ++changes; });
    h.LoadFromClipboardFormat(CF_DIB, &data, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(h.GetPixel(1, 1), 200u);
    EXPECT_EQ(h.GetPaletteType(), pGray256);
    EXPECT_EQ(h.GetGamma(), DefaultGamma);

    try {
        h.LoadFromClipboardFormat(CF_TEXT, &data, 0);
        FAIL();
    } catch (const EPGUnknownClipboardFormat& e) {
        EXPECT_STREQ(e.what(), "Unknown clipboard format");
    }
    EXPECT_THROW(h.LoadFromClipboardFormat(CF_DIB, nullptr, 0), EPGUnknownClipboardFormat);
    EXPECT_EQ(h.GetPixel(1, 1), 200u);
}

} // namespace
} // namespace lumeno
