// The PNG codec: every colour type and depth, transparency over the
// background, gamma, interlacing, the file's description, failures and
// aborts, round trips through our writer, and pngtopam as the oracle.

#include "codec_test_support.h"
#include "imagelib/codecs/png_reader.h"
#include "imagelib/codecs/png_writer.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <functional>
#include <gtest/gtest.h>
#include <png.h>
#include <sstream>
#include <zlib.h>

namespace lumeno {
namespace {

// What a test file holds; written with libpng directly.
struct PngLayout {
    int Width = 13; // odd: partial bytes at every small depth
    int Height = 5;
    int Depth = 8;
    int ColorType = PNG_COLOR_TYPE_RGB;
    bool Interlaced = false;
    std::vector<png_color> Palette;
    std::vector<png_byte> TransAlpha; // palette tRNS
    bool HasTransColor = false;
    png_color_16 TransColor{};
    bool HasBackground = false;
    png_color_16 Background{};
    double Gamma = 0; // none
    bool Time = false;
    bool Offset = false;
    // Sample c of pixel (x, y), in the file's scale.
    std::function<unsigned(int x, int y, int c)> Sample = [](int x, int y, int c) {
        return static_cast<unsigned>(x * 17 + y * 29 + c * 71) & 0xFF;
    };
};

int Channels(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

std::vector<png_byte> PackedRow(const PngLayout& layout, int y)
{
    const int channels = Channels(layout.ColorType);
    const std::size_t bits = static_cast<std::size_t>(layout.Width) * channels * layout.Depth;
    std::vector<png_byte> row((bits + 7) / 8);
    std::size_t bit = 0;
    for (int x = 0; x < layout.Width; ++x) {
        for (int c = 0; c < channels; ++c) {
            const unsigned v = layout.Sample(x, y, c);
            if (layout.Depth == 16) {
                row[bit / 8] = static_cast<png_byte>(v >> 8);
                row[bit / 8 + 1] = static_cast<png_byte>(v);
            } else {
                row[bit / 8] |= static_cast<png_byte>(v << (8 - layout.Depth - bit % 8));
            }
            bit += static_cast<std::size_t>(layout.Depth);
        }
    }
    return row;
}

void Append(png_structp png, png_bytep data, png_size_t size)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

std::vector<std::uint8_t> MakePng(const PngLayout& layout)
{
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, Append, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(layout.Width), static_cast<png_uint_32>(layout.Height),
                 layout.Depth, layout.ColorType, layout.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!layout.Palette.empty())
        png_set_PLTE(png, info, layout.Palette.data(), static_cast<int>(layout.Palette.size()));
    if (!layout.TransAlpha.empty() || layout.HasTransColor) {
        png_color_16 color = layout.TransColor;
        png_set_tRNS(png, info, layout.TransAlpha.empty() ? nullptr : layout.TransAlpha.data(),
                     static_cast<int>(layout.TransAlpha.size()), layout.HasTransColor ? &color : nullptr);
    }
    if (layout.HasBackground) {
        png_color_16 b = layout.Background;
        png_set_bKGD(png, info, &b);
    }
    if (layout.Gamma > 0)
        png_set_gAMA(png, info, layout.Gamma);
    if (layout.Time) {
        png_time t{2001, 2, 3, 4, 5, 6};
        png_set_tIME(png, info, &t);
    }
    if (layout.Offset)
        png_set_oFFs(png, info, 1, 2, PNG_OFFSET_PIXEL);
    png_write_info(png, info);
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < layout.Height; ++y)
        rows.push_back(PackedRow(layout, y));
    for (auto& r : rows)
        pointers.push_back(r.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

void Read(const std::vector<std::uint8_t>& bytes, TPixelGraphic& g)
{
    TMemoryStream s(bytes);
    TPNGFileFormatReader().Read(s, g, 0);
}

std::vector<std::uint8_t> Write(TPixelGraphic& g)
{
    TMemoryStream s;
    TPNGFileFormatWriter().Write(s, g);
    return s.Data();
}

template <class F> std::string PngError(F f)
{
    return test::ErrorText<EPGPNGFileFormatReaderWriter>(f);
}

using test::Description;
using test::TFullStream;

Description Describe(const std::vector<std::uint8_t>& bytes)
{
    return test::Describe<TPNGFileFormatReader>(bytes);
}

std::vector<png_color> Ramp(int count)
{
    std::vector<png_color> p;
    for (int i = 0; i < count; ++i)
        p.push_back(
            {static_cast<png_byte>(i * 37), static_cast<png_byte>(255 - i), static_cast<png_byte>(i * 5)});
    return p;
}

unsigned Composite(unsigned v, unsigned a, unsigned bg)
{
    return (v * a + bg * (255 - a) + 127) / 255;
}

class Png : public ::testing::Test {
protected:
    void SetUp() override { PGStartup(); }
    void TearDown() override { PGShutdown(); }
    test::TempDir dir_;
};

TEST_F(Png, GreyDepthsKeepTheirValuesAndGreyPalettes)
{
    const struct {
        int Depth;
        std::uint8_t Format;
        TPaletteIdent Palette;
    } cases[] = {{1, pf1Bit, pBlackWhite},
                 {2, pf4Bit, pGray4},
                 {4, pf4Bit, pGray16},
                 {8, pf8Bit, pGray256},
                 {16, pf8Bit, pGray256}};
    for (const auto& c : cases) {
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.Depth << (interlaced ? " interlaced" : ""));
            PngLayout layout;
            layout.ColorType = PNG_COLOR_TYPE_GRAY;
            layout.Depth = c.Depth;
            layout.Interlaced = interlaced;
            const unsigned top = c.Depth == 16 ? 0xFFFF : (1u << c.Depth) - 1;
            layout.Sample = [&](int x, int y, int) {
                return static_cast<unsigned>(x * 5001 + y * 3) % (top + 1);
            };
            TPixelGraphic g;
            Read(MakePng(layout), g);
            ASSERT_EQ(g.GetPixelFormat(), c.Format);
            EXPECT_EQ(g.GetPaletteType(), c.Palette);
            for (int y = 0; y < layout.Height; ++y)
                for (int x = 0; x < layout.Width; ++x)
                    ASSERT_EQ(g.GetPixel(x, y),
                              c.Depth == 16 ? layout.Sample(x, y, 0) >> 8 : layout.Sample(x, y, 0))
                        << x << "," << y;
        }
    }
}

TEST_F(Png, PaletteAndRgbFilesKeepTheirColours)
{
    for (int depth : {1, 2, 4, 8}) {
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(testing::Message() << "palette " << depth << (interlaced ? " interlaced" : ""));
            PngLayout layout;
            layout.ColorType = PNG_COLOR_TYPE_PALETTE;
            layout.Depth = depth;
            layout.Interlaced = interlaced;
            const int entries = depth == 8 ? 200 : 1 << depth;
            layout.Palette = Ramp(entries);
            layout.Sample = [&](int x, int y, int) { return static_cast<unsigned>(x * 3 + y) % entries; };
            TPixelGraphic g;
            Read(MakePng(layout), g);
            ASSERT_EQ(g.GetPaletteSize(), entries);
            for (int y = 0; y < layout.Height; ++y)
                for (int x = 0; x < layout.Width; ++x)
                    ASSERT_EQ(g.GetPixel(x, y), layout.Sample(x, y, 0)) << x << "," << y;
            EXPECT_EQ(g.GetPaletteEntry(entries - 1),
                      RGB(layout.Palette.back().red, layout.Palette.back().green, layout.Palette.back().blue));
        }
    }
    for (int depth : {8, 16}) {
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(testing::Message() << "RGB " << depth << (interlaced ? " interlaced" : ""));
            PngLayout layout;
            layout.Depth = depth;
            layout.Interlaced = interlaced;
            layout.Sample = [&](int x, int y, int c) {
                const unsigned v = static_cast<unsigned>(x * 19 + y * 41 + c * 83) & 0xFF;
                return depth == 16 ? v << 8 | (255 - v) : v;
            };
            TPixelGraphic g;
            Read(MakePng(layout), g);
            ASSERT_EQ(g.GetPixelFormat(), pf24Bit);
            EXPECT_EQ(g.GetPaletteSize(), 0);
            EXPECT_EQ(g.GetPaletteType(), pTrueColor);
            for (int y = 0; y < layout.Height; ++y)
                for (int x = 0; x < layout.Width; ++x)
                    ASSERT_EQ(g.GetPixelColor(x, y),
                              RGB(layout.Sample(x, y, 0) >> (depth - 8), layout.Sample(x, y, 1) >> (depth - 8),
                                  layout.Sample(x, y, 2) >> (depth - 8)));
        }
    }
}

TEST_F(Png, AlphaIsCompositedOnTheFileValuesOverTheFillColour)
{
    const TColor fill = RGB(200, 100, 50);
    const unsigned fillGray = (200 + 100 + 50) / 3;
    for (int colorType : {PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_GRAY_ALPHA}) {
        for (int depth : {8, 16}) {
            SCOPED_TRACE(testing::Message() << colorType << " " << depth);
            PngLayout layout;
            layout.ColorType = colorType;
            layout.Depth = depth;
            layout.Gamma = 1 / 2.2; // must not make libpng work in linear light
            const int alpha = Channels(colorType) - 1;
            layout.Sample = [&](int x, int y, int c) {
                const unsigned v = c == alpha ? std::min(x * 23, 255)
                                              : static_cast<unsigned>(x * 11 + y * 50 + c * 60) & 0xFF;
                return depth == 16 ? v * 257 : v;
            };
            TPixelGraphic g;
            g.SetFillColor(fill);
            Read(MakePng(layout), g);
            for (int y = 0; y < layout.Height; ++y) {
                for (int x = 0; x < layout.Width; ++x) {
                    const unsigned a = std::min(x * 23, 255);
                    auto expect = [&](int c, unsigned bg) {
                        return Composite(static_cast<unsigned>(x * 11 + y * 50 + c * 60) & 0xFF, a, bg);
                    };
                    const TColor got = g.GetPixelColor(x, y);
                    if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
                        ASSERT_NEAR(GetRValue(got), expect(0, fillGray), 1) << x << "," << y;
                    } else {
                        ASSERT_NEAR(GetRValue(got), expect(0, 200), 1) << x << "," << y;
                        ASSERT_NEAR(GetGValue(got), expect(1, 100), 1) << x << "," << y;
                        ASSERT_NEAR(GetBValue(got), expect(2, 50), 1) << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST_F(Png, TransparentEntriesAndColoursTakeTheBackground)
{
    PngLayout palette;
    palette.ColorType = PNG_COLOR_TYPE_PALETTE;
    palette.Palette = Ramp(4);
    palette.TransAlpha = {0, 128};
    palette.Sample = [](int x, int, int) { return static_cast<unsigned>(x % 4); };
    TPixelGraphic g;
    g.SetFillColor(RGB(255, 255, 255));
    Read(MakePng(palette), g);
    EXPECT_EQ(g.GetPaletteEntry(0), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPaletteEntry(1),
              RGB(Composite(37, 128, 255), Composite(254, 128, 255), Composite(5, 128, 255)));
    EXPECT_EQ(g.GetPaletteEntry(2), RGB(74, 253, 10));

    PngLayout gray;
    gray.ColorType = PNG_COLOR_TYPE_GRAY;
    gray.Depth = 2;
    gray.HasTransColor = true;
    gray.TransColor.gray = 1;
    gray.Sample = [](int x, int, int) { return static_cast<unsigned>(x % 3); };
    TPixelGraphic g2;
    g2.SetFillColor(RGB(255, 255, 255));
    Read(MakePng(gray), g2);
    EXPECT_EQ(g2.GetPixel(0, 0), 0u);
    EXPECT_EQ(g2.GetPixel(1, 0), 3u); // white in four greys
    EXPECT_EQ(g2.GetPixel(2, 0), 2u);

    PngLayout rgb;
    rgb.HasTransColor = true;
    rgb.TransColor.red = 1;
    rgb.TransColor.green = 2;
    rgb.TransColor.blue = 3;
    rgb.Sample = [](int x, int, int c) { return x == 4 ? static_cast<unsigned>(c + 1) : 9u; };
    TPixelGraphic g3;
    g3.SetFillColor(RGB(7, 8, 9));
    Read(MakePng(rgb), g3);
    EXPECT_EQ(g3.GetPixelColor(4, 2), RGB(7, 8, 9));
    EXPECT_EQ(g3.GetPixelColor(3, 2), RGB(9, 9, 9));
}

TEST_F(Png, FileBackgroundBecomesTheFillColour)
{
    PngLayout layout;
    layout.ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
    layout.HasBackground = true;
    layout.Background.red = 10;
    layout.Background.green = 20;
    layout.Background.blue = 30;
    layout.Sample = [](int x, int, int c) { return c == 3 ? (x == 0 ? 0u : 255u) : 99u; };
    TPixelGraphic g;
    g.SetFillColor(RGB(1, 2, 3));
    Read(MakePng(layout), g);
    EXPECT_EQ(g.GetFillColor(), RGB(10, 20, 30));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(99, 99, 99));

    layout.Depth = 16;
    layout.Background.red = 0x1234;
    layout.Background.green = 0x5678;
    layout.Background.blue = 0x9ABC;
    layout.Sample = [](int x, int, int c) { return c == 3 ? (x == 0 ? 0u : 0xFFFFu) : 0x6300u; };
    g.SetFillColor(RGB(1, 2, 3));
    Read(MakePng(layout), g);
    EXPECT_EQ(g.GetFillColor(), RGB(0x12, 0x56, 0x9A));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(0x12, 0x56, 0x9A));

    PngLayout palette;
    palette.ColorType = PNG_COLOR_TYPE_PALETTE;
    palette.Palette = Ramp(4);
    palette.TransAlpha = {0};
    palette.HasBackground = true;
    palette.Background.index = 2;
    palette.Sample = [](int, int, int) { return 0u; };
    TPixelGraphic p;
    Read(MakePng(palette), p);
    EXPECT_EQ(p.GetPaletteEntry(0), RGB(74, 253, 10));
    EXPECT_EQ(p.GetFillColor(), RGB(74, 253, 10));

    PngLayout grey;
    grey.ColorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    grey.HasBackground = true;
    grey.Background.gray = 100;
    grey.Sample = [](int, int, int c) { return c == 1 ? 0u : 7u; };
    TPixelGraphic q;
    Read(MakePng(grey), q);
    ASSERT_EQ(q.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(q.GetFillColor(), RGB(100, 100, 100));
    EXPECT_EQ(q.GetPixel(0, 0), q.GetFillValue());

    PNGUseFileBackground = false;
    TPixelGraphic own;
    own.SetFillColor(RGB(1, 2, 3));
    Read(MakePng(layout), own);
    EXPECT_EQ(own.GetFillColor(), RGB(1, 2, 3));
    EXPECT_EQ(own.GetPixelColor(0, 0), RGB(1, 2, 3));
}

TEST_F(Png, FileGammaBecomesTheImageGamma)
{
    PngLayout layout;
    layout.Gamma = 1 / 2.2;
    layout.Sample = [](int, int, int) { return 128u; };
    const std::vector<std::uint8_t> bytes = MakePng(layout);
    TPixelGraphic g;
    Read(bytes, g);
    EXPECT_NEAR(static_cast<double>(g.GetGamma()), 2.2, 1e-3);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(128, 128, 128)); // the reader leaves samples alone
    TMemoryStream s(bytes);
    g.LoadFromStream(s); // the load corrects to the default gamma
    EXPECT_NEAR(static_cast<double>(g.GetGamma()), 1.8, 1e-9);
    EXPECT_LT(GetRValue(g.GetPixelColor(0, 0)), 128);
    layout.Gamma = 0;
    Read(MakePng(layout), g);
    EXPECT_NEAR(static_cast<double>(g.GetGamma()), 1.8, 1e-9);
}

TEST_F(Png, DescribesHeaderAndChunks)
{
    PngLayout layout;
    layout.ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
    layout.Interlaced = true;
    layout.Gamma = 0.5;
    layout.HasBackground = true;
    layout.Time = true;
    layout.Offset = true;
    Description d = Describe(MakePng(layout));
    EXPECT_EQ(d.SubFormat, "RGB, alpha, interlaced");
    EXPECT_EQ(d.Remarks, "(gama, bkgd, offs, time)");
    EXPECT_EQ(d.BitCount, 32);
    EXPECT_EQ(d.Colors, "16.7M?");
    EXPECT_EQ(d.Width, 13);
    EXPECT_EQ(d.Height, 5);
    EXPECT_EQ(d.ImageCount, 1);

    PngLayout palette;
    palette.ColorType = PNG_COLOR_TYPE_PALETTE;
    palette.Depth = 2;
    palette.Palette = Ramp(4);
    palette.TransAlpha = {0};
    palette.Sample = [](int, int, int) { return 1u; };
    d = Describe(MakePng(palette));
    EXPECT_EQ(d.SubFormat, "palette");
    EXPECT_EQ(d.Remarks, "(plte, trns)");
    EXPECT_EQ(d.Colors, "4");

    PngLayout gray;
    gray.ColorType = PNG_COLOR_TYPE_GRAY;
    gray.Depth = 16;
    gray.Offset = true; // alone, it is not worth a remark
    d = Describe(MakePng(gray));
    EXPECT_EQ(d.SubFormat, "GrayScale");
    EXPECT_EQ(d.Remarks, "");
    EXPECT_EQ(d.BitCount, 16);
    EXPECT_EQ(d.Colors, "64K?");
}

TEST_F(Png, WriterRoundTripsEveryKind)
{
    const struct {
        std::uint8_t Format;
        TPaletteIdent Palette;
        const char* SubFormat;
    } cases[] = {{pf1Bit, pBlackWhite, "palette"}, {pf4Bit, pGray16, "palette"},
                 {pf4Bit, pSys16, "palette"},      {pf8Bit, pGray256, "GrayScale"},
                 {pf8Bit, pSpecial252, "palette"}, {pf24Bit, pTrueColor, "RGB"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Palette));
        TPixelGraphic g;
        g.SetDimensions(21, 6, c.Format);
        if (c.Format != pf24Bit)
            g.SetPaletteType(c.Palette);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 21; ++x)
                g.SetPixel(
                    x, y,
                    static_cast<std::uint32_t>(x * 7919 + y * 104729) %
                        (c.Format == pf24Bit ? 0x1000000u : static_cast<std::uint32_t>(g.GetPaletteSize())));
        g.SetGamma(2.5L);
        const std::vector<std::uint8_t> bytes = Write(g);
        const Description d = Describe(bytes);
        EXPECT_EQ(d.SubFormat, c.SubFormat);
        EXPECT_EQ(d.BitCount, g.GetBitsPerPixel());
        TPixelGraphic back;
        Read(bytes, back);
        EXPECT_NEAR(static_cast<double>(back.GetGamma()), 2.5, 1e-4);
        ASSERT_EQ(back.GetPixelFormat(), c.Format);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 21; ++x)
                ASSERT_EQ(back.GetPixelColor(x, y), g.GetPixelColor(x, y)) << x << "," << y;
    }
    PNGWriteGamma = false;
    TPixelGraphic g;
    g.SetDimensions(3, 3, pf24Bit);
    EXPECT_EQ(Describe(Write(g)).Remarks, "");
}

// pngtopam's view of a file as colours, scaled to 8 bits.
std::vector<TColor> PngToPam(const std::string& file)
{
    const std::string out = test::RunOutput("pngtopam '" + file + "'");
    std::istringstream in(out);
    std::string magic;
    int w = 0, h = 0, maxval = 0;
    in >> magic >> w >> h >> maxval;
    in.get();
    const int channels = magic == "P6" ? 3 : 1;
    const int bytes = maxval > 255 ? 2 : 1;
    std::vector<TColor> pixels;
    for (int i = 0; i < w * h; ++i) {
        unsigned s[3] = {};
        for (int c = 0; c < channels; ++c) {
            for (int b = 0; b < bytes; ++b)
                s[c] = s[c] << 8 | static_cast<unsigned char>(in.get());
            s[c] = maxval > 255
                       ? s[c] >> 8
                       : (s[c] * 255 + static_cast<unsigned>(maxval) / 2) / static_cast<unsigned>(maxval);
        }
        pixels.push_back(channels == 3 ? RGB(s[0], s[1], s[2]) : RGB(s[0], s[0], s[0]));
    }
    return pixels;
}

TEST_F(Png, PngtopamSeesWhatWeSee)
{
    if (!test::HaveTool("pngtopam"))
        GTEST_SKIP() << "netpbm is not installed";
    std::vector<std::vector<std::uint8_t>> files;
    PngLayout rgb16;
    rgb16.Depth = 16;
    rgb16.Interlaced = true;
    rgb16.Sample = [](int x, int y, int c) {
        return static_cast<unsigned>(x * 4001 + y * 907 + c * 13) & 0xFFFF;
    };
    files.push_back(MakePng(rgb16));
    PngLayout gray2;
    gray2.ColorType = PNG_COLOR_TYPE_GRAY;
    gray2.Depth = 2;
    gray2.Sample = [](int x, int y, int) { return static_cast<unsigned>(x + y) % 4; };
    files.push_back(MakePng(gray2));
    PngLayout palette4;
    palette4.ColorType = PNG_COLOR_TYPE_PALETTE;
    palette4.Depth = 4;
    palette4.Interlaced = true;
    palette4.Palette = Ramp(16);
    palette4.Sample = [](int x, int y, int) { return static_cast<unsigned>(x * 3 + y) % 16; };
    files.push_back(MakePng(palette4));
    TPixelGraphic ours;
    ours.SetDimensions(17, 9, pf24Bit);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x)
            ours.SetPixelColor(x, y, RGB(x * 15, y * 28, 255 - x * 3));
    files.push_back(Write(ours));
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string path = dir_.File("f" + std::to_string(i) + ".png");
        test::WriteFileBytes(path, files[i]);
        TPixelGraphic g;
        g.LoadFromFile(path);
        const std::vector<TColor> oracle = PngToPam(path);
        ASSERT_EQ(oracle.size(), static_cast<std::size_t>(g.GetWidth() * g.GetHeight()));
        for (int y = 0; y < g.GetHeight(); ++y)
            for (int x = 0; x < g.GetWidth(); ++x)
                ASSERT_EQ(g.GetPixelColor(x, y), oracle[static_cast<std::size_t>(y * g.GetWidth() + x)])
                    << x << "," << y;
    }
}

std::uint32_t BigEndian(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// Offset of the chunk of that type (its length field), or 0.
std::size_t FindChunk(const std::vector<std::uint8_t>& bytes, const char* type)
{
    for (std::size_t at = 8; at + 8 <= bytes.size(); at += 12 + BigEndian(&bytes[at]))
        if (std::equal(type, type + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at + 4)))
            return at;
    return 0;
}

void FixCrc(std::vector<std::uint8_t>& bytes, std::size_t chunk)
{
    const std::uint32_t length = BigEndian(&bytes[chunk]);
    const uLong crc = crc32(0, &bytes[chunk + 4], length + 4);
    for (int i = 0; i < 4; ++i)
        bytes[chunk + 8 + length + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

TEST_F(Png, BrokenFilesFailCleanly)
{
    PngLayout layout;
    layout.Width = 40;
    layout.Height = 30;
    const std::vector<std::uint8_t> good = MakePng(layout);
    TPixelGraphic g;
    const std::size_t idat = FindChunk(good, "IDAT");
    const std::size_t iend = FindChunk(good, "IEND");
    for (std::size_t size : {std::size_t{8}, std::size_t{20}, idat + 30, iend}) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(PngError([&] { Read(cut, g); }), "PNG: Unexpected end of file") << size;
    }
    std::vector<std::uint8_t> crc = good;
    crc[FindChunk(good, "IHDR") + 12] ^= 0xFF;
    EXPECT_EQ(PngError([&] { Read(crc, g); }), "PNG: IHDR: CRC error");
    std::vector<std::uint8_t> data = good;
    data[idat + 20] ^= 0xFF;
    EXPECT_EQ(PngError([&] { Read(data, g); }).rfind("PNG: IDAT: ", 0), 0u);
    std::vector<std::uint8_t> signature = good;
    signature[1] = 'X';
    EXPECT_NE(PngError([&] { Read(signature, g); }).rfind("PNG: ", 0), std::string::npos);
    // A header claiming a picture beyond the size cap is refused before any
    // pixel memory is taken.
    std::vector<std::uint8_t> huge = good;
    const std::size_t ihdr = FindChunk(huge, "IHDR");
    huge[ihdr + 9] = huge[ihdr + 13] = 0x01; // 65576 x 65566
    FixCrc(huge, ihdr);
    EXPECT_EQ(PngError([&] { Read(huge, g); }), "PNG: Invalid size of image");
    // So is one within the cap whose data could never unpack to it.
    const std::uint8_t size[8] = {0, 0, 0x2A, 0xAA, 0, 0, 0xFF, 0xFF}; // 10922 x 65535, 2 GiB
    std::copy_n(size, 8, huge.begin() + static_cast<std::ptrdiff_t>(ihdr + 8));
    FixCrc(huge, ihdr);
    g.SetDimensions(2, 2, pf8Bit);
    TMemoryStream hugeStream(huge);
    EXPECT_EQ(PngError([&] { g.LoadFromStream(hugeStream); }), "PNG: Unexpected end of file");
    EXPECT_TRUE(g.GetEmpty());
    TMemoryStream s(good);
    EXPECT_EQ(PngError([&] { TPNGFileFormatReader().Read(s, g, 1); }), "PNG: Index invalid");
}

TEST_F(Png, WarningsFollowTheWarningAction)
{
    PngLayout layout;
    layout.Gamma = 0.5;
    std::vector<std::uint8_t> bytes = MakePng(layout);
    const std::size_t gama = FindChunk(bytes, "gAMA");
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(gama + 8), 4, 0); // gamma 0
    FixCrc(bytes, gama);
    test::RecordingDialogs dialogs;
    TPixelGraphic g;
    g.SetReadWarningAction(pgwaIgnore);
    Read(bytes, g);
    EXPECT_TRUE(dialogs.Shown().empty());
    g.SetReadWarningAction(pgwaOKBox);
    Read(bytes, g);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].Caption, "PNG Warning");
    const std::string text = dialogs.Shown()[0].Text;
    g.SetReadWarningAction(pgwaOKCancelBox);
    dialogs.Answer(mrCancel);
    EXPECT_EQ(PngError([&] { Read(bytes, g); }), "PNG: Operation aborted on user request");
    g.SetReadWarningAction(pgwaRaise);
    EXPECT_EQ(PngError([&] { Read(bytes, g); }), "PNG: " + text);
}

TEST_F(Png, UserAbortStopsEveryPassSilently)
{
    PngLayout layout;
    layout.Interlaced = true;
    layout.Height = 10;
    const std::vector<std::uint8_t> bytes = MakePng(layout);
    TPixelGraphic g;
    int calls = 0, max = 0, ends = 0;
    g.SetOnProgress([&](TObject*, int step, int m, bool& abort) {
        ++calls;
        max = m;
        abort = step == 12;
    });
    g.SetOnProgressEnd([&](TObject*) { ++ends; });
    Read(bytes, g);
    EXPECT_EQ(max, 70); // seven passes
    EXPECT_EQ(calls, 13);
    EXPECT_EQ(ends, 1);
}

TEST_F(Png, AFailingStreamRaisesItsOwnError)
{
    TPixelGraphic g;
    g.SetDimensions(50, 50, pf24Bit);
    TFullStream out(60);
    EXPECT_THROW(TPNGFileFormatWriter().Write(out, g), EWriteError);
}

} // namespace
} // namespace lumeno
