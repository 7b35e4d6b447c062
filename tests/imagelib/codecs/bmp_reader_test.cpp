#include "bmp_bytes.h"
#include "codec_test_support.h"
#include "imagelib/codecs/bmp_reader.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <atomic>
#include <climits>
#include <thread>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::BmpSpec;
using test::MakeBmp;

class BmpReader : public ::testing::Test {
protected:
    void SetUp() override { PGStartup(); }
    void TearDown() override { PGShutdown(); }

    static void Load(TPixelGraphic& g, const std::vector<std::uint8_t>& bytes)
    {
        TMemoryStream s(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        g.LoadFromStream(s);
    }

    static std::string LoadError(const std::vector<std::uint8_t>& bytes)
    {
        TPixelGraphic g;
        return test::ErrorText<EPGBMPFileFormatReader>([&] { Load(g, bytes); });
    }
};

// Eight-bit 3 × 2 picture: indices 0..5, rows padded to 4 bytes, bottom row first.
BmpSpec EightBit()
{
    BmpSpec s;
    s.Width = 3;
    s.Height = 2;
    s.BitCount = 8;
    s.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080};
    s.ClrUsed = 6;
    s.Pixels = {3, 4, 5, 0, 0, 1, 2, 0};
    return s;
}

TEST_F(BmpReader, PaletteDepthsReadWithTheirPalettes)
{
    TPixelGraphic g;
    Load(g, MakeBmp(EightBit()));
    ASSERT_EQ(g.GetPixelFormat(), pf8Bit);
    ASSERT_EQ(g.GetPaletteSize(), 6);
    EXPECT_EQ(g.GetPixelColor(0, 1), RGB(0, 0, 255));
    EXPECT_EQ(g.GetPixelColor(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixel(2, 0), 2u);
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(255, 0, 0));

    BmpSpec one;
    one.Width = 10;
    one.Height = 1;
    one.BitCount = 1;
    one.Palette = {0x102030, 0xF0E0D0};
    one.Pixels = {0xA5, 0x80, 0, 0};
    Load(g, MakeBmp(one));
    ASSERT_EQ(g.GetPixelFormat(), pf1Bit);
    EXPECT_EQ(g.GetPaletteSize(), 2); // biClrUsed 0 means 2^bits
    const std::uint32_t expected[10] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 0};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(g.GetPixel(x, 0), expected[x]) << x;
    EXPECT_EQ(g.GetPaletteEntry(1), RGB(0xF0, 0xE0, 0xD0));

    BmpSpec four;
    four.Width = 3;
    four.BitCount = 4;
    four.Palette.assign(16, 0);
    four.Palette[7] = 0x00FF00;
    four.Pixels = {0x7F, 0x10, 0, 0};
    Load(g, MakeBmp(four));
    EXPECT_EQ(g.GetPixel(0, 0), 7u);
    EXPECT_EQ(g.GetPixel(1, 0), 15u);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(0, 255, 0));
}

TEST_F(BmpReader, Os2CoreHeaderWithThreeBytePalette)
{
    BmpSpec s = EightBit();
    s.HeaderSize = 12;
    s.ClrUsed = 0;
    s.Palette.resize(256, 0x123456);
    TPixelGraphic g;
    Load(g, MakeBmp(s));
    EXPECT_EQ(g.GetPaletteSize(), 256);
    EXPECT_EQ(g.GetPixelColor(0, 1), RGB(0, 0, 255));
    EXPECT_EQ(g.GetPixelColor(2, 1), RGB(128, 128, 128));

    s.Planes = 2;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: BitmapCoreHeader.bcPlanes invalid");
    s.Planes = 1;
    s.BitCount = 16;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: BitmapCoreHeader.bcBitCount invalid");
}

TEST_F(BmpReader, TwentyFourBitBottomUpAndTopDown)
{
    BmpSpec s;
    s.Width = 2;
    s.Height = 2;
    // Stored bottom row first: blue, green, red per pixel, rows padded to 8 bytes.
    s.Pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    TPixelGraphic g;
    Load(g, MakeBmp(s));
    EXPECT_EQ(g.GetPixelColor(0, 1), RGB(3, 2, 1));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(12, 11, 10));

    s.Height = -2; // the first stored row is now the top one
    Load(g, MakeBmp(s));
    EXPECT_EQ(g.GetHeight(), 2);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(3, 2, 1));
    EXPECT_EQ(g.GetPixelColor(1, 1), RGB(12, 11, 10));
}

std::vector<std::uint8_t> Pixels16(std::initializer_list<std::uint16_t> values)
{
    std::vector<std::uint8_t> b;
    for (auto v : values)
        test::Put16(b, v);
    while (b.size() % 4)
        b.push_back(0);
    return b;
}

TEST_F(BmpReader, SixteenBitExpansionFollowsTheOption)
{
    BmpSpec s;
    s.Width = 3;
    s.BitCount = 16;
    s.Pixels = Pixels16({0xFFFF, 0x7C00, 0x0001});
    TPixelGraphic g;
    Load(g, MakeBmp(s));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(g.GetPixelColor(2, 0), RGB(0, 0, 16)); // 8 + the lowest bit 8

    BMPExpand16Bit = false;
    Load(g, MakeBmp(s));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(248, 248, 248));
    EXPECT_EQ(g.GetPixelColor(2, 0), RGB(0, 0, 8));
}

TEST_F(BmpReader, BitFieldMasksIncludingZeroAndLaterHeaders)
{
    BmpSpec s;
    s.Width = 2;
    s.BitCount = 16;
    s.Compression = 3;
    s.Masks = {0xF800, 0x07E0, 0x001F}; // 5-6-5
    s.Pixels = Pixels16({0xF800, 0x07E0});
    TPixelGraphic g;
    Load(g, MakeBmp(s));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(0, 255, 0));

    for (std::uint32_t size : {108u, 124u}) {
        s.HeaderSize = size;
        Load(g, MakeBmp(s));
        EXPECT_EQ(g.GetPixelColor(1, 0), RGB(0, 255, 0)) << size;
    }

    BmpSpec t;
    t.Width = 1;
    t.BitCount = 32;
    t.Compression = 3;
    t.Masks = {0xFF000000, 0, 0x000000FF}; // no green channel at all
    t.Pixels = {0x11, 0x22, 0x33, 0x44};
    Load(g, MakeBmp(t));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(0x44, 0, 0x11));

    t.Compression = 0; // default masks: x8r8g8b8
    t.Masks.clear();
    Load(g, MakeBmp(t));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(0x33, 0x22, 0x11));
}

TEST_F(BmpReader, Rle8RunsLiteralsDeltasAndEdges)
{
    BmpSpec s;
    s.Width = 4;
    s.Height = 3;
    s.BitCount = 8;
    s.Compression = 1;
    s.Palette.assign(256, 0);
    s.Pixels = {
        3, 7,             // bottom row: 7 7 7
        0, 0,             // end of line
        0, 2, 1, 0,       // delta: one to the right
        0, 3, 1, 2, 9, 0, // literal 1 2 9, padded to 16 bits
        0, 0,             // end of line: the top row
        0, 2, 1, 0,       // one to the right
        6, 5,             // a run past the right edge: cut at the edge
        0, 0, 4, 8,       // a row above the picture: decoding stops
        0, 1,
    };
    TPixelGraphic g;
    Load(g, MakeBmp(s));
    const std::uint32_t rows[3][4] = {{0, 5, 5, 5}, {0, 1, 2, 9}, {7, 7, 7, 0}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(g.GetPixel(x, y), rows[y][x]) << x << "," << y;
}

TEST_F(BmpReader, Rle4NibblesAndOversizedBlockSize)
{
    BmpSpec s;
    s.Width = 5;
    s.Height = 1;
    s.BitCount = 4;
    s.Compression = 2;
    s.Palette.assign(16, 0);
    s.Pixels = {3, 0x12, 0, 3, 0xAB, 0xC0, 0, 1};
    s.SizeImage = 1000000; // more than the file holds: read to the end
    TPixelGraphic g;
    Load(g, MakeBmp(s));
    const std::uint32_t row[5] = {1, 2, 1, 0xA, 0xB};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(g.GetPixel(x, 0), row[x]) << x;
}

TEST_F(BmpReader, PixelOffsetIsHonouredWhenPlausible)
{
    BmpSpec s = EightBit();
    s.Gap = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    TPixelGraphic g;
    Load(g, MakeBmp(s));
    EXPECT_EQ(g.GetPixel(0, 1), 3u);

    // An offset of 0 (some writers leave it empty) is ignored.
    s.Gap.clear();
    s.OffBits = 0;
    Load(g, MakeBmp(s));
    EXPECT_EQ(g.GetPixel(0, 1), 3u);
}

TEST_F(BmpReader, OversizedColourTableKeepsTwoToTheBits)
{
    BmpSpec s = EightBit();
    s.BitCount = 4;
    s.Pixels = {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0};
    s.ClrUsed = 40;
    s.Palette.resize(40, 0xABCDEF);
    TPixelGraphic g;
    Load(g, MakeBmp(s));
    EXPECT_EQ(g.GetPaletteSize(), 16);
    EXPECT_EQ(g.GetPixelColor(0, 1), RGB(0, 0, 255));
}

TEST_F(BmpReader, LyingColourCountOfATrueColourFile)
{
    BmpSpec s;
    s.Width = 1;
    s.ClrUsed = 0xFFFFFFFF; // a table far larger than the file
    s.Pixels = {1, 2, 3, 0};
    TPixelGraphic g;
    Load(g, MakeBmp(s)); // the pixel offset says where the pixels are
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(3, 2, 1));
    s.OffBits = 0;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: Unexpected end of file");
}

TEST_F(BmpReader, ReadersKeepNoStateBetweenCalls)
{
    BmpSpec rle = EightBit();
    rle.Compression = 1;
    rle.Pixels = {3, 1, 0, 0, 3, 2, 0, 1};
    const std::vector<std::vector<std::uint8_t>> files = {MakeBmp(EightBit()), MakeBmp(rle)};
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                TPixelGraphic g;
                Load(g, files[static_cast<std::size_t>((t + i) % 2)]);
                const bool isRle = (t + i) % 2 == 1;
                if (g.GetPixel(0, 1) != (isRle ? 1u : 3u) || g.GetPixel(2, 0) != (isRle ? 2u : 2u))
                    ++wrong;
            }
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(wrong, 0);
}

TEST_F(BmpReader, HeaderChecksRaiseTheirTexts)
{
    BmpSpec s = EightBit();
    s.HeaderSize = 64;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: Invalid size of BitmapInfoHeader/BitmapCoreHeader");
    s = EightBit();
    s.Planes = 0;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: BitmapInfoHeader.biPlanes invalid");
    s = EightBit();
    s.BitCount = 2;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: BitmapInfoHeader.biBitCount invalid");
    s = EightBit();
    s.Compression = 3;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: BitmapInfoHeader.biCompression invalid");
    s = EightBit();
    s.Compression = 1;
    s.Height = -2; // top-down RLE does not exist
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: BitmapInfoHeader.biCompression invalid");
    s = EightBit();
    s.Width = -3;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: BitmapInfoHeader.biWidth invalid");
    s.Width = 0;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: BitmapInfoHeader.biWidth invalid");
    s = EightBit();
    s.Height = INT_MIN;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: BitmapInfoHeader.biHeight invalid");
}

TEST_F(BmpReader, HugeDimensionsAreRefusedBeforeAllocation)
{
    BmpSpec s;
    s.Width = 40000;
    s.Height = 20000; // 2.4 GB of 24-bit pixels
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: Invalid size of image");
    s.Width = INT_MAX;
    s.Height = -INT_MAX;
    EXPECT_EQ(LoadError(MakeBmp(s)), "BMP: Invalid size of image");
}

TEST_F(BmpReader, TruncatedFilesFailCleanly)
{
    std::vector<std::vector<std::uint8_t>> files = {MakeBmp(EightBit())};
    BmpSpec bf;
    bf.Width = 3;
    bf.Height = 2;
    bf.BitCount = 16;
    bf.Compression = 3;
    bf.Masks = {0xF800, 0x07E0, 0x001F};
    bf.Pixels = Pixels16({1, 2, 3, 4, 5, 6});
    bf.Pixels.resize(16, 0);
    files.push_back(MakeBmp(bf));
    for (const auto& file : files) {
        for (std::size_t cut = 0; cut + 1 < file.size(); ++cut) {
            std::vector<std::uint8_t> part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            TPixelGraphic g;
            TMemoryStream s(part.data(), static_cast<std::int64_t>(part.size()));
            EXPECT_THROW(g.LoadFromStream(s), EPixelGraphic) << cut;
        }
    }
    std::vector<std::uint8_t> part = MakeBmp(EightBit());
    part.resize(part.size() - 3);
    EXPECT_EQ(LoadError(part), "BMP: Unexpected end of file");
}

TEST_F(BmpReader, OnlyImageZeroExists)
{
    const auto bytes = MakeBmp(EightBit());
    TMemoryStream s(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    TPixelGraphic g;
    TBMPFileFormatReader reader;
    EXPECT_THROW(
        {
            try {
                reader.Read(s, g, 1);
            } catch (const EPGBMPFileFormatReader& e) {
                EXPECT_STREQ(e.what(), "BMP: Index invalid");
                throw;
            }
        },
        EPGBMPFileFormatReader);
}

TEST_F(BmpReader, ProgressInTenthsAndAbortStopsReading)
{
    BmpSpec s;
    s.Width = 100;
    s.Height = 10;
    s.Pixels.assign(3000, 0x40);
    TPixelGraphic g;
    std::vector<int> steps;
    g.SetOnProgress([&](TObject*, int step, int max, bool& abort) {
        EXPECT_EQ(max, 10);
        steps.push_back(step);
        abort = step == 3;
    });
    Load(g, MakeBmp(s));
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(g.GetPixelColor(0, 9), RGB(0x40, 0x40, 0x40)); // bottom rows were read
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(0, 0, 0));
}

TEST_F(BmpReader, GetInfoDescribesWithoutDecoding)
{
    const auto info = [](const std::vector<std::uint8_t>& bytes) {
        TMemoryStream s(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        TGraphicInfo i;
        EXPECT_TRUE(GetGraphicStreamInfo(s, "", 0, i));
        EXPECT_EQ(s.GetPosition(), 0);
        return i;
    };
    BmpSpec s;
    s.Width = 2;
    s.Height = -1;
    s.BitCount = 32;
    s.Pixels.assign(8, 0);
    TGraphicInfo i = info(MakeBmp(s));
    EXPECT_EQ(i.FormatName, "Bitmap");
    EXPECT_EQ(i.SubFormat, "Windows, RGB, Top-Down");
    EXPECT_EQ(i.Colors, "16.7M");
    EXPECT_EQ(i.Width, 2);
    EXPECT_EQ(i.Height, -1);
    EXPECT_EQ(i.BitCount, 32);
    EXPECT_EQ(i.ImageCount, 1);

    BmpSpec rle = EightBit();
    rle.Compression = 1;
    EXPECT_EQ(info(MakeBmp(rle)).SubFormat, "Windows, RLE8");
    rle.BitCount = 16;
    rle.Compression = 0;
    EXPECT_EQ(info(MakeBmp(rle)).Colors, "64K");
    BmpSpec core = EightBit();
    core.HeaderSize = 12;
    const TGraphicInfo c = info(MakeBmp(core));
    EXPECT_EQ(c.SubFormat, "OS/2");
    EXPECT_EQ(c.Colors, "256");

    const auto bytes = MakeBmp(core);
    TMemoryStream st(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    std::string sub, remarks, colors;
    int w, h, bits, count;
    try {
        TBMPFileFormatReader().GetInfo(st, 1, sub, remarks, w, h, colors, bits, count);
        ADD_FAILURE() << "index 1 accepted";
    } catch (const EPGBMPFileFormatReader& e) {
        EXPECT_STREQ(e.what(), "BMP: Invalid value for Index");
    }
}

} // namespace
} // namespace lumeno
