#include "imagelib/codecs/pcx_reader.h"
#include "codec_test_support.h"
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

struct PcxSpec {
    int Version = 5;
    int Bits = 8;
    int Planes = 1;
    int Width = 1;
    int Height = 1;
    int BytesPerLine = 0; // 0: what the width needs
    int PaletteInfo = 1;
    int Reserved = 0;
    std::vector<TColor> ColorMap;   // up to 16 header entries
    std::vector<Bytes> Lines;       // decoded scan lines, all planes
    std::vector<TColor> EndPalette; // written with its marker when not empty
    Bytes Data;                     // encoded data used instead of Lines when not empty
};

void Put16(Bytes& b, std::size_t at, int v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Runs of up to 63; bytes with both top bits set always go in a run.
Bytes Encode(const Bytes& line)
{
    Bytes out;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t n = 1;
        while (i + n < line.size() && line[i + n] == line[i] && n < 63)
            ++n;
        if (n > 1 || (line[i] & 0xC0) == 0xC0)
            out.push_back(static_cast<std::uint8_t>(0xC0 | n));
        out.push_back(line[i]);
        i += n;
    }
    return out;
}

Bytes MakePcx(const PcxSpec& s)
{
    Bytes b(128, 0);
    b[0] = 0x0A;
    b[1] = static_cast<std::uint8_t>(s.Version);
    b[2] = 1;
    b[3] = static_cast<std::uint8_t>(s.Bits);
    Put16(b, 4, 0);
    Put16(b, 6, 0);
    Put16(b, 8, s.Width - 1);
    Put16(b, 10, s.Height - 1);
    for (std::size_t i = 0; i < s.ColorMap.size(); ++i) {
        b[16 + 3 * i] = static_cast<std::uint8_t>(GetRValue(s.ColorMap[i]));
        b[17 + 3 * i] = static_cast<std::uint8_t>(GetGValue(s.ColorMap[i]));
        b[18 + 3 * i] = static_cast<std::uint8_t>(GetBValue(s.ColorMap[i]));
    }
    b[64] = static_cast<std::uint8_t>(s.Reserved);
    b[65] = static_cast<std::uint8_t>(s.Planes);
    Put16(b, 66, s.BytesPerLine ? s.BytesPerLine : (s.Width * s.Bits + 7) / 8);
    Put16(b, 68, s.PaletteInfo);
    if (!s.Data.empty())
        b.insert(b.end(), s.Data.begin(), s.Data.end());
    for (const Bytes& line : s.Lines) {
        const Bytes e = Encode(line);
        b.insert(b.end(), e.begin(), e.end());
    }
    if (!s.EndPalette.empty()) {
        b.push_back(0x0C);
        for (int i = 0; i < 256; ++i) {
            const TColor c =
                i < static_cast<int>(s.EndPalette.size()) ? s.EndPalette[static_cast<std::size_t>(i)] : 0;
            b.push_back(static_cast<std::uint8_t>(GetRValue(c)));
            b.push_back(static_cast<std::uint8_t>(GetGValue(c)));
            b.push_back(static_cast<std::uint8_t>(GetBValue(c)));
        }
    }
    return b;
}

class Pcx : public ::testing::Test {
protected:
    void SetUp() override { PGStartup(); }
    void TearDown() override { PGShutdown(); }

    static void Load(TPixelGraphic& g, const Bytes& bytes)
    {
        TMemoryStream s(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        g.LoadFromStream(s);
    }

    static std::string LoadError(const Bytes& bytes, TPixelGraphic* keep = nullptr)
    {
        TPixelGraphic own;
        return test::ErrorText<EPGPCXFileFormatReader>([&] { Load(keep ? *keep : own, bytes); });
    }

    test::TempDir dir_;
};

TEST_F(Pcx, EightBitIndicesTakeTheEndPalette)
{
    PcxSpec s;
    s.Width = 3;
    s.Height = 2;
    s.BytesPerLine = 4; // even, one byte of padding
    s.Lines = {{0, 1, 2, 0}, {2, 2, 2, 0}};
    s.EndPalette = {RGB(1, 2, 3), RGB(255, 0, 0), RGB(0, 0, 255)};
    TPixelGraphic g;
    Load(g, MakePcx(s));
    ASSERT_EQ(g.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(g.GetPaletteSize(), 256);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(g.GetPixelColor(2, 1), RGB(0, 0, 255));
    EXPECT_EQ(g.GetGamma(), 1.8L);
}

TEST_F(Pcx, ThreePlanesAreRedGreenBlue)
{
    PcxSpec s;
    s.Planes = 3;
    s.Width = 2;
    s.Height = 1;
    s.Lines = {{10, 11, 20, 21, 30, 31}};
    TPixelGraphic g;
    Load(g, MakePcx(s));
    ASSERT_EQ(g.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(11, 21, 31));
}

TEST_F(Pcx, OneBitIsBlackAndWhiteAndFourPlanesWeighPlaneZeroLowest)
{
    PcxSpec mono;
    mono.Bits = 1;
    mono.Width = 10;
    mono.Lines = {{0xA0, 0xFF}};
    TPixelGraphic g;
    Load(g, MakePcx(mono));
    ASSERT_EQ(g.GetPixelFormat(), pf1Bit);
    EXPECT_EQ(g.GetPaletteType(), pBlackWhite);
    EXPECT_EQ(g.GetPixel(0, 0), 1u);
    EXPECT_EQ(g.GetPixel(1, 0), 0u);
    EXPECT_EQ(g.GetPixel(9, 0), 1u);
    EXPECT_EQ(g.GetScanLine(0)[1], 0xC0) << "bits past the width are cleared";

    PcxSpec planes;
    planes.Bits = 1;
    planes.Planes = 4;
    planes.Width = 9;
    // Pixel 0 has planes 0 and 2 set (5), pixel 1 plane 3 (8), pixel 8 all (15).
    planes.Lines = {{0x80, 0x80, 0x00, 0x80, 0x80, 0x80, 0x40, 0x80}};
    for (int i = 0; i < 16; ++i)
        planes.ColorMap.push_back(RGB(i * 16, 255 - i, i));
    Load(g, MakePcx(planes));
    ASSERT_EQ(g.GetPixelFormat(), pf4Bit);
    EXPECT_EQ(g.GetPixel(0, 0), 5u);
    EXPECT_EQ(g.GetPixel(1, 0), 8u);
    EXPECT_EQ(g.GetPixel(2, 0), 0u);
    EXPECT_EQ(g.GetPixel(8, 0), 15u);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(80, 250, 5)) << "the header's colour map";

    planes.Version = 3;
    Load(g, MakePcx(planes));
    EXPECT_EQ(g.GetPaletteType(), pSys16) << "version 3 ignores the header's map";
}

TEST_F(Pcx, RunsStopAtTheirLineAndAZeroRunWritesNothing)
{
    PcxSpec s;
    s.Width = 4;
    s.Height = 2;
    // Line 0: a run of 6 sevens cut at 4; line 1: a zero run (consumes its 9),
    // then 1, 2, 3, 4.
    s.Data = {0xC6, 7, 0xC0, 9, 1, 2, 3, 4};
    s.EndPalette.assign(256, 0);
    TPixelGraphic g;
    Load(g, MakePcx(s));
    EXPECT_EQ(g.GetPixel(3, 0), 7u);
    EXPECT_EQ(g.GetPixel(0, 1), 1u);
    EXPECT_EQ(g.GetPixel(3, 1), 4u);
}

TEST_F(Pcx, BytesPerLineShorterOrLongerThanTheRowStaysInside)
{
    // 24 bits, width 5: three planes of 2 bytes (short) then of 9 (long).
    PcxSpec s;
    s.Planes = 3;
    s.Width = 5;
    s.BytesPerLine = 2;
    s.Lines = {{1, 2, 3, 4, 5, 6}};
    TPixelGraphic g;
    Load(g, MakePcx(s));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(2, 4, 6));
    EXPECT_EQ(g.GetPixelColor(2, 0), RGB(0, 0, 0)) << "the rest of the row is zero";

    s.BytesPerLine = 9;
    s.Lines = {Bytes(27, 0x11)};
    Load(g, MakePcx(s));
    EXPECT_EQ(g.GetPixelColor(4, 0), RGB(0x11, 0x11, 0x11));

    PcxSpec planes;
    planes.Bits = 1;
    planes.Planes = 4;
    planes.Width = 20;
    planes.BytesPerLine = 1;
    planes.Lines = {{0xFF, 0xFF, 0xFF, 0xFF}};
    planes.ColorMap.assign(16, 0);
    Load(g, MakePcx(planes));
    EXPECT_EQ(g.GetPixel(7, 0), 15u);
    EXPECT_EQ(g.GetPixel(8, 0), 0u);
}

TEST_F(Pcx, UnknownLayoutsAreRejected)
{
    const std::string unknown = "PCX: Unknown subformat";
    PcxSpec s;
    s.Planes = 3;
    s.Lines = {{1, 2, 3}};
    PcxSpec grey = s;
    grey.PaletteInfo = 2;
    EXPECT_EQ(LoadError(MakePcx(grey)), unknown);
    PcxSpec reserved = s;
    reserved.Reserved = 1;
    EXPECT_EQ(LoadError(MakePcx(reserved)), unknown);
    PcxSpec packed = s;
    packed.Bits = 4;
    packed.Planes = 1;
    EXPECT_EQ(LoadError(MakePcx(packed)), unknown);
    Bytes inverted = MakePcx(s);
    Put16(inverted, 4, 5); // xmin 5 > xmax 0
    EXPECT_EQ(LoadError(inverted), unknown);

    PcxSpec indexed;
    indexed.Lines = {{1}};
    indexed.EndPalette.assign(256, 0);
    Bytes noMarker = MakePcx(indexed);
    noMarker[noMarker.size() - 769] = 0x0B;
    EXPECT_EQ(LoadError(noMarker), unknown);
    indexed.EndPalette.clear();
    EXPECT_EQ(LoadError(MakePcx(indexed)), unknown) << "too short for its palette";
}

TEST_F(Pcx, ShortDataFailsAndKeepsTheRowsDecoded)
{
    PcxSpec s;
    s.Planes = 3;
    s.Width = 2;
    s.Height = 3;
    s.Lines = {{10, 11, 20, 21, 30, 31}, {1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    Bytes bytes = MakePcx(s);
    bytes.resize(bytes.size() - 2);
    TPixelGraphic g;
    EXPECT_EQ(LoadError(bytes, &g), "PCX: Unexpected end of file");
    EXPECT_EQ(g.GetPixelColor(1, 1), RGB(2, 4, 6));

    // A header promising far more lines than the file holds takes no memory.
    PcxSpec huge;
    huge.Planes = 3;
    huge.Width = 20000;
    huge.Height = 20000;
    huge.Lines = {{1, 2, 3}};
    EXPECT_EQ(LoadError(MakePcx(huge), &g), "PCX: Unexpected end of file");
}

// A blank page as ppmtopcx writes it: a run of 63 and one literal per line,
// exactly the fewest bytes the lines can take.
TEST_F(Pcx, TightlyEncodedLongLinesAreRead)
{
    PcxSpec s;
    s.Bits = 1;
    s.Width = 512;
    s.Height = 100;
    s.Lines.assign(100, Bytes(64, 0));
    const Bytes bytes = MakePcx(s);
    ASSERT_EQ(bytes.size(), 428u);
    TPixelGraphic g;
    Load(g, bytes);
    EXPECT_EQ(g.GetWidth(), 512);
    EXPECT_EQ(g.GetPixel(511, 99), 0u);
}

TEST_F(Pcx, ZeroBytesPerLineIsRefused)
{
    PcxSpec s;
    s.Lines = {{1}};
    s.EndPalette.assign(256, 0);
    Bytes bytes = MakePcx(s);
    Put16(bytes, 66, 0);
    TPixelGraphic g;
    EXPECT_EQ(LoadError(bytes, &g), "PCX: Unknown subformat");
}

TEST_F(Pcx, InfoAndIndex)
{
    PcxSpec s;
    s.Planes = 3;
    s.Width = 7;
    s.Height = 4;
    TMemoryStream stream(MakePcx(s));
    TGraphicInfo info;
    ASSERT_TRUE(GetGraphicStreamInfo(stream, "", 0, info));
    EXPECT_EQ(info.FormatName, "Paintbrush");
    EXPECT_EQ(info.SubFormat, "Version 3.0 (5)");
    EXPECT_EQ(info.Width, 7);
    EXPECT_EQ(info.Height, 4);
    EXPECT_EQ(info.BitCount, 24);
    EXPECT_EQ(info.Colors, "16.7M");

    TPCXFileFormatReader reader;
    TPixelGraphic g;
    stream.SetPosition(0);
    try {
        reader.Read(stream, g, 1);
        FAIL();
    } catch (const EPGPCXFileFormatReader& e) {
        EXPECT_STREQ(e.what(), "PCX: Index invalid");
    }
}

// netpbm's and ImageMagick's PCX files, read by us and by pcxtoppm.
TEST_F(Pcx, ReadsLikePcxtoppm)
{
    if (!test::HaveTool("pcxtoppm") || !test::HaveTool("ppmtopcx") || !test::HaveTool("convert-im6.q16"))
        GTEST_SKIP() << "netpbm or ImageMagick is not installed";
    const std::string src = dir_.File("src.ppm");
    ASSERT_EQ(test::Run("convert-im6.q16 -size 61x37 plasma:fractal -seed 7 " + src), 0);
    const std::string grey16 = dir_.File("g16.ppm"), mono = dir_.File("mono.pbm");
    ASSERT_EQ(test::Run("convert-im6.q16 " + src + " -colors 16 " + grey16), 0);
    ASSERT_EQ(test::Run("convert-im6.q16 " + src + " -monochrome " + mono), 0);
    const std::vector<std::string> commands = {"ppmtopcx -24bit " + src,
                                               "ppmtopcx -8bit " + src,
                                               "ppmtopcx " + grey16,
                                               "ppmtopcx -planes=4 " + grey16,
                                               "ppmtopcx " + mono,
                                               "convert-im6.q16 " + src + " pcx:-",
                                               "convert-im6.q16 " + src + " -colors 200 pcx:-"};
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const std::string pcx = dir_.File("x.pcx");
        ASSERT_EQ(test::Run(command + " > " + pcx + " 2>/dev/null"), 0);
        TPixelGraphic g;
        g.LoadFromFile(pcx);
        test::ExpectSamePixels(g, test::RunNetpbm("pcxtoppm " + pcx));
    }
}

} // namespace
} // namespace lumeno
