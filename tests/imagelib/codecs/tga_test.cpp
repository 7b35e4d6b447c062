#include "imagelib/codecs/tga_reader.h"
#include "codec_test_support.h"
#include "imagelib/codecs/tga_writer.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "netpbm_picture.h"
#include "platform/stream.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct TgaSpec {
    int ImageType = 2;
    int Depth = 24;
    int Width = 1;
    int Height = 1;
    int Descriptor = 0;
    int MapType = 0;
    int MapFirst = 0;
    int MapEntrySize = 24;
    Bytes Id;
    Bytes Map; // raw entries
    int MapLength = 0;
    Bytes Pixels; // raw (or encoded) pixel data
};

Bytes MakeTga(const TgaSpec& s)
{
    Bytes b(18, 0);
    auto put16 = [&](std::size_t at, int v) {
        b[at] = static_cast<std::uint8_t>(v);
        b[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    b[0] = static_cast<std::uint8_t>(s.Id.size());
    b[1] = static_cast<std::uint8_t>(s.MapType);
    b[2] = static_cast<std::uint8_t>(s.ImageType);
    put16(3, s.MapFirst);
    put16(5, s.MapLength);
    b[7] = static_cast<std::uint8_t>(s.MapEntrySize);
    put16(12, s.Width);
    put16(14, s.Height);
    b[16] = static_cast<std::uint8_t>(s.Depth);
    b[17] = static_cast<std::uint8_t>(s.Descriptor);
    for (const Bytes* part : {&s.Id, &s.Map, &s.Pixels})
        b.insert(b.end(), part->begin(), part->end());
    return b;
}

class Tga : public ::testing::Test {
protected:
    void SetUp() override { PGStartup(); }
    void TearDown() override { PGShutdown(); }

    static void Load(TPixelGraphic& g, const Bytes& bytes)
    {
        TMemoryStream s(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        g.LoadFromStreamAs(s, "tga");
    }

    static std::string LoadError(const Bytes& bytes, TPixelGraphic* keep = nullptr)
    {
        TPixelGraphic own;
        return test::ErrorText<EPGTGAFileFormatReader>([&] { Load(keep ? *keep : own, bytes); });
    }

    test::TempDir dir_;
};

TEST_F(Tga, RowOrderAndDirectionFollowTheDescriptor)
{
    TgaSpec s;
    s.Width = 2;
    s.Height = 2;
    s.Id = {'h', 'i'};
    s.Pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}; // blue, green, red
    TPixelGraphic g;
    Load(g, MakeTga(s));
    EXPECT_EQ(g.GetPixelColor(0, 1), RGB(3, 2, 1)) << "bottom-up: the first file row is the bottom one";
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(12, 11, 10));
    s.Descriptor = 0x20;
    Load(g, MakeTga(s));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(3, 2, 1)) << "top-down reads upright";
    s.Descriptor = 0x30;
    Load(g, MakeTga(s));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(3, 2, 1)) << "right to left";
    EXPECT_EQ(g.GetPixelColor(0, 1), RGB(12, 11, 10));
}

TEST_F(Tga, SixteenAndThirtyTwoBitPixelsBecomeTrueColour)
{
    TgaSpec s;
    s.Width = 2;
    s.Depth = 16;
    s.Pixels = {0x00, 0x7C, 0xFF, 0x7F};
    TPixelGraphic g;
    Load(g, MakeTga(s));
    ASSERT_EQ(g.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(248, 0, 0));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(248, 248, 248));
    s.Depth = 32;
    s.Pixels = {1, 2, 3, 99, 4, 5, 6, 99};
    Load(g, MakeTga(s));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(6, 5, 4));
}

TEST_F(Tga, ColourMapsAndGreys)
{
    TgaSpec s;
    s.ImageType = 1;
    s.Depth = 8;
    s.Width = 3;
    s.MapType = 1;
    s.MapEntrySize = 16;
    s.MapLength = 2;
    s.Map = {0x00, 0x7C, 0xE0, 0x03};
    s.Pixels = {0, 1, 1};
    TPixelGraphic g;
    Load(g, MakeTga(s));
    ASSERT_EQ(g.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(g.GetPaletteSize(), 2);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(248, 0, 0));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(0, 248, 0));

    s.MapEntrySize = 15;
    Load(g, MakeTga(s));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(248, 0, 0)) << "15-bit entries take two bytes";

    // Entry k lands at first + k.
    s.MapEntrySize = 24;
    s.MapFirst = 5;
    s.MapLength = 1;
    s.Map = {30, 20, 10};
    s.Pixels = {5, 0, 5};
    Load(g, MakeTga(s));
    EXPECT_EQ(g.GetPaletteSize(), 6);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(0, 0, 0));

    // A map past 256 entries keeps what fits.
    s.MapFirst = 250;
    s.MapLength = 10;
    s.Map.assign(30, 7);
    s.Pixels = {255, 0, 0};
    Load(g, MakeTga(s));
    EXPECT_EQ(g.GetPaletteSize(), 256);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(7, 7, 7));

    TgaSpec grey;
    grey.ImageType = 3;
    grey.Depth = 8;
    grey.Pixels = {77};
    Load(g, MakeTga(grey));
    EXPECT_EQ(g.GetPaletteType(), pGray256);
    EXPECT_EQ(g.GetPixel(0, 0), 77u);
}

TEST_F(Tga, RunLengthPacketsMayCrossRowsButNotTheImage)
{
    TgaSpec s;
    s.ImageType = 11;
    s.Depth = 8;
    s.Width = 3;
    s.Height = 2;
    s.Descriptor = 0x20;
    // A run of 4 nines crosses into row 1; then 2 raw values, one too many.
    s.Pixels = {0x83, 9, 0x02, 1, 2, 3};
    TPixelGraphic g;
    Load(g, MakeTga(s));
    EXPECT_EQ(g.GetPixel(2, 0), 9u);
    EXPECT_EQ(g.GetPixel(0, 1), 9u);
    EXPECT_EQ(g.GetPixel(1, 1), 1u);
    EXPECT_EQ(g.GetPixel(2, 1), 2u);

    TgaSpec colour;
    colour.ImageType = 10;
    colour.Width = 130;
    colour.Pixels = {0xFF, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9};
    Load(g, MakeTga(colour));
    EXPECT_EQ(g.GetPixelColor(127, 0), RGB(3, 2, 1));
    EXPECT_EQ(g.GetPixelColor(129, 0), RGB(9, 8, 7));
}

TEST_F(Tga, UnsupportedAndShortFilesRaise)
{
    TgaSpec s;
    s.Pixels = {1, 2, 3};
    for (const int type : {0, 4, 32, 33}) {
        TgaSpec t = s;
        t.ImageType = type;
        EXPECT_EQ(LoadError(MakeTga(t)), "TGA: Not supported subformat") << type;
    }
    TgaSpec depth = s;
    depth.Depth = 15;
    EXPECT_EQ(LoadError(MakeTga(depth)), "TGA: Not supported subformat");
    TgaSpec entry = s;
    entry.ImageType = 1;
    entry.Depth = 8;
    entry.MapType = 1;
    entry.MapLength = 1;
    entry.MapEntrySize = 8;
    entry.Map = {1};
    EXPECT_EQ(LoadError(MakeTga(entry)), "TGA: Not supported subformat");

    TgaSpec rows;
    rows.Width = 1;
    rows.Height = 3;
    rows.Descriptor = 0x20;
    rows.Pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    TPixelGraphic g;
    EXPECT_EQ(LoadError(MakeTga(rows), &g), "TGA: Unexpected end of file") << "checked before reading";
    rows.ImageType = 10;
    rows.Pixels = {0x00, 1, 2, 3, 0x00, 4, 5, 6, 0x00, 7};
    EXPECT_EQ(LoadError(MakeTga(rows), &g), "TGA: Unexpected end of file");
    EXPECT_EQ(g.GetPixelColor(0, 1), RGB(6, 5, 4)) << "rows read so far are kept";

    TgaSpec huge;
    huge.Width = 30000;
    huge.Height = 20000;
    EXPECT_EQ(LoadError(MakeTga(huge)), "TGA: Unexpected end of file");
}

TEST_F(Tga, FoundByExtensionOnly)
{
    TgaSpec s;
    s.Pixels = {1, 2, 3};
    const Bytes bytes = MakeTga(s);
    TMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    TPixelGraphic g;
    EXPECT_THROW(g.LoadFromStream(stream), EPGUnknownFileFormat);
    const std::string path = dir_.File("a.TGA");
    test::WriteFileBytes(path, bytes);
    g.LoadFromFile(path);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(3, 2, 1));

    TGraphicInfo info;
    ASSERT_TRUE(GetGraphicFileInfo(path, 0, info));
    EXPECT_EQ(info.FormatName, "Truevision Targa");
    EXPECT_EQ(info.SubFormat, "Uncompressed");
    EXPECT_EQ(info.Remarks, "True-color");
    EXPECT_EQ(info.Colors, "16.7M");
    s.ImageType = 11;
    s.Depth = 32;
    const Bytes grey = MakeTga(s);
    TMemoryStream greyStream(grey.data(), static_cast<std::int64_t>(grey.size()));
    ASSERT_TRUE(GetGraphicStreamInfo(greyStream, "tga", 0, info));
    EXPECT_EQ(info.SubFormat, "Run-length encoded");
    EXPECT_EQ(info.Remarks, "\"Black-and-white\"");
    EXPECT_EQ(info.Colors, "16.7M ?");
    s.ImageType = 5;
    const Bytes odd = MakeTga(s);
    TMemoryStream oddStream(odd.data(), static_cast<std::int64_t>(odd.size()));
    EXPECT_THROW(GetGraphicStreamInfo(oddStream, "tga", 0, info), EPGTGAFileFormatReader);
}

TEST_F(Tga, WriterRoundTripsAndSixteenColoursAreConvertedFirst)
{
    TPixelGraphic g;
    g.SetDimensions(5, 3, pf24Bit);
    g.SetPixelColor(0, 0, RGB(1, 2, 3));
    g.SetPixelColor(4, 2, RGB(200, 100, 0));
    TMemoryStream s;
    g.SaveToStreamAs(s, "tga");
    EXPECT_EQ(s.GetSize(), 18 + 5 * 3 * 3);
    s.SetPosition(0);
    TPixelGraphic back;
    back.LoadFromStreamAs(s, "tga");
    EXPECT_EQ(back.GetPixelColor(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(back.GetPixelColor(4, 2), RGB(200, 100, 0));

    TPixelGraphic sixteen;
    sixteen.SetDimensions(4, 2, pf4Bit);
    sixteen.SetPaletteType(pSys16);
    sixteen.SetPixel(1, 1, 9);
    sixteen.SetSaveColorResWarningAction(pgwaIgnore);
    TMemoryStream m;
    sixteen.SaveToStreamAs(m, "tga");
    m.SetPosition(0);
    back.LoadFromStreamAs(m, "tga");
    EXPECT_EQ(back.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(back.GetPixelColor(1, 1), sixteen.GetPixelColor(1, 1));
    EXPECT_EQ(back.GetPixelColor(0, 0), sixteen.GetPixelColor(0, 0));

    TPixelGraphic wide;
    wide.SetDimensions(70000, 1, pf24Bit);
    TMemoryStream w;
    EXPECT_THROW(TTGAFileFormatWriter().Write(w, wide), EPGTGAFileFormatReader);
}

TEST_F(Tga, AgreesWithNetpbm)
{
    if (!test::HaveTool("tgatoppm") || !test::HaveTool("pamtotga") || !test::HaveTool("convert-im6.q16"))
        GTEST_SKIP() << "netpbm or ImageMagick is not installed";
    const std::string src = dir_.File("src.ppm"), few = dir_.File("few.ppm"), grey = dir_.File("grey.pgm");
    ASSERT_EQ(test::Run("convert-im6.q16 -size 203x71 plasma:fractal -seed 3 -depth 8 " + src), 0);
    ASSERT_EQ(test::Run("convert-im6.q16 " + src + " -colors 100 -depth 8 " + few), 0);
    ASSERT_EQ(test::Run("convert-im6.q16 " + src + " -colorspace gray -depth 8 " + grey), 0);
    const std::vector<std::string> commands = {"pamtotga -rgb " + src,
                                               "pamtotga -rgb -norle " + src,
                                               "pamtotga -cmap " + few,
                                               "pamtotga -cmap -norle " + few,
                                               "pamtotga -mono " + grey,
                                               "pamtotga -mono -norle " + grey,
                                               "convert-im6.q16 " + src +
                                                   " -flip -define tga:image-origin=TopLeft tga:-",
                                               "convert-im6.q16 " + src + " -compress RLE tga:-"};
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const std::string tga = dir_.File("x.tga");
        ASSERT_EQ(test::Run(command + " > " + tga + " 2>/dev/null"), 0);
        TPixelGraphic g;
        g.LoadFromFile(tga);
        test::ExpectSamePixels(g, test::RunNetpbm("tgatoppm " + tga));
    }

    // What we write, netpbm reads equal to the source.
    TPixelGraphic colour, mapped;
    colour.LoadFromFile(src);
    mapped.LoadFromFile(few);
    mapped.SetSaveColorResWarningAction(pgwaIgnore);
    for (TPixelGraphic* image : {&colour, &mapped}) {
        const std::string out = dir_.File("out.tga");
        image->SaveToFile(out);
        test::ExpectSamePixels(*image, test::RunNetpbm("tgatoppm " + out));
    }
}

} // namespace
} // namespace lumeno
