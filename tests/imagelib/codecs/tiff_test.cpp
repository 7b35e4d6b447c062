#include "imagelib/codecs/codec_io.h"
#include "codec_test_support.h"
#include "imagelib/codecs/packbits.h"
#include "imagelib/codecs/tiff_format.h"
#include "imagelib/codecs/tiff_reader.h"
#include "imagelib/codecs/tiff_writer.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "netpbm_oracle.h"
#include "platform/dialogs.h"
#include "platform/stream.h"
#include "support/test_env.h"

#include <cstring>
#include <limits>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One directory entry of a hand-made file; values longer than four bytes
// go behind the directory.
struct Entry {
    std::uint16_t Tag;
    std::uint16_t Type;
    std::vector<std::uint32_t> Values;
    std::uint32_t Count = 0; // 0: the number of values
};

struct TiffFile {
    Bytes Data;
    std::size_t NextDirectoryField = 0;
};

class TiffBuilder {
public:
    explicit TiffBuilder(bool big) : big_(big) {}

    // Pixel data at offset 8, then the directory.
    TiffFile Make(const Bytes& pixels, const std::vector<Entry>& entries)
    {
        TiffFile f;
        Bytes& b = f.Data;
        b = big_ ? Bytes{'M', 'M', 0, 42} : Bytes{'I', 'I', 42, 0};
        const std::size_t dir = 8 + pixels.size() + pixels.size() % 2;
        Put(b, 4, static_cast<std::uint32_t>(dir));
        b.insert(b.end(), pixels.begin(), pixels.end());
        b.resize(dir);
        Put(b, 2, static_cast<std::uint32_t>(entries.size()));
        std::size_t extra = dir + 2 + 12 * entries.size() + 4;
        Bytes extras;
        for (const Entry& e : entries) {
            const int size = e.Type == 1 ? 1 : e.Type == 3 ? 2 : 4;
            Bytes v;
            for (std::uint32_t x : e.Values)
                Put(v, size, x);
            Put(b, 2, e.Tag);
            Put(b, 2, e.Type);
            Put(b, 4,
                e.Count ? e.Count
                        : static_cast<std::uint32_t>(e.Type == 5 ? e.Values.size() / 2 : e.Values.size()));
            if (v.size() <= 4) {
                v.resize(4);
                b.insert(b.end(), v.begin(), v.end());
            } else {
                Put(b, 4, static_cast<std::uint32_t>(extra + extras.size()));
                extras.insert(extras.end(), v.begin(), v.end());
            }
        }
        f.NextDirectoryField = b.size();
        Put(b, 4, 0);
        b.insert(b.end(), extras.begin(), extras.end());
        return f;
    }

private:
    void Put(Bytes& b, int size, std::uint32_t v) const
    {
        for (int i = 0; i < size; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> 8 * (big_ ? size - 1 - i : i)));
    }
    bool big_;
};

// The entries of a plain w × h strip image with one strip at offset 8.
std::vector<Entry> Plain(std::uint32_t w, std::uint32_t h, std::vector<std::uint32_t> bits,
                         std::uint32_t photometric, std::uint32_t compression = 1)
{
    const auto samples = static_cast<std::uint32_t>(bits.size());
    return {{256, 4, {w}},           {257, 4, {h}}, {258, 3, bits},      {259, 3, {compression}},
            {262, 3, {photometric}}, {273, 4, {8}}, {277, 3, {samples}}, {278, 4, {h}},
            {279, 4, {0}},           {284, 3, {1}}};
}

Entry& Find(std::vector<Entry>& entries, std::uint16_t tag)
{
    for (Entry& e : entries)
        if (e.Tag == tag)
            return e;
    entries.push_back({tag, 3, {}});
    return entries.back();
}

class RecordingBoxes : public TDialogs {
public:
    explicit RecordingBoxes(int answer) : answer_(answer) { SetDialogs(this); }
    ~RecordingBoxes() override { SetDialogs(nullptr); }
    int Show(const TDialogRequest& request) override
    {
        Shown.push_back(request);
        return answer_;
    }
    std::vector<TDialogRequest> Shown;

private:
    int answer_;
};

class Tiff : public ::testing::Test {
protected:
    void SetUp() override { PGStartup(); }
    void TearDown() override { PGShutdown(); }

    static void Read(TPixelGraphic& g, const Bytes& file, int index = 0)
    {
        TMemoryStream s(file.data(), static_cast<std::int64_t>(file.size()));
        TTIFFileFormatReader().Read(s, g, index);
    }

    static std::string ReadError(const Bytes& file, int index = 0, TPGWarningAction action = pgwaIgnore)
    {
        TPixelGraphic g;
        g.SetReadWarningAction(action);
        return test::ErrorText<EPGTIFFileFormatReader>([&] { Read(g, file, index); });
    }

    static TGraphicInfo Info(const Bytes& file, int index = 0)
    {
        TMemoryStream s(file.data(), static_cast<std::int64_t>(file.size()));
        TGraphicInfo i;
        TTIFFileFormatReader().GetInfo(s, index, i.SubFormat, i.Remarks, i.Width, i.Height, i.Colors,
                                       i.BitCount, i.ImageCount);
        return i;
    }

    static Bytes Write(TPixelGraphic& g)
    {
        TMemoryStream s;
        TTIFFileFormatWriter().Write(s, g);
        Bytes b(static_cast<std::size_t>(s.GetSize()));
        s.SetPosition(0);
        s.ReadBuffer(b.data(), static_cast<std::int64_t>(b.size()));
        return b;
    }

    test::TempDir dir_;
};

// --- PackBits -------------------------------------------------------------

Bytes Pack(const Bytes& row)
{
    Bytes out(PackBitsWorstCase(row.size()));
    std::vector<int> runs;
    out.resize(PackBitsEncodeRow(row.data(), row.size(), out.data(), runs));
    return out;
}

TEST(PackBits, PairsNextToLiteralsBecomeLiterals)
{
    EXPECT_EQ(Pack({65, 65, 66}), (Bytes{2, 65, 65, 66}));
    EXPECT_EQ(Pack({65, 65, 65, 66}), (Bytes{254, 65, 0, 66}));
    EXPECT_EQ(Pack({66, 65, 65}), (Bytes{2, 66, 65, 65}));
    EXPECT_EQ(Pack({1, 1, 2, 2, 3}), (Bytes{4, 1, 1, 2, 2, 3}));
    EXPECT_EQ(Pack({7, 7}), (Bytes{255, 7}));
    EXPECT_EQ(Pack({}), Bytes{});
}

TEST(PackBits, LongRunsAndLiteralsSplitAt128)
{
    const Bytes run(300, 9);
    EXPECT_EQ(Pack(run), (Bytes{129, 9, 129, 9, 213, 9}));
    Bytes literal(130);
    for (std::size_t i = 0; i < literal.size(); ++i)
        literal[i] = static_cast<std::uint8_t>(i);
    const Bytes packed = Pack(literal);
    ASSERT_EQ(packed.size(), 132u);
    EXPECT_EQ(packed[0], 127);
    EXPECT_EQ(packed[129], 1);
}

// --- Reader on hand-made files -------------------------------------------

TEST_F(Tiff, BigEndianPaletteScalesTheColorMap)
{
    std::vector<Entry> e = Plain(2, 1, {8}, 3);
    std::vector<std::uint32_t> map(768, 0);
    map[1] = 0xFF00;       // red of entry 1
    map[256 + 2] = 0x8000; // green of entry 2
    map[512 + 2] = 0x12FF; // blue of entry 2
    e.push_back({320, 3, map});
    TPixelGraphic g;
    Read(g, TiffBuilder(true).Make({1, 2}, e).Data);
    EXPECT_EQ(g.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(0, 128, 0x12));
}

TEST_F(Tiff, ShortColorMapIsRefused)
{
    std::vector<Entry> e = Plain(2, 1, {8}, 3);
    e.push_back({320, 3, std::vector<std::uint32_t>(48, 0)});
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1, 2}, e).Data), "TIFF: ColorMap invalid");
}

TEST_F(Tiff, OneStripWithTooFewRowsPerStripAsksFirst)
{
    std::vector<Entry> e = Plain(1, 3, {8}, 1);
    Find(e, 278).Values = {1};
    const Bytes file = TiffBuilder(false).Make({10, 20, 30}, e).Data;
    TPixelGraphic g;
    Read(g, file);
    EXPECT_EQ(g.GetPixel(0, 2), 30u);

    const std::string text = "TIFF: NumStripOffsets<>(ImageLength+RowsPerStrip-1) div RowsPerStrip";
    EXPECT_EQ(ReadError(file, 0, pgwaRaise), text);
    {
        RecordingBoxes cancel(mrCancel);
        EXPECT_EQ(ReadError(file, 0, pgwaOKCancelBox), text);
        ASSERT_EQ(cancel.Shown.size(), 1u);
        EXPECT_EQ(cancel.Shown[0].Caption, "TIFF-Warning");
        EXPECT_EQ(cancel.Shown[0].Text, text);
    }
    RecordingBoxes ok(mrOk);
    EXPECT_EQ(ReadError(file, 0, pgwaOKBox), "no error");
    EXPECT_EQ(ok.Shown.size(), 1u);

    Find(e, 273).Values = {8, 9};
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({10, 20, 30}, e).Data), text);
}

TEST_F(Tiff, PackBitsRowsAndTheirOvershoot)
{
    // Row 0: a run of 3; row 1: a literal of 2 and a skipped -128.
    const Bytes good = {254, 5, 1, 6, 7, 128, 0, 8};
    TPixelGraphic g;
    Read(g, TiffBuilder(false).Make(good, Plain(3, 2, {8}, 1, 32773)).Data);
    EXPECT_EQ(g.GetPixel(2, 0), 5u);
    EXPECT_EQ(g.GetPixel(0, 1), 6u);
    // Row 1 has only 2 pixels of 3 before the next control byte.
    const Bytes bad = {254, 5, 1, 6, 7, 254, 8};
    EXPECT_EQ(ReadError(TiffBuilder(false).Make(bad, Plain(3, 2, {8}, 1, 32773)).Data),
              "TIFF (PackBits): Invalid count of bytes in row 1");
}

TEST_F(Tiff, LayoutRefusalsUseTheirTexts)
{
    std::vector<Entry> e = Plain(1, 1, {8, 8, 8}, 2);
    Find(e, 284).Values = {2};
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1, 2, 3}, e).Data), "TIFF: PlanarConfiguration invalid");
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1}, Plain(1, 1, {8, 8}, 2)).Data),
              "TIFF: Invalid SamplesPerPixel");
    std::vector<Entry> count = Plain(1, 1, {8, 8, 8}, 2);
    Find(count, 258).Values = {8, 8};
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1, 2, 3}, count).Data),
              "TIFF: Invalid count of SamplesPerPixel");
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1}, Plain(1, 1, {16}, 1)).Data),
              "TIFF: Invalid SamplesPerPixel");
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1}, Plain(1, 1, {8}, 1, 5)).Data),
              "TIFF: Unsupported compression LZW");
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1}, Plain(1, 1, {8}, 1, 7)).Data),
              "TIFF: Unsupported compression 7");
    std::vector<Entry> rational = Plain(1, 1, {8}, 1);
    Find(rational, 256) = {256, 5, {1, 1}};
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1}, rational).Data), "TIFF: Unsupported field Type: 5");
    EXPECT_EQ(ReadError(Bytes{'I', 'I', 43, 0, 8, 0, 0, 0}), "TIFF: Not a TIF file");
}

TEST_F(Tiff, LyingSizesAndOffsetsFailCleanly)
{
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({}, Plain(0, 1, {8}, 1)).Data),
              "TIFF: Width = 0 or Height = 0");
    // Strip beyond the end.
    std::vector<Entry> far = Plain(2, 2, {8}, 1);
    Find(far, 273).Values = {100000};
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1, 2, 3, 4}, far).Data), "TIFF: Unexpected end of file");
    // Pixels cut short by the end of the file.
    std::vector<Entry> cut = Plain(2, 2, {8}, 1);
    const auto size = static_cast<std::uint32_t>(TiffBuilder(false).Make({1, 2, 3, 4}, cut).Data.size());
    Find(cut, 273).Values = {size - 2};
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1, 2, 3, 4}, cut).Data), "TIFF: Unexpected end of file");
    // A billion strip offsets claimed by a tiny file.
    std::vector<Entry> many = Plain(2, 2, {8}, 1);
    Find(many, 273) = {273, 4, {8, 8}, 1u << 30};
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1, 2, 3, 4}, many).Data), "TIFF: Unexpected end of file");
    // A picture too big for memory.
    EXPECT_EQ(ReadError(TiffBuilder(false).Make({1}, Plain(0xFFFFFFFF, 0xFFFFFFFF, {8}, 1)).Data),
              "TIFF: Invalid size of image");
    // A 2 GiB picture whose strip the file cannot hold takes no memory.
    for (std::uint32_t compression : {1u, 32773u}) {
        const Bytes hostile = TiffBuilder(false).Make({1, 2}, Plain(32768, 65535, {8}, 1, compression)).Data;
        TPixelGraphic g;
        g.SetDimensions(2, 2, pf8Bit);
        TMemoryStream s(hostile.data(), static_cast<std::int64_t>(hostile.size()));
        EXPECT_EQ(test::ErrorText<EPGTIFFileFormatReader>([&] { g.LoadFromStream(s); }),
                  "TIFF: Unexpected end of file");
        EXPECT_TRUE(g.GetEmpty());
    }
    // Directory offset outside the file.
    EXPECT_EQ(ReadError(Bytes{'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}), "TIFF: Unexpected end of file");
}

TEST_F(Tiff, TiffDefaultsFillAbsentTags)
{
    // No SamplesPerPixel and BitsPerSample: one bit; RowsPerStrip 2^32 - 1.
    std::vector<Entry> e = {
        {256, 4, {9}}, {257, 4, {2}}, {262, 3, {0}}, {273, 4, {8}}, {278, 4, {0xFFFFFFFF}}};
    TPixelGraphic g;
    Read(g, TiffBuilder(false).Make({0x80, 0x00, 0x00, 0x80}, e).Data);
    EXPECT_EQ(g.GetPixelFormat(), pf1Bit);
    // WhiteIsZero: a set bit is black.
    EXPECT_EQ(g.GetPixelColor(0, 0), clBlack);
    EXPECT_EQ(g.GetPixelColor(1, 0), clWhite);
    EXPECT_EQ(g.GetPixelColor(8, 1), clBlack);
}

TEST_F(Tiff, StripsMayLieInAnyOrder)
{
    std::vector<Entry> e = Plain(1, 3, {8}, 1);
    Find(e, 273).Values = {10, 8, 9};
    Find(e, 278).Values = {1};
    TPixelGraphic g;
    Read(g, TiffBuilder(false).Make({1, 2, 3}, e).Data);
    EXPECT_EQ(g.GetPixel(0, 0), 3u);
    EXPECT_EQ(g.GetPixel(0, 1), 1u);
    EXPECT_EQ(g.GetPixel(0, 2), 2u);
}

TEST_F(Tiff, WiderFileRowsAndCmyk)
{
    // 32-bit rows are wider than the picture's 24-bit rows.
    TPixelGraphic g;
    Read(g, TiffBuilder(false).Make({10, 20, 30, 99, 40, 50, 60, 99}, Plain(2, 1, {8, 8, 8, 8}, 2)).Data);
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(40, 50, 60));
    Read(g, TiffBuilder(false).Make({0, 255, 255, 0, 10, 20, 30, 200}, Plain(2, 1, {8, 8, 8, 8}, 5)).Data);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(g.GetPixelColor(1, 0), RGB(45, 35, 25));
}

TEST_F(Tiff, IndexSelectsAMemberOfTheCountedChain)
{
    TiffFile first = TiffBuilder(false).Make({11}, Plain(1, 1, {8}, 1));
    // Append the second file's directory behind the first, with its offsets moved.
    Bytes file = first.Data;
    const std::uint32_t shift = static_cast<std::uint32_t>(file.size());
    std::vector<Entry> e = Plain(1, 1, {8}, 1);
    Find(e, 273).Values = {8 + shift};
    TiffFile moved = TiffBuilder(false).Make({22}, e);
    const std::uint32_t dir = GetU32LE(moved.Data.data() + 4) + shift;
    file.insert(file.end(), moved.Data.begin(), moved.Data.end());
    PutU32LE(file.data() + first.NextDirectoryField, dir);

    EXPECT_EQ(Info(file).ImageCount, 1);
    EXPECT_EQ(ReadError(file, 1), "TIFF: Index invalid");
    TIFFCountDirectories = true;
    EXPECT_EQ(Info(file).ImageCount, 2);
    TPixelGraphic g;
    Read(g, file, 1);
    EXPECT_EQ(g.GetPixel(0, 0), 22u);
    // A chain that loops is counted as one image.
    PutU32LE(file.data() + shift + moved.NextDirectoryField, dir);
    EXPECT_EQ(Info(file).ImageCount, 1);
}

TEST_F(Tiff, InfoDescribesWithoutDecoding)
{
    const TGraphicInfo i = Info(TiffBuilder(true).Make({}, Plain(640, 480, {8, 8, 8}, 2, 5)).Data);
    EXPECT_EQ(i.SubFormat, "M, LZW, RGB");
    EXPECT_EQ(i.Remarks, "(Unsupported compression)");
    EXPECT_EQ(i.Width, 640);
    EXPECT_EQ(i.Height, 480);
    EXPECT_EQ(i.BitCount, 24);
    EXPECT_EQ(i.Colors, "16.7 M");
    EXPECT_EQ(i.ImageCount, 1);
    const TGraphicInfo p = Info(TiffBuilder(false).Make({}, Plain(4, 4, {4}, 0, 32773)).Data);
    EXPECT_EQ(p.SubFormat, "I, PackBits, WhiteIsZero");
    EXPECT_EQ(p.Colors, "16");
    EXPECT_EQ(p.Remarks, "");
    // Samples the reader cannot decode are still described.
    const TGraphicInfo deep = Info(TiffBuilder(false).Make({}, Plain(3, 2, {16, 16, 16}, 2)).Data);
    EXPECT_EQ(deep.SubFormat, "I, Uncompr., RGB");
    EXPECT_EQ(deep.Width, 3);
    EXPECT_EQ(deep.Height, 2);
    EXPECT_EQ(deep.BitCount, 48);
    EXPECT_EQ(deep.Colors, "16.7 M");
    // Only 24 bits and more are "16.7 M"; 16-bit grey names no count.
    const TGraphicInfo grey16 = Info(TiffBuilder(false).Make({}, Plain(5, 1, {16}, 1)).Data);
    EXPECT_EQ(grey16.BitCount, 16);
    EXPECT_EQ(grey16.Colors, "");
    EXPECT_EQ(Info(TiffBuilder(false).Make({}, Plain(5, 1, {8, 8}, 1)).Data).Colors, "");
    std::vector<Entry> huge = Plain(5, 1, {0xFFFFFFFF, 0xFFFFFFFF, 7}, 2);
    Find(huge, 258).Type = 4;
    const TGraphicInfo absurd = Info(TiffBuilder(false).Make({}, huge).Data);
    EXPECT_EQ(absurd.BitCount, std::numeric_limits<int>::max());
    EXPECT_EQ(absurd.Colors, "16.7 M");
}

TEST_F(Tiff, AbortKeepsTheRowsRead)
{
    TPixelGraphic g;
    int calls = 0;
    g.SetOnProgress([&](TObject*, int, int, bool& abort) { abort = ++calls == 2; });
    Read(g, TiffBuilder(false).Make({1, 2, 3}, Plain(1, 3, {8}, 1)).Data);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(g.GetPixel(0, 1), 2u);
    EXPECT_EQ(g.GetPixel(0, 2), 0u);
}

// --- Writer ---------------------------------------------------------------

// Small pictures of every writable class.
void MakeClass(TPixelGraphic& g, int cls, int w = 13, int h = 7)
{
    static const std::uint8_t formats[] = {pf1Bit, pf1Bit, pf4Bit, pf4Bit, pf4Bit, pf8Bit, pf8Bit, pf24Bit};
    static const TPaletteIdent palettes[] = {pBlackWhite, pBlackWhite, pGray16,  pSys16,
                                             pSys16,      pGray256,    pGray256, pNone};
    g.SetDimensions(w, h, formats[cls]);
    if (cls != 7)
        g.SetPaletteType(palettes[cls]);
    if (cls == 4 || cls == 6) {
        g.SetPaletteSize(cls == 4 ? 16 : 256);
        for (int i = 0; i < g.GetPaletteSize(); ++i)
            g.SetPaletteEntry(i, RGB(i * 7 % 256, 255 - i, i * 13 % 256));
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = (x * 5 + y * 3 + (x / 4) * 40) % 256;
            if (cls == 7)
                g.SetPixelColor(x, y, RGB(v, 255 - v, x * 9 % 256));
            else
                g.SetPixel(x, y, static_cast<std::uint32_t>(v % g.GetPaletteSize()));
        }
}

TEST_F(Tiff, DefaultFileStartsLittleEndianWith300PerInch)
{
    TPixelGraphic g;
    MakeClass(g, 5);
    const Bytes b = Write(g);
    EXPECT_EQ((Bytes{b.begin(), b.begin() + 8}), (Bytes{'I', 'I', 42, 0, 8, 0, 0, 0}));
    if (!test::HaveTool("tiffdump"))
        GTEST_SKIP() << "libtiff-tools are not installed";
    const std::string path = dir_.File("g.tif");
    test::WriteFileBytes(path, b);
    const std::string dump = test::RunOutput("tiffdump " + path);
    EXPECT_NE(dump.find("XResolution (282) RATIONAL (5) 1<300>"), std::string::npos) << dump;
    EXPECT_NE(dump.find("ResolutionUnit (296) SHORT (3) 1<2>"), std::string::npos) << dump;
    EXPECT_NE(dump.find("Photometric (262) SHORT (3) 1<1>"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("Colormap"), std::string::npos) << dump;
}

TEST_F(Tiff, RowsPerStripFollowsTheWorstCaseRow)
{
    TPixelGraphic g;
    MakeClass(g, 6, 100, 1000);
    TTIFFileFormatReader reader;
    for (const auto& [compression, rows] : {std::pair{1, 327}, std::pair{32773, 163}}) {
        TIFFCompression = compression;
        const Bytes b = Write(g);
        // Entry 8 is RowsPerStrip; strips start on even offsets.
        const std::uint8_t* rowsEntry = b.data() + 8 + 2 + 8 * 12;
        EXPECT_EQ(GetU16LE(rowsEntry), 278);
        EXPECT_EQ(GetU32LE(rowsEntry + 8), static_cast<std::uint32_t>(rows));
        const std::uint8_t* offsets = b.data() + 8 + 2 + 6 * 12;
        const std::uint32_t strips = GetU32LE(offsets + 4);
        EXPECT_EQ(strips, static_cast<std::uint32_t>((1000 + rows - 1) / rows));
        const std::uint8_t* table = b.data() + GetU32LE(offsets + 8);
        for (std::uint32_t i = 0; i < strips; ++i)
            EXPECT_EQ(GetU32LE(table + 4 * i) % 2, 0u);
        TPixelGraphic back;
        Read(back, b);
        EXPECT_EQ(std::memcmp(back.GetBits(), g.GetBits(), static_cast<std::size_t>(g.GetImageSize())), 0);
    }
}

TEST_F(Tiff, PaletteAndCmykLayouts)
{
    TPixelGraphic g;
    MakeClass(g, 3);
    Bytes b = Write(g);
    const std::uint8_t* colorMap = b.data() + 8 + 2 + 13 * 12;
    EXPECT_EQ(GetU16LE(colorMap), 320);
    EXPECT_EQ(GetU32LE(colorMap + 4), 48u);
    EXPECT_EQ(GetU16LE(b.data() + 8 + 2 + 5 * 12 + 8), phPalette);

    MakeClass(g, 6);
    b = Write(g);
    EXPECT_EQ(GetU32LE(b.data() + 8 + 2 + 13 * 12 + 4), 768u);

    g.SetDimensions(1, 1, pf24Bit);
    g.SetPixelColor(0, 0, RGB(255, 0, 0));
    TIFFWriteCMYK = true;
    b = Write(g);
    const std::uint8_t* strip = b.data() + GetU32LE(b.data() + 8 + 2 + 6 * 12 + 8);
    EXPECT_EQ((Bytes{strip, strip + 4}), (Bytes{0, 255, 255, 0}));

    TIFFCompression = 2;
    try {
        Write(g);
        ADD_FAILURE() << "no error";
    } catch (const EPGTIFFileFormatWriter& e) {
        EXPECT_STREQ(e.what(), "TIFF: Internal Error");
    }
}

TEST_F(Tiff, EveryWritableClassRoundTripsInEveryLayout)
{
    for (int cls : {0, 2, 3, 4, 5, 6, 7})
        for (int order : {0, 1})
            for (int compression : {1, 32773})
                for (bool alternative : {false, true}) {
                    SCOPED_TRACE(testing::Message()
                                 << "class " << cls << " order " << order << " compression " << compression
                                 << " alternative " << alternative);
                    TIFFByteOrder = static_cast<std::uint8_t>(order);
                    TIFFCompression = compression;
                    TIFFWriteCMYK = TIFFWhiteIsZero = alternative;
                    TPixelGraphic g, back;
                    MakeClass(g, cls);
                    Read(back, Write(g));
                    ASSERT_EQ(back.GetWidth(), g.GetWidth());
                    for (int y = 0; y < g.GetHeight(); ++y)
                        for (int x = 0; x < g.GetWidth(); ++x)
                            ASSERT_EQ(back.GetPixelColor(x, y), g.GetPixelColor(x, y)) << x << "," << y;
                }
}

TEST_F(Tiff, LibtiffReadsWhatWeWrite)
{
    if (!test::HaveTool("tifftopnm") || !test::HaveTool("ppmtoppm") || !test::HaveTool("tiffdump"))
        GTEST_SKIP() << "netpbm or libtiff-tools are not installed";
    for (int cls : {0, 2, 3, 4, 5, 6, 7})
        for (int order : {0, 1})
            for (int compression : {1, 32773}) {
                SCOPED_TRACE(testing::Message()
                             << "class " << cls << " order " << order << " compression " << compression);
                TIFFByteOrder = static_cast<std::uint8_t>(order);
                TIFFCompression = compression;
                TPixelGraphic g;
                MakeClass(g, cls, 301, 230);
                const std::string path = dir_.File("w.tif");
                test::WriteFileBytes(path, Write(g));
                EXPECT_TRUE(SamePicture(g, test::NetpbmPicture("tifftopnm " + path)));
                const std::string dump = test::RunOutput("tiffdump " + path + " 2>&1");
                EXPECT_NE(dump.find(order ? "Magic: 0x4d4d" : "Magic: 0x4949"), std::string::npos) << dump;
            }
}

// --- Reader against libtiff -----------------------------------------------

class TiffOracle : public Tiff {
protected:
    void SetUp() override
    {
        Tiff::SetUp();
        for (const char* tool : {"tiffcp", "tifftopnm", "ppmtoppm", "convert-im6.q16"})
            if (!test::HaveTool(tool))
                GTEST_SKIP() << tool << " is not installed";
        source_ = dir_.File("source.ppm");
        test::WriteSourcePpm(source_, 67, 41);
    }

    std::string Convert(const std::string& name, const std::string& options)
    {
        const std::string path = dir_.File(name);
        EXPECT_EQ(test::Run("convert-im6.q16 " + source_ + " " + options + " " + path), 0) << options;
        return path;
    }

    void ExpectSameAsLibtiff(const std::string& path)
    {
        TPixelGraphic g;
        g.LoadFromFile(path);
        EXPECT_TRUE(SamePicture(g, test::NetpbmPicture("tifftopnm " + path))) << path;
    }

    // Libtiff blends K differently; ImageMagick hands out the stored CMYK
    // samples, turned into colours here as the reader must.
    static test::OraclePicture CmykAsStored(const std::string& path, int w, int h)
    {
        const std::string raw = test::RunOutput("convert-im6.q16 " + path + " -depth 8 cmyk:-");
        test::OraclePicture p{w, h, {}};
        for (std::size_t i = 0; i + 3 < raw.size(); i += 4) {
            auto ink = [&](std::size_t k) {
                return std::max(0, 255 - std::uint8_t(raw[i + k]) - std::uint8_t(raw[i + 3]));
            };
            p.Pixels.push_back(RGB(ink(0), ink(1), ink(2)));
        }
        if (p.Pixels.size() != static_cast<std::size_t>(w) * h)
            return {};
        return p;
    }

    void ExpectCmykAsStored(const std::string& path)
    {
        TPixelGraphic g;
        g.LoadFromFile(path);
        EXPECT_TRUE(SamePicture(g, CmykAsStored(path, g.GetWidth(), g.GetHeight()))) << path;
    }

    void ExpectSameAsOracle(const std::string& path, bool cmyk)
    {
        if (cmyk)
            ExpectCmykAsStored(path);
        else
            ExpectSameAsLibtiff(path);
    }

    std::string source_;
};

TEST_F(TiffOracle, EveryReadableKindInEveryLayout)
{
    const std::pair<const char*, const char*> kinds[] = {
        {"rgb", "-depth 8"},
        {"rgba", "-depth 8 -alpha on"},
        {"cmyk", "-depth 8 -colorspace CMYK"},
        {"grey8", "-colorspace Gray -depth 8"},
        {"grey4", "-colorspace Gray -depth 4"},
        {"white", "-colorspace Gray -depth 8 -define quantum:polarity=min-is-white"},
        {"bilevel", "-type bilevel"},
        {"palette8", "-colors 200 -type Palette -depth 8"},
        {"palette4", "-colors 16 -type Palette -depth 4"},
    };
    const char* layouts[] = {"-c none",      "-c packbits", "-B -c packbits",
                             "-c none -r 1", "-B -r 3",     "-L -r 5"};
    for (const auto& [name, options] : kinds) {
        const std::string original = Convert(std::string(name) + ".tif", options);
        const bool cmyk = std::string(name) == "cmyk";
        ExpectSameAsOracle(original, cmyk);
        for (const char* layout : layouts) {
            const std::string copy = dir_.File(std::string(name) + "_copy.tif");
            ASSERT_EQ(test::Run(std::string("tiffcp ") + layout + " " + original + " " + copy), 0);
            ExpectSameAsOracle(copy, cmyk);
        }
    }
}

TEST_F(TiffOracle, OurCmykSamplesGiveBackTheColours)
{
    TIFFWriteCMYK = true;
    TIFFByteOrder = 1;
    TIFFCompression = 32773;
    TPixelGraphic g;
    MakeClass(g, 7, 91, 37);
    const std::string path = dir_.File("cmyk.tif");
    test::WriteFileBytes(path, Write(g));
    EXPECT_TRUE(SamePicture(g, CmykAsStored(path, 91, 37)));
}

TEST_F(TiffOracle, MultiDirectoryFilesAndRefusals)
{
    const std::string rgb = Convert("rgb.tif", "-depth 8");
    const std::string grey = Convert("grey.tif", "-colorspace Gray -depth 8");
    const std::string both = dir_.File("both.tif");
    ASSERT_EQ(test::Run("tiffcp " + rgb + " " + grey + " " + both), 0);
    TIFFCountDirectories = true;
    TGraphicInfo info;
    ASSERT_TRUE(GetGraphicFileInfo(both, 1, info));
    EXPECT_EQ(info.ImageCount, 2);
    EXPECT_EQ(info.BitCount, 8);
    TPixelGraphic g;
    g.LoadFromFileIndexed(both, 1);
    EXPECT_TRUE(SamePicture(g, test::NetpbmPicture("tifftopnm " + grey)));

    auto error = [&](const std::string& options) {
        const std::string path = dir_.File("refused.tif");
        EXPECT_EQ(test::Run("tiffcp " + options + " " + rgb + " " + path), 0);
        return ReadError(test::ReadFileBytes(path));
    };
    EXPECT_EQ(error("-c lzw"), "TIFF: Unsupported compression LZW");
    EXPECT_EQ(error("-p separate"), "TIFF: PlanarConfiguration invalid");
    EXPECT_EQ(error("-t"), "TIFF: StripOffsets invalid");
}

TEST_F(TiffOracle, SixteenBitFilesAreDescribedThoughNotRead)
{
    const std::string deep = Convert("deep.tif", "-depth 16");
    TGraphicInfo info;
    ASSERT_TRUE(GetGraphicFileInfo(deep, 0, info));
    EXPECT_EQ(info.Width, 67);
    EXPECT_EQ(info.Height, 41);
    EXPECT_EQ(info.BitCount, 48);
    EXPECT_EQ(info.Colors, "16.7 M");
    EXPECT_EQ(info.SubFormat.substr(0, 3), "I, ");
    EXPECT_EQ(ReadError(test::ReadFileBytes(deep)), "TIFF: Invalid SamplesPerPixel");

    const std::string grey = Convert("grey16.tif", "-colorspace Gray -depth 16");
    ASSERT_TRUE(GetGraphicFileInfo(grey, 0, info));
    EXPECT_EQ(info.BitCount, 16);
    EXPECT_EQ(info.Colors, "");
}

} // namespace
} // namespace lumeno
