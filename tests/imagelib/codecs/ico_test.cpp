#include "imagelib/codecs/ico_reader.h"
#include "codec_test_support.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "netpbm_picture.h"
#include "platform/stream.h"
#include "support/le_bytes.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using Bytes = std::vector<std::uint8_t>;

using test::Put16;
using test::Put32;

// One image of an icon: pixel values and mask bits given per pixel, top row
// first.
struct IconImage {
    int Width = 8;
    int Height = 8;
    int Bits = 4;
    std::vector<TColor> Palette; // padded to 2^Bits
    std::vector<int> Pixels;     // Width × Height values; empty: all 0
    std::vector<bool> Mask;      // empty: nothing masked
    int ExtraBytes = 0;          // added to the entry's size (a lying entry)
};

Bytes ImageBytes(const IconImage& im)
{
    Bytes b;
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(im.Width));
    Put32(b, static_cast<std::uint32_t>(im.Height * 2));
    Put16(b, 1);
    Put16(b, im.Bits);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    if (im.Bits <= 8) {
        for (int i = 0; i < (1 << im.Bits); ++i) {
            const TColor c =
                i < static_cast<int>(im.Palette.size()) ? im.Palette[static_cast<std::size_t>(i)] : 0;
            b.insert(b.end(),
                     {static_cast<std::uint8_t>(GetBValue(c)), static_cast<std::uint8_t>(GetGValue(c)),
                      static_cast<std::uint8_t>(GetRValue(c)), 0});
        }
    }
    const int xorRow = (im.Bits * im.Width + 31) / 32 * 4, andRow = (im.Width + 31) / 32 * 4;
    for (int y = im.Height - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(xorRow), 0);
        for (int x = 0; x < im.Width; ++x) {
            const int v = im.Pixels.empty() ? 0 : im.Pixels[static_cast<std::size_t>(y * im.Width + x)];
            const int bit = x * im.Bits;
            if (im.Bits >= 8)
                row[static_cast<std::size_t>(bit / 8)] = static_cast<std::uint8_t>(v);
            else
                row[static_cast<std::size_t>(bit / 8)] |=
                    static_cast<std::uint8_t>(v << (8 - im.Bits - bit % 8));
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = im.Height - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(andRow), 0);
        for (int x = 0; x < im.Width; ++x)
            if (!im.Mask.empty() && im.Mask[static_cast<std::size_t>(y * im.Width + x)])
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes MakeIco(const std::vector<IconImage>& images, int type = 1)
{
    Bytes b;
    Put16(b, 0);
    Put16(b, type);
    Put16(b, static_cast<int>(images.size()));
    std::vector<Bytes> data;
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const IconImage& im : images) {
        data.push_back(ImageBytes(im));
        b.insert(b.end(), {static_cast<std::uint8_t>(im.Width), static_cast<std::uint8_t>(im.Height), 0, 0});
        Put16(b, 1);
        Put16(b, im.Bits);
        Put32(b, static_cast<std::uint32_t>(static_cast<int>(data.back().size()) + im.ExtraBytes));
        Put32(b, offset);
        offset += static_cast<std::uint32_t>(data.back().size());
    }
    for (const Bytes& d : data)
        b.insert(b.end(), d.begin(), d.end());
    return b;
}

class Ico : public ::testing::Test {
protected:
    void SetUp() override
    {
        PGStartup();
        PGIcoStartup();
    }
    void TearDown() override { PGShutdown(); }

    static void Load(TPixelGraphic& g, const Bytes& bytes, int index = 0)
    {
        TMemoryStream s(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        tIcoFileFormatReader().Read(s, g, index);
    }

    static std::string LoadError(const Bytes& bytes, int index = 0)
    {
        TPixelGraphic g;
        return test::ErrorText<EPixelGraphic>([&] { Load(g, bytes, index); });
    }

    test::TempDir dir_;
};

TEST_F(Ico, PalettePixelsAndWhiteWhereMasked)
{
    for (const int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        IconImage im;
        im.Width = 9;
        im.Height = 10;
        im.Bits = bits;
        im.Palette = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 128, 0), RGB(1, 2, 3)};
        const int top = bits == 1 ? 1 : 3;
        for (int i = 0; i < im.Width * im.Height; ++i) {
            im.Pixels.push_back(i % (top + 1));
            im.Mask.push_back(i % 5 == 4);
        }
        const Bytes file = MakeIco({im});
        TFileHeader header{};
        std::copy_n(file.begin(), header.size(), header.begin());
        EXPECT_TRUE(tIcoFileFormatReader().CanRead(header));
        TPixelGraphic g;
        Load(g, file);
        ASSERT_EQ(g.GetPixelFormat(), pf24Bit);
        ASSERT_EQ(g.GetWidth(), 9);
        ASSERT_EQ(g.GetHeight(), 10);
        for (int y = 0; y < im.Height; ++y)
            for (int x = 0; x < im.Width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * im.Width + x);
                const TColor want = im.Mask[i] ? clWhite : im.Palette[static_cast<std::size_t>(im.Pixels[i])];
                ASSERT_EQ(g.GetPixelColor(x, y), want) << x << "," << y;
            }
    }
}

TEST_F(Ico, SeveralImagesAndTheirInfo)
{
    IconImage small, large;
    small.Width = small.Height = 16;
    small.Bits = 8;
    small.Palette = {RGB(9, 9, 9)};
    large.Width = large.Height = 32;
    large.Bits = 1;
    large.Palette = {0, RGB(1, 1, 1)};
    large.Pixels.assign(32 * 32, 1);
    const Bytes file = MakeIco({small, large});
    TPixelGraphic g;
    Load(g, file);
    EXPECT_EQ(g.GetWidth(), 16);
    EXPECT_EQ(g.GetPixelColor(0, 0), RGB(9, 9, 9));
    Load(g, file, 1);
    EXPECT_EQ(g.GetWidth(), 32);
    EXPECT_EQ(g.GetPixelColor(31, 31), RGB(1, 1, 1));
    EXPECT_EQ(LoadError(file, 2), "Index out of bounds");

    TMemoryStream s(file.data(), static_cast<std::int64_t>(file.size()));
    TGraphicInfo info;
    ASSERT_TRUE(GetGraphicStreamInfo(s, "", 0, info));
    EXPECT_EQ(info.FormatName, "Windows Icon");
    EXPECT_EQ(info.ImageCount, 2);
    EXPECT_EQ(info.Width, 16);
    EXPECT_EQ(info.Height, 16);
    EXPECT_EQ(info.BitCount, 8);
    EXPECT_EQ(info.SubFormat, "Sizes 16..32");
    EXPECT_EQ(info.Remarks, "Colors 2..256");

    const Bytes single = MakeIco({small});
    TMemoryStream one(single.data(), static_cast<std::int64_t>(single.size()));
    ASSERT_TRUE(GetGraphicStreamInfo(one, "", 0, info));
    EXPECT_EQ(info.Colors, "256");
    EXPECT_EQ(info.SubFormat, "");
}

TEST_F(Ico, RefusedImagesAndFiles)
{
    IconImage ok;
    const Bytes cursor = MakeIco({ok}, 2);
    TFileHeader header{};
    std::copy_n(cursor.begin(), header.size(), header.begin());
    EXPECT_FALSE(tIcoFileFormatReader().CanRead(header));
    EXPECT_EQ(LoadError(cursor), "Not an Icon file");

    IconImage trueColour;
    trueColour.Bits = 32;
    EXPECT_EQ(LoadError(MakeIco({trueColour})), "Index out of bounds");
    IconImage big;
    big.Width = big.Height = 128;
    EXPECT_EQ(LoadError(MakeIco({big})), "Index out of bounds");
    IconImage tiny;
    tiny.Width = tiny.Height = 4;
    EXPECT_EQ(LoadError(MakeIco({tiny})), "Index out of bounds");
    IconImage lying;
    lying.ExtraBytes = -4; // the entry's size disagrees with its header
    EXPECT_EQ(LoadError(MakeIco({lying})), "Index out of bounds");

    Bytes past = MakeIco({ok});
    past.resize(past.size() - 1); // the image runs past the end
    EXPECT_EQ(LoadError(past), "Not an Icon file");
    Bytes entries = MakeIco({ok});
    entries[4] = 200; // more entries than the file holds
    EXPECT_EQ(LoadError(entries), "Not an Icon file");
    EXPECT_EQ(LoadError({0, 0, 1, 0, 1, 0}), "Not an Icon file");
    Bytes header40 = MakeIco({ok});
    header40[22] = 12; // not a 40-byte bitmap header
    EXPECT_EQ(LoadError(header40), "Index out of bounds");
}

TEST_F(Ico, AgreesWithWinicontopam)
{
    if (!test::HaveTool("pamtowinicon") || !test::HaveTool("winicontopam"))
        GTEST_SKIP() << "netpbm is not installed";
    // A picture with transparent pixels, as netpbm's icon maker takes it.
    const int w = 24, h = 20;
    std::string pam = "P7\nWIDTH 24\nHEIGHT 20\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int k = (x / 3 + y / 4) % 12;
            pam += static_cast<char>(k * 20);
            pam += static_cast<char>(255 - k * 20);
            pam += static_cast<char>(k & 1 ? 200 : 30);
            pam += static_cast<char>((x + y) % 7 == 0 ? 0 : 255);
        }
    const std::string src = dir_.File("src.pam"), ico = dir_.File("x.ico");
    test::WriteFileBytes(src, std::vector<unsigned char>(pam.begin(), pam.end()));
    ASSERT_EQ(test::Run("pamtowinicon " + src + " > " + ico + " 2>/dev/null"), 0);
    TPixelGraphic g;
    g.LoadFromFile(ico);
    const test::NetpbmPicture theirs = test::RunNetpbm("winicontopam " + ico);
    ASSERT_EQ(theirs.Depth, 4);
    ASSERT_EQ(g.GetWidth(), theirs.Width);
    ASSERT_EQ(g.GetHeight(), theirs.Height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = theirs.At(x, y);
            ASSERT_EQ(g.GetPixelColor(x, y), p[3] == 0 ? clWhite : RGB(p[0], p[1], p[2])) << x << "," << y;
        }
}

} // namespace
} // namespace lumeno
