#include "imagelib/codecs/pnm_reader.h"
#include "codec_test_support.h"
#include "imagelib/codecs/pnm_writer.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "netpbm_picture.h"
#include "platform/stream.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumeno {
namespace {

class Pnm : public ::testing::Test {
protected:
    void SetUp() override { PGStartup(); }
    void TearDown() override { PGShutdown(); }

    static void Load(TPixelGraphic& g, const std::string& text)
    {
        TMemoryStream s(text.data(), static_cast<std::int64_t>(text.size()));
        g.LoadFromStream(s);
    }

    static std::string LoadError(const std::string& text)
    {
        TPixelGraphic g;
        return test::ErrorText<EPGPxMFileFormatReader>([&] { Load(g, text); });
    }

    static std::string Written(TPixelGraphic& g, const std::string& extension, bool binary)
    {
        PxMBinary = binary;
        TMemoryStream s;
        g.SaveToStreamAs(s, extension);
        PxMBinary = false;
        return std::string(s.Data().begin(), s.Data().end());
    }

    test::TempDir dir_;
};

TEST_F(Pnm, AsciiSamplesAreScaledByTheirMaximum)
{
    TPixelGraphic g;
    Load(g, "P3\n2 1\n15\n15 7 0  99 0 15\n");
    ASSERT_EQ(g.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(255, 119, 0));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(255, 0, 255)) << "values above the maximum are clamped";

    Load(g, "P2 3 1 65535 65535 32768 257");
    ASSERT_EQ(g.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(g.GetPaletteType(), pGray256);
    EXPECT_EQ(g.GetPixel(0, 0), 255u);
    EXPECT_EQ(g.GetPixel(1, 0), 127u);
    EXPECT_EQ(g.GetPixel(2, 0), 1u);
    EXPECT_EQ(g.GetGamma(), 1.8L);
}

TEST_F(Pnm, CommentsAreSkippedBetweenTokensButNotInBinaryPixels)
{
    TPixelGraphic g;
    Load(g, "P2\n# made by hand\n4 #width\n3\n255\n1 2 3 4 5 6 7 8 # end of row two\n9 10 11 12");
    EXPECT_EQ(g.GetWidth(), 4);
    EXPECT_EQ(g.GetHeight(), 3);
    EXPECT_EQ(g.GetPixel(3, 2), 12u);

    Load(g, "P5 2 1 255\n#!");
    EXPECT_EQ(g.GetPixel(0, 0), static_cast<std::uint32_t>('#'));
    EXPECT_EQ(g.GetPixel(1, 0), static_cast<std::uint32_t>('!'));
}

TEST_F(Pnm, PlainBitmapsReadWithOrWithoutSeparators)
{
    TPixelGraphic g;
    for (const std::string text :
         {"P1\n10 2\n1 0 1 0 0 0 0 0 0 1\n0 0 0 0 0 0 0 0 0 0\n", "P1\n10 2\n1010000001\n0000000000\n",
          "P1 10 2 101000#c\n0001 0000000000"}) {
        SCOPED_TRACE(text);
        Load(g, text);
        ASSERT_EQ(g.GetPixelFormat(), pf1Bit);
        EXPECT_EQ(g.GetPaletteType(), pBlackWhite);
        EXPECT_EQ(g.GetPixel(0, 0), 0u) << "1 is black";
        EXPECT_EQ(g.GetPixel(1, 0), 1u);
        EXPECT_EQ(g.GetPixel(2, 0), 0u);
        EXPECT_EQ(g.GetPixel(9, 0), 0u);
        EXPECT_EQ(g.GetPixel(5, 1), 1u);
    }
}

TEST_F(Pnm, BinaryVariants)
{
    TPixelGraphic g;
    Load(g, std::string("P4 10 2\n") + "\xA0\x40" + std::string(2, '\0'));
    EXPECT_EQ(g.GetPixel(0, 0), 0u);
    EXPECT_EQ(g.GetPixel(1, 0), 1u);
    EXPECT_EQ(g.GetPixel(9, 0), 0u);
    EXPECT_EQ(g.GetPixel(9, 1), 1u);

    Load(g, std::string("P6 2 1 127\n\x7F\x00\x40\x10\xFF\x01", 17));
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(255, 0, 128));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(32, 255, 2));

    Load(g, std::string("P5 1 1 255\n") + "\xC8");
    EXPECT_EQ(g.GetPixel(0, 0), 200u);
}

// Binary pixmaps of widths around the byte shuffles' steps, and a row wider
// than the writer's buffer, come back as they went.
TEST_F(Pnm, BinaryPixmapsOfEveryWidthGoAndComeBack)
{
    for (const int width : {1, 2, 5, 6, 7, 11, 16, 17, 400000}) {
        TPixelGraphic g, back;
        g.SetDimensions(width, 2, pf24Bit);
        for (int y = 0; y < 2; ++y) {
            std::uint8_t* row = g.GetScanLine(y);
            for (int i = 0; i < width * 3; ++i)
                row[i] = static_cast<std::uint8_t>(i * 7 + y * 13 + i / 251);
        }
        const std::string file = Written(g, "ppm", true);
        EXPECT_EQ(static_cast<std::uint8_t>(file[file.size() - 3]), g.GetScanLine(1)[width * 3 - 1]) << width;
        Load(back, file);
        ASSERT_EQ(back.GetWidth(), width);
        for (int y = 0; y < 2; ++y)
            EXPECT_TRUE(std::equal(g.GetScanLine(y), g.GetScanLine(y) + width * 3, back.GetScanLine(y))) << width;
    }
}

TEST_F(Pnm, EveryReaderReadsEveryVariant)
{
    const std::string files[] = {"P1 1 1 1",       "P2 1 1 9 9",
                                 "P3 1 1 9 9 0 9", std::string("P4 1 1 ") + '\x80',
                                 "P5 1 1 255 A",   "P6 1 1 255 ABC"};
    const TPBMFileFormatReader pbm;
    const TPGMFileFormatReader pgm;
    const TPPMFileFormatReader ppm;
    const TPxMFileFormatReader* readers[] = {&pbm, &pgm, &ppm};
    for (const TPxMFileFormatReader* reader : readers) {
        for (int v = 0; v < 6; ++v) {
            TFileHeader header{};
            std::copy_n(files[v].begin(), std::min<std::size_t>(files[v].size(), header.size()),
                        header.begin());
            EXPECT_EQ(reader->CanRead(header), reader == readers[v % 3])
                << reader->Extension << " P" << v + 1;
            TMemoryStream s(files[v].data(), static_cast<std::int64_t>(files[v].size()));
            TPixelGraphic g;
            reader->Read(s, g, 0);
            EXPECT_EQ(g.GetWidth(), 1) << reader->Extension << " P" << v + 1;
        }
    }
}

TEST_F(Pnm, BadHeadersAndShortDataRaise)
{
    EXPECT_EQ(LoadError("P5 2 2 65535 abcdefgh"), "PBM, PGM, PPM: Not supported subformat");
    EXPECT_EQ(LoadError("P2 2 2 0 0 0 0 0"), "PBM, PGM, PPM: Not supported subformat");
    EXPECT_EQ(LoadError("P3 0 2 255"), "PBM, PGM, PPM: Not supported subformat");
    EXPECT_EQ(LoadError("P2 99999999999999999999999 99999999999999 255 1"),
              "PBM, PGM, PPM: Invalid size of image");
    EXPECT_EQ(LoadError("P6 2 2 255 abcdefghij"), "PBM, PGM, PPM: Unexpected end of file");
    EXPECT_EQ(LoadError("P3 2 1 255 1 2 3 4 5"), "PBM, PGM, PPM: Unexpected end of file");
    EXPECT_EQ(LoadError("P2 2"), "PBM, PGM, PPM: Unexpected end of file");
    // Only the registry's probe stands between these and the reader.
    TPPMFileFormatReader reader;
    TPixelGraphic g;
    for (const auto& [text, message] :
         {std::pair{"Q6 1 1 255 abc", "PBM, PGM, PPM: Not a PBM, PGM, PPM file"},
          std::pair{"P7 1 1 255 abc", "PBM, PGM, PPM: Unknown subformat"}}) {
        TMemoryStream s(text, 14);
        try {
            reader.Read(s, g, 0);
            ADD_FAILURE() << text;
        } catch (const EPGPxMFileFormatReader& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    TMemoryStream s("P1 1 1 1", 8);
    try {
        reader.Read(s, g, 1);
        FAIL();
    } catch (const EPGPxMFileFormatReader& e) {
        EXPECT_STREQ(e.what(), "PxM: Index invalid");
    }
}

TEST_F(Pnm, Info)
{
    const std::string text = "P5\n# c\n640 480\n255\n";
    TMemoryStream s(text.data(), static_cast<std::int64_t>(text.size()));
    TGraphicInfo info;
    ASSERT_TRUE(GetGraphicStreamInfo(s, "", 0, info));
    EXPECT_EQ(info.FormatName, "Portable Graymap");
    EXPECT_EQ(info.SubFormat, "Binary");
    EXPECT_EQ(info.Width, 640);
    EXPECT_EQ(info.Height, 480);
    EXPECT_EQ(info.BitCount, 8);
    TMemoryStream plain("P3 2 2 255", 10);
    ASSERT_TRUE(GetGraphicStreamInfo(plain, "", 0, info));
    EXPECT_EQ(info.SubFormat, "ASCII");
    EXPECT_EQ(info.Colors, "16.7M");
}

TEST_F(Pnm, WritersWriteTheDocumentedText)
{
    TPixelGraphic g;
    g.SetDimensions(3, 2, pf24Bit);
    g.SetPixelColor(0, 0, RGB(1, 2, 3));
    g.SetPixelColor(2, 1, RGB(255, 0, 10));
    EXPECT_EQ(Written(g, "ppm", false), "P3\n3 2\n255\n1 2 3 0 0 0 0 0 0\n0 0 0 0 0 0 255 0 10\n");
    EXPECT_EQ(Written(g, "ppm", true), std::string("P6\n3 2\n255\n\x01\x02\x03", 14) + std::string(12, '\0') +
                                           std::string("\xFF\x00\x0A", 3));

    g.SetDimensions(10, 1, pf1Bit);
    g.SetPaletteType(pBlackWhite);
    g.SetPixel(1, 0, 1);
    EXPECT_EQ(Written(g, "pbm", false), "P1\n10 1\n1 0 1 1 1 1 1 1 1 1\n");
    const std::string binary = Written(g, "pbm", true);
    EXPECT_EQ(binary.substr(0, 8), "P4\n10 1\n");
    EXPECT_EQ(static_cast<std::uint8_t>(binary[8]), 0xBF);

    g.SetDimensions(2, 1, pf8Bit);
    g.SetPaletteType(pGray256);
    g.SetPixel(1, 0, 200);
    EXPECT_EQ(Written(g, "pgm", false), "P2\n2 1\n255\n0 200\n");
}

TEST_F(Pnm, WriterErrors)
{
    TPixelGraphic g;
    g.SetDimensions(2, 2, pf8Bit);
    g.SetPaletteSize(256); // 256 colours, not greys
    TMemoryStream s;
    const TPGMFileFormatWriter pgm;
    EXPECT_THROW(
        try { pgm.Write(s, g); } catch (const EPGPxMFileFormatWriter& e) {
            EXPECT_STREQ(e.what(), "PBM, PGM, PPM: Invalid color resolution");
            throw;
        },
        EPGPxMFileFormatWriter);
    g.SetDimensions(0, 0, pf24Bit);
    const TPPMFileFormatWriter ppm;
    EXPECT_THROW(
        try { ppm.Write(s, g); } catch (const EPGPxMFileFormatWriter& e) {
            EXPECT_STREQ(e.what(), "PBM, PGM, PPM: Width = 0 or Height = 0");
            throw;
        },
        EPGPxMFileFormatWriter);
    struct TPNMFileFormatWriter : TPXMFileFormatWriter {
        TPNMFileFormatWriter() : TPXMFileFormatWriter("pnm", "Portable Anymap", 7) {}
    } pnm;
    EXPECT_THROW(
        try { pnm.Write(s, g); } catch (const EPGPxMFileFormatWriter& e) {
            EXPECT_STREQ(e.what(), "PBM, PGM, PPM: Unknown file extension \"pnm\"");
            throw;
        },
        EPGPxMFileFormatWriter);
    EXPECT_EQ(s.GetSize(), 0);
}

// A picture with every grey and many colours, larger than the buffers.
void Photo(TPixelGraphic& g, int w, int h)
{
    g.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g.SetPixelColor(x, y, RGB((x * 7 + y) & 255, (x * y) & 255, (255 - x + 3 * y) & 255));
}

TEST_F(Pnm, NetpbmReadsWhatWeWriteAndWeReadWhatItWrites)
{
    if (!test::HaveTool("pamtopnm") || !test::HaveTool("pnmtoplainpnm") || !test::HaveTool("ppmtopgm"))
        GTEST_SKIP() << "netpbm is not installed";
    TPixelGraphic colour;
    Photo(colour, 301, 97);
    TPixelGraphic grey;
    grey.SetDimensions(301, 97, pf8Bit);
    grey.SetPaletteType(pGray256);
    grey.StretchFrom(colour);
    TPixelGraphic mono;
    mono.SetDimensions(301, 97, pf1Bit);
    mono.SetPaletteType(pBlackWhite);
    mono.StretchFrom(colour);
    const std::pair<TPixelGraphic*, std::string> cases[] = {{&colour, "ppm"}, {&grey, "pgm"}, {&mono, "pbm"}};
    for (const auto& [image, extension] : cases) {
        for (const bool binary : {false, true}) {
            SCOPED_TRACE(extension + (binary ? " binary" : " ascii"));
            const std::string path = dir_.File("out." + extension);
            PxMBinary = binary;
            image->SaveToFile(path);
            PxMBinary = false;
            // netpbm writes bitmaps as bitmaps; promote them for the parser.
            const std::string promote = extension == "pbm" ? " | ppmtopgm 2>/dev/null" : "";
            test::ExpectSamePixels(*image, test::RunNetpbm("pamtopnm " + path + promote));
            // netpbm's plain files come back to us equal.
            const std::string plain = dir_.File("plain." + extension);
            ASSERT_EQ(test::Run("pnmtoplainpnm " + path + " > " + plain), 0);
            TPixelGraphic back;
            back.LoadFromFile(plain);
            test::ExpectSamePixels(back, test::RunNetpbm("pamtopnm " + path + promote));
        }
    }
}

} // namespace
} // namespace lumeno
