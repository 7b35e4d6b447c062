#include "imagelib/codecs/gif_reader.h"
#include "codec_test_support.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "netpbm_oracle.h"
#include "platform/stream.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using Bytes = std::vector<std::uint8_t>;

class BitWriter {
public:
    void Put(int code, int width)
    {
        acc_ |= static_cast<std::uint32_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(acc_));
            acc_ >>= 8;
            count_ -= 8;
        }
    }
    Bytes Finish()
    {
        if (count_ > 0)
            bytes_.push_back(static_cast<std::uint8_t>(acc_));
        return bytes_;
    }

private:
    Bytes bytes_;
    std::uint32_t acc_ = 0;
    int count_ = 0;
};

// LZW data that sends every pixel as its own code, following the table the
// decoder builds; without clears the table fills and stays full.
Bytes LzwOfSingles(const Bytes& pixels, int minCodeSize, bool clearWhenFull)
{
    BitWriter w;
    const int clear = 1 << minCodeSize;
    int next = clear + 2, width = minCodeSize + 1;
    bool first = true;
    w.Put(clear, width);
    for (std::uint8_t p : pixels) {
        if (clearWhenFull && next == 4096) {
            w.Put(clear, width);
            next = clear + 2;
            width = minCodeSize + 1;
            first = true;
        }
        w.Put(p, width);
        if (!first && next < 4096 && ++next == 1 << width && width < 12)
            ++width;
        first = false;
    }
    w.Put(clear + 1, width);
    return w.Finish();
}

void PutSubBlocks(Bytes& out, const Bytes& data)
{
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                   data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);
}

void PutU16(Bytes& out, int v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutTable(Bytes& out, const std::vector<TColor>& table)
{
    for (TColor c : table) {
        out.push_back(GetRValue(c));
        out.push_back(GetGValue(c));
        out.push_back(GetBValue(c));
    }
}

struct Frame {
    int Width = 0, Height = 0;
    int LocalBits = 0; // 0: the global table
    bool Interlaced = false;
    Bytes Pixels; // top to bottom
    int MinCodeSize = 8;
    bool ClearWhenFull = true;
    Bytes Data; // replaces the encoded pixels when not empty
};

std::vector<TColor> Table(int bits, int seed)
{
    std::vector<TColor> t;
    for (int i = 0; i < 1 << bits; ++i)
        t.push_back(RGB((i * 37 + seed) % 256, (i * 91 + seed * 3) % 256, (255 - i * 11) % 256));
    return t;
}

// The rows of an interlaced frame in the order they are sent.
Bytes InterlaceOrder(const Frame& f)
{
    Bytes out;
    const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = starts[pass]; y < f.Height; y += steps[pass])
            out.insert(out.end(), f.Pixels.begin() + y * f.Width, f.Pixels.begin() + (y + 1) * f.Width);
    return out;
}

void PutFrame(Bytes& out, const Frame& f)
{
    out.push_back(',');
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, f.Width);
    PutU16(out, f.Height);
    out.push_back(
        static_cast<std::uint8_t>((f.LocalBits ? 0x80 | (f.LocalBits - 1) : 0) | (f.Interlaced ? 0x40 : 0)));
    if (f.LocalBits)
        PutTable(out, Table(f.LocalBits, f.Width));
    out.push_back(static_cast<std::uint8_t>(f.MinCodeSize));
    PutSubBlocks(out, !f.Data.empty() ? f.Data
                                      : LzwOfSingles(f.Interlaced ? InterlaceOrder(f) : f.Pixels,
                                                     f.MinCodeSize, f.ClearWhenFull));
}

Bytes Gif(int globalBits, const std::vector<Frame>& frames, const Bytes& beforeFrames = {},
          bool trailer = true)
{
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    PutU16(out, 256);
    PutU16(out, 256);
    out.push_back(static_cast<std::uint8_t>(globalBits ? 0x80 | (globalBits - 1) : 0));
    out.push_back(0);
    out.push_back(0);
    if (globalBits)
        PutTable(out, Table(globalBits, 0));
    out.insert(out.end(), beforeFrames.begin(), beforeFrames.end());
    for (const Frame& f : frames)
        PutFrame(out, f);
    if (trailer)
        out.push_back(';');
    return out;
}

Frame Pattern(int w, int h, int bits, int localBits = 0, bool interlaced = false)
{
    Frame f;
    f.Width = w;
    f.Height = h;
    f.LocalBits = localBits;
    f.Interlaced = interlaced;
    f.MinCodeSize = std::max(2, bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.Pixels.push_back(static_cast<std::uint8_t>((x / 3 + y * 5) % (1 << bits)));
    return f;
}

class GifReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        PGStartup();
        PGGifStartup();
    }
    void TearDown() override { PGShutdown(); }

    static void Read(TPixelGraphic& g, const Bytes& file, int index = 0)
    {
        TMemoryStream s(file.data(), static_cast<std::int64_t>(file.size()));
        tGifFileFormatReader().Read(s, g, index);
    }

    static std::string Error(const std::function<void()>& work)
    {
        return test::ErrorText<EPixelGraphic>([&] { work(); });
    }

    static TGraphicInfo Info(const Bytes& file, int index = 0)
    {
        TMemoryStream s(file.data(), static_cast<std::int64_t>(file.size()));
        TGraphicInfo i;
        tGifFileFormatReader().GetInfo(s, index, i.SubFormat, i.Remarks, i.Width, i.Height, i.Colors,
                                       i.BitCount, i.ImageCount);
        return i;
    }

    // The frame's pixel indices top to bottom.
    static Bytes Indices(TPixelGraphic& g)
    {
        Bytes out;
        for (int y = 0; y < g.GetHeight(); ++y)
            for (int x = 0; x < g.GetWidth(); ++x)
                out.push_back(static_cast<std::uint8_t>(g.GetPixel(x, y)));
        return out;
    }

    test::TempDir dir_;
};

TEST_F(GifReader, FramesReadAtTheirOwnSizeWithTheirOwnTable)
{
    const Frame a = Pattern(10, 6, 1), b = Pattern(7, 9, 3, 3), c = Pattern(17, 3, 8);
    const Bytes file = Gif(8, {a, b, c});
    TPixelGraphic g;
    Read(g, file, 1);
    EXPECT_EQ(g.GetWidth(), 7);
    EXPECT_EQ(g.GetHeight(), 9);
    EXPECT_EQ(g.GetPixelFormat(), pf4Bit);
    EXPECT_EQ(g.GetPaletteSize(), 8);
    EXPECT_EQ(g.GetPaletteEntry(5), Table(3, 7)[5]);
    EXPECT_EQ(Indices(g), b.Pixels);
    Read(g, file, 0);
    EXPECT_EQ(g.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(g.GetPaletteEntry(200), Table(8, 0)[200]);
    EXPECT_EQ(Indices(g), a.Pixels);
    EXPECT_EQ(Error([&] { Read(g, file, 3); }), "Index out of bounds");
    EXPECT_EQ(Error([&] { Read(g, file, -1); }), "Index out of bounds");
}

TEST_F(GifReader, InterlacedSixteenColoursReadAsFourBitsInRowOrder)
{
    const Frame f = Pattern(5, 19, 4, 0, true);
    TPixelGraphic g;
    Read(g, Gif(4, {f}));
    EXPECT_EQ(g.GetPixelFormat(), pf4Bit);
    EXPECT_EQ(Indices(g), f.Pixels);
    const Frame two = Pattern(9, 4, 1, 1);
    Read(g, Gif(0, {two}));
    EXPECT_EQ(g.GetPixelFormat(), pf1Bit);
    EXPECT_EQ(Indices(g), two.Pixels);
}

TEST_F(GifReader, InfoCountsFramesAndNamesTheVersion)
{
    const Bytes file = Gif(2, {Pattern(3, 3, 2), Pattern(8, 5, 5, 5, true), Pattern(2, 2, 2)});
    const TGraphicInfo i = Info(file, 1);
    EXPECT_EQ(i.ImageCount, 3);
    EXPECT_EQ(i.SubFormat, "89a");
    EXPECT_EQ(i.Width, 8);
    EXPECT_EQ(i.Height, 5);
    EXPECT_EQ(i.BitCount, 5);
    EXPECT_EQ(i.Colors, "32");
    EXPECT_EQ(i.Remarks, "Interlaced");
    EXPECT_EQ(Error([&] { Info(file, 3); }), "Index out of bounds");
    Bytes old = Gif(2, {Pattern(3, 3, 2)});
    old[4] = '7';
    EXPECT_EQ(Info(old).SubFormat, "87a");
    EXPECT_EQ(Info(old).Remarks, "Non-interlaced");
    EXPECT_EQ(Error([] { Info(Bytes{'G', 'I', 'X', '8'}); }), "Not a proper GIF file");
    EXPECT_EQ(Error([] { Info(Bytes{}); }), "Not a proper GIF file");
}

TEST_F(GifReader, ExtensionsOfEveryLabelAreSkipped)
{
    Bytes extensions;
    for (std::uint8_t label : {0xF9, 0xFE, 0x01, 0x42, 0xFF}) {
        extensions.push_back('!');
        extensions.push_back(label);
        PutSubBlocks(extensions, Bytes(label == 0x42 ? 300 : 11, 7));
    }
    const Bytes file = Gif(2, {Pattern(3, 3, 2), Pattern(4, 4, 2)}, extensions);
    EXPECT_EQ(Info(file).ImageCount, 2);
    TPixelGraphic g;
    Read(g, file, 1);
    EXPECT_EQ(Indices(g), Pattern(4, 4, 2).Pixels);
}

TEST_F(GifReader, AFullTableWithoutClearKeepsTwelveBits)
{
    Frame f = Pattern(97, 61, 8);
    f.ClearWhenFull = false;
    TPixelGraphic g;
    Read(g, Gif(8, {f}));
    EXPECT_EQ(Indices(g), f.Pixels);
}

TEST_F(GifReader, BrokenDataKeepsWhatWasDecoded)
{
    Frame f = Pattern(4, 3, 2);
    // Clear, pixel 3, then code 7 while 6 is the next free one.
    BitWriter w;
    for (int code : {4, 3, 7, 2, 3})
        w.Put(code, 3);
    f.Data = w.Finish();
    TPixelGraphic g;
    Read(g, Gif(2, {f}));
    EXPECT_EQ(g.GetPixel(0, 0), 3u);
    EXPECT_EQ(g.GetPixel(1, 0), 0u);

    for (int size : {0, 12}) {
        Frame bad = Pattern(4, 3, 2);
        bad.MinCodeSize = size;
        bad.Data = {1, 2, 3};
        EXPECT_EQ(Error([&] { Read(g, Gif(2, {bad})); }), "LZW code size invalid");
    }

    // Every cut of a file loads what it can or reports an error.
    const Bytes file = Gif(8, {Pattern(33, 21, 8, 0, true), Pattern(9, 9, 4, 4)});
    for (std::size_t n = 0; n < file.size(); ++n) {
        TPixelGraphic cut;
        try {
            Read(cut, Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)));
        } catch (const EPixelGraphic&) {
        }
    }
    Read(g, Bytes(file.begin(), file.begin() + 850));
    EXPECT_EQ(g.GetWidth(), 33);
    EXPECT_EQ(g.GetPixel(5, 0), Pattern(33, 21, 8).Pixels[5]);

    // Damaged bytes anywhere neither crash nor hang.
    for (std::size_t i = 0; i < file.size(); i += 3) {
        Bytes damaged = file;
        damaged[i] ^= 0xA5;
        TPixelGraphic d;
        try {
            Read(d, damaged);
        } catch (const Exception&) {
        }
    }
}

// A few bytes declaring a 65535 x 65535 frame once loaded as a 2 GiB image.
TEST_F(GifReader, AFrameItsDataCannotFillIsRefusedBeforeAllocating)
{
    Frame huge = Pattern(2, 2, 2);
    huge.Width = 65535;
    huge.Height = 65535;
    Bytes noData = Gif(2, {}, {}, false);
    PutFrame(noData, huge);
    noData.resize(noData.size() - 3); // no code size, no sub-blocks
    huge.Data.assign(150, 0);
    for (const Bytes& file : {Gif(2, {huge}), noData}) {
        TPixelGraphic g;
        g.SetDimensions(2, 2, pf8Bit);
        TMemoryStream s(file.data(), static_cast<std::int64_t>(file.size()));
        EXPECT_EQ(Error([&] { g.LoadFromStream(s); }), "Unexpected end of file");
        EXPECT_TRUE(g.GetEmpty());
    }
}

TEST_F(GifReader, ProgressCountsRowsAndStopsOnAbort)
{
    std::vector<std::pair<int, int>> steps;
    TPixelGraphic g;
    g.SetOnProgress([&](TObject*, int step, int max, bool&) { steps.emplace_back(step, max); });
    Read(g, Gif(2, {Pattern(5, 1, 2)}));
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{1, 0}}));

    g.SetOnProgress([&](TObject*, int step, int, bool& abort) { abort = step == 2; });
    const Frame f = Pattern(3, 4, 2);
    Read(g, Gif(2, {f}));
    EXPECT_EQ(g.GetPixel(1, 1), f.Pixels[4]);
    EXPECT_EQ(g.GetPixel(0, 2), 0u);
}

TEST_F(GifReader, TheRegistryFindsItByContent)
{
    const Bytes file = Gif(2, {Pattern(3, 2, 2)});
    TMemoryStream s(file.data(), static_cast<std::int64_t>(file.size()));
    const TFileFormatReader* reader = FindFileFormatReader(s, "bmp");
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->Description, "GIF");
    TPixelGraphic g;
    g.LoadFromStream(s);
    EXPECT_EQ(g.GetWidth(), 3);
}

// --- Against giftopnm -----------------------------------------------------

class GifOracle : public GifReader {
protected:
    void SetUp() override
    {
        GifReader::SetUp();
        for (const char* tool : {"giftopnm", "ppmtoppm", "convert-im6.q16"})
            if (!test::HaveTool(tool))
                GTEST_SKIP() << tool << " is not installed";
    }

    void ExpectEveryFrameAsGiftopnm(const std::string& path, int frames)
    {
        TGraphicInfo info;
        ASSERT_TRUE(GetGraphicFileInfo(path, 0, info)) << path;
        EXPECT_EQ(info.ImageCount, frames) << path;
        for (int i = 0; i < frames; ++i) {
            TPixelGraphic g;
            g.LoadFromFileIndexed(path, i);
            EXPECT_TRUE(
                SamePicture(g, test::NetpbmPicture("giftopnm --image=" + std::to_string(i + 1) + " " + path)))
                << path << " frame " << i;
        }
    }
};

TEST_F(GifOracle, ImageMagickFiles)
{
    const std::string source = dir_.File("source.ppm");
    test::WriteSourcePpm(source, 83, 45);
    const std::string small = dir_.File("small.ppm");
    test::WriteSourcePpm(small, 20, 31);
    const std::pair<std::string, std::string> files[] = {
        {"plain.gif", source + " -colors 256"},
        {"interlaced.gif", source + " -colors 16 -interlace GIF"},
        {"two.gif", source + " -colors 2"},
        {"anim.gif", source + " -colors 64 \\( " + small + " -colors 7 \\) \\( " + source +
                         " -negate -colors 200 \\) +map"},
    };
    for (const auto& [name, options] : files) {
        const std::string path = dir_.File(name);
        ASSERT_EQ(test::Run("convert-im6.q16 " + options + " " + path), 0) << options;
        ExpectEveryFrameAsGiftopnm(path, name == "anim.gif" ? 3 : 1);
    }
}

TEST_F(GifOracle, HandMadeFilesWithLocalTablesAndFullTables)
{
    Frame full = Pattern(120, 70, 8, 8);
    full.ClearWhenFull = false;
    const std::string path = dir_.File("made.gif");
    test::WriteFileBytes(
        path, Gif(5, {Pattern(40, 30, 5, 0, true), Pattern(33, 17, 3, 3), full, Pattern(8, 9, 1, 1, true)}));
    ExpectEveryFrameAsGiftopnm(path, 4);
}

} // namespace
} // namespace lumeno
