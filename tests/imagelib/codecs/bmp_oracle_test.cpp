// Our BMP files against netpbm, and ImageMagick's BMP files against our
// reader.

#include "imagelib/codecs/bmp_reader.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"
#include "support/test_env.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace lumeno {
namespace {

struct Ppm {
    int Width = 0, Height = 0;
    std::vector<TColor> Pixels;
    TColor At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Width + x)]; }
};

// Plain (P3) PPM with maxval 255.
Ppm ParsePlainPpm(const std::string& text)
{
    std::istringstream in(text);
    std::string magic;
    int maxval = 0;
    Ppm p;
    in >> magic >> p.Width >> p.Height >> maxval;
    EXPECT_EQ(magic, "P3");
    EXPECT_EQ(maxval, 255);
    for (int i = 0; i < p.Width * p.Height; ++i) {
        unsigned r, g, b;
        in >> r >> g >> b;
        p.Pixels.push_back(RGB(r, g, b));
    }
    return p;
}

std::string PlainPpm(int w, int h, const std::vector<TColor>& pixels)
{
    std::string s = "P3\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    for (TColor c : pixels)
        s += std::to_string(GetRValue(c)) + " " + std::to_string(GetGValue(c)) + " " +
             std::to_string(GetBValue(c)) + "\n";
    return s;
}

// 7 × 5 with a handful of colours (enough for 4 bits), varied per row.
std::vector<TColor> TestPixels()
{
    const TColor colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(10, 20, 30),
                              RGB(255, 255, 255), RGB(0, 0, 0), RGB(200, 100, 50)};
    std::vector<TColor> p;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            p.push_back(colours[(x + 2 * y) % 7]);
    return p;
}

class BmpOracle : public ::testing::Test {
protected:
    void SetUp() override { PGStartup(); }
    void TearDown() override { PGShutdown(); }
    test::TempDir dir_;
};

void ExpectNear(TColor a, TColor b, int tolerance, int x, int y)
{
    EXPECT_NEAR(static_cast<int>(GetRValue(a)), static_cast<int>(GetRValue(b)), tolerance) << x << "," << y;
    EXPECT_NEAR(static_cast<int>(GetGValue(a)), static_cast<int>(GetGValue(b)), tolerance) << x << "," << y;
    EXPECT_NEAR(static_cast<int>(GetBValue(a)), static_cast<int>(GetBValue(b)), tolerance) << x << "," << y;
}

TEST_F(BmpOracle, NetpbmReadsWhatWeWrite)
{
    if (!test::HaveTool("bmptopnm") || !test::HaveTool("ppmtoppm"))
        GTEST_SKIP() << "netpbm is not installed";
    const auto pixels = TestPixels();
    for (std::uint8_t format : {pf1Bit, pf4Bit, pf8Bit, pf24Bit}) {
        TPixelGraphic g;
        g.SetDimensions(7, 5, format);
        if (format == pf1Bit) {
            g.SetPaletteSize(2);
            g.SetPaletteEntry(0, RGB(200, 100, 50));
            g.SetPaletteEntry(1, RGB(10, 20, 30));
        } else if (format != pf24Bit) {
            g.SetPaletteSize(7);
            for (int i = 0; i < 7; ++i)
                g.SetPaletteEntry(i, pixels[static_cast<std::size_t>(i)]);
        }
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                g.SetPixelColor(x, y, pixels[static_cast<std::size_t>(y * 7 + x)]);
        const std::string file = dir_.File("out" + std::to_string(format) + ".bmp");
        g.SaveToFile(file);
        const Ppm p = ParsePlainPpm(test::RunOutput("bmptopnm '" + file + "' 2>/dev/null | ppmtoppm -plain"));
        ASSERT_EQ(p.Width, 7);
        ASSERT_EQ(p.Height, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(p.At(x, y), g.GetPixelColor(x, y)) << int(format) << ": " << x << "," << y;
    }
}

TEST_F(BmpOracle, WeReadImageMagickVariants)
{
    if (!test::HaveTool("convert-im6.q16"))
        GTEST_SKIP() << "ImageMagick 6 is not installed";
    const auto pixels = TestPixels();
    const std::string source = dir_.File("source.ppm");
    const std::string text = PlainPpm(7, 5, pixels);
    test::WriteFileBytes(source, std::vector<unsigned char>(text.begin(), text.end()));
    struct Variant {
        const char* Options;
        const char* SubFormat;
        int Tolerance;
    };
    const Variant variants[] = {
        {"-type palette BMP3:", "Windows, RGB", 0},
        {"-type palette -compress RLE BMP3:", "Windows, RLE8", 0},
        {"-type palette BMP2:", "OS/2", 0},
        {"-type truecolor BMP3:", "Windows, RGB", 0},
        {"-type truecolor BMP:", "Windows, RGB", 0},
        {"-define bmp:subtype=RGB565 BMP:", "Windows", 8},
        {"-define bmp:subtype=RGB555 BMP:", "Windows", 8},
        {"-alpha set -define bmp:subtype=ARGB8888 BMP:", "Windows", 0},
    };
    int n = 0;
    for (const Variant& v : variants) {
        const std::string file = dir_.File("v" + std::to_string(n++) + ".bmp");
        ASSERT_EQ(test::Run("convert-im6.q16 '" + source + "' " + v.Options + "'" + file + "'"), 0) << v.Options;
        TGraphicInfo info;
        ASSERT_TRUE(GetGraphicFileInfo(file, 0, info)) << v.Options;
        EXPECT_EQ(info.SubFormat, v.SubFormat) << v.Options;
        TPixelGraphic g;
        g.LoadFromFile(file);
        ASSERT_EQ(g.GetWidth(), 7) << v.Options;
        ASSERT_EQ(g.GetHeight(), 5) << v.Options;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                ExpectNear(g.GetPixelColor(x, y), pixels[static_cast<std::size_t>(y * 7 + x)], v.Tolerance, x, y);
    }
}

} // namespace
} // namespace lumeno
