#include "controls/media/gif_writer.h"

#include "controls/media/gif_image.h"
#include "imagelib/pixel_graphic.h"
#include "support/test_env.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sstream>

namespace lumeno {
namespace {

using Pixels = std::vector<TColor>; // row by row

std::unique_ptr<TPixelGraphic> MakeBitmap(int width, int height, const Pixels& pixels)
{
    auto bitmap = std::make_unique<TPixelGraphic>();
    bitmap->SetDimensions(width, height, pf24Bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap->SetPixelColor(x, y, pixels[static_cast<std::size_t>(y * width + x)]);
    return bitmap;
}

Pixels RandomPixels(int count, int colours, unsigned seed)
{
    std::mt19937 random(seed);
    Pixels pixels(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        // the first `colours` pixels show every colour once
        const unsigned c = i < colours ? static_cast<unsigned>(i) : random() % static_cast<unsigned>(colours);
        pixels[static_cast<std::size_t>(i)] = RGB(c * 7 % 256, c, 255 - c / 2 % 256);
    }
    return pixels;
}

// Images of a PNM stream (as giftopnm -image=all writes them: PBM for
// black-and-white images, PGM for grey ones, PPM otherwise).
std::vector<std::pair<int, Pixels>> ReadPNMs(const std::string& data)
{
    std::vector<std::pair<int, Pixels>> images;
    std::istringstream in(data);
    std::string magic;
    while (in >> magic && (magic == "P4" || magic == "P5" || magic == "P6")) {
        int width, height, maxval = 1;
        in >> width >> height;
        if (magic != "P4")
            in >> maxval;
        in.get();
        Pixels pixels;
        for (int y = 0; y < height; ++y) {
            std::vector<unsigned char> row(magic == "P4" ? (width + 7) / 8 : width * (magic == "P5" ? 1 : 3));
            in.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(row.size()));
            for (int x = 0; x < width; ++x) {
                if (magic == "P4")
                    pixels.push_back((row[x / 8] >> (7 - x % 8)) & 1 ? clBlack : clWhite);
                else if (magic == "P5")
                    pixels.push_back(RGB(row[x], row[x], row[x]));
                else
                    pixels.push_back(RGB(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]));
            }
        }
        images.emplace_back(width, std::move(pixels));
    }
    return images;
}

std::vector<std::pair<int, Pixels>> Decode(const std::string& file)
{
    return ReadPNMs(test::RunOutput("giftopnm -image=all '" + file + "' 2>/dev/null"));
}

void ExpectDecodesTo(const std::string& file, const std::vector<std::pair<int, Pixels>>& frames)
{
    if (!test::HaveTool("giftopnm"))
        return;
    const auto decoded = Decode(file);
    ASSERT_EQ(decoded.size(), frames.size()) << file;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(decoded[i].first, frames[i].first) << "frame " << i;
        EXPECT_TRUE(decoded[i].second == frames[i].second) << "frame " << i;
    }
}

TFrameInfo FrameOf(TPixelGraphic* bitmap)
{
    TFrameInfo frame;
    frame.Bitmap = bitmap;
    return frame;
}

TEST(GIFWriter, TwoColourImageHasTheDocumentedLayout)
{
    test::TempDir dir;
    const Pixels pixels = {clBlack, clWhite, clWhite, clBlack, clBlack, clBlack};
    auto bitmap = MakeBitmap(3, 2, pixels);
    const std::string file = dir.File("two.gif");
    ASSERT_TRUE(SaveBitmapAsGIF(file, *bitmap, false, clRed, true)); // red is not in the image
    const auto bytes = test::ReadFileBytes(file);
    ASSERT_GT(bytes.size(), 40u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    EXPECT_EQ(bytes[6], 3);
    EXPECT_EQ(bytes[8], 2);
    EXPECT_EQ(bytes[10], 0x80); // 2-entry global table
    EXPECT_EQ(std::vector<int>(bytes.begin() + 13, bytes.begin() + 19),
              (std::vector<int>{0, 0, 0, 255, 255, 255}));
    EXPECT_EQ(std::vector<int>(bytes.begin() + 19, bytes.begin() + 23), (std::vector<int>{0x21, 0xF9, 4, 0}));
    EXPECT_EQ(bytes[27], 0x2C); // no application block before it
    EXPECT_EQ(bytes[36], 0);    // descriptor flags
    EXPECT_EQ(bytes[37], 2);    // minimum code size
    EXPECT_EQ(bytes.back(), 0x3B);
    ExpectDecodesTo(file, {{3, pixels}});

    // A transparent colour that occurs sets the flag; interlacing sets 0x40.
    ASSERT_TRUE(SaveBitmapAsGIF(file, *bitmap, true, clWhite, true));
    const auto again = test::ReadFileBytes(file);
    EXPECT_EQ(again[22], 1);
    EXPECT_EQ(again[25], 1); // white is entry 1
    EXPECT_EQ(again[36], 0x40);
    ExpectDecodesTo(file, {{3, pixels}});
}

TEST(GIFWriter, FullTableWithCodeResetsAndInterlaceDecodeExactly)
{
    if (!test::HaveTool("giftopnm"))
        GTEST_SKIP() << "netpbm missing";
    test::TempDir dir;
    for (bool interlaced : {false, true}) {
        const Pixels pixels = RandomPixels(173 * 131, 256, 11); // enough codes to fill the table many times
        auto bitmap = MakeBitmap(173, 131, pixels);
        const std::string file = dir.File("full.gif");
        ASSERT_TRUE(SaveBitmapAsGIF(file, *bitmap, interlaced, 0, false));
        ExpectDecodesTo(file, {{173, pixels}});
        const auto bytes = test::ReadFileBytes(file);
        EXPECT_EQ(bytes[10], 0x87);
    }
    // Runs of one colour make long strings.
    Pixels runs(300 * 40, clNavy);
    for (std::size_t i = 0; i < runs.size(); i += 37)
        runs[i] = clYellow;
    auto bitmap = MakeBitmap(300, 40, runs);
    ASSERT_TRUE(SaveBitmapAsGIF(dir.File("runs.gif"), *bitmap, false, 0, false));
    ExpectDecodesTo(dir.File("runs.gif"), {{300, runs}});
}

TEST(GIFWriter, PalettedBitmapsAreReadThroughTheirPalette)
{
    test::TempDir dir;
    TPixelGraphic bitmap;
    bitmap.SetDimensions(9, 3, pf4Bit);
    bitmap.SetPaletteSize(16);
    for (int i = 0; i < 16; ++i)
        bitmap.SetPaletteEntry(i, RGB(i * 16, 255 - i * 16, i * 5));
    Pixels expected;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x) {
            bitmap.SetPixel(x, y, static_cast<std::uint32_t>((x + y * 9) % 16));
            expected.push_back(RGB((x + y * 9) % 16 * 16, 255 - (x + y * 9) % 16 * 16, (x + y * 9) % 16 * 5));
        }
    ASSERT_TRUE(SaveBitmapAsGIF(dir.File("p.gif"), bitmap, false, 0, false));
    ExpectDecodesTo(dir.File("p.gif"), {{9, expected}});
    EXPECT_EQ(bitmap.GetPixelFormat(), pf4Bit); // the caller's image is left as it was
}

TEST(GIFWriter, TooManyColoursWritesNothingAndKeepsTheOldFile)
{
    test::TempDir dir;
    auto bitmap = MakeBitmap(257, 1, RandomPixels(257, 257, 3));
    const std::string file = dir.File("new.gif");
    EXPECT_FALSE(SaveBitmapAsGIF(file, *bitmap, false, 0, false));
    EXPECT_FALSE(std::filesystem::exists(file));
    const std::string old = dir.File("old.gif");
    test::WriteFileBytes(old, {'k', 'e', 'e', 'p'});
    EXPECT_FALSE(SaveBitmapAsGIF(old, *bitmap, false, 0, false));
    EXPECT_EQ(test::ReadFileBytes(old), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    TGIFSaveData data;
    data.Frames.push_back(FrameOf(bitmap.get()));
    TMemoryStream stream;
    TGIFWriter writer;
    EXPECT_FALSE(writer.Encode(data, stream));
    EXPECT_EQ(writer.Status(), gwsTooManyColors);
    EXPECT_EQ(stream.GetSize(), 0);
}

TEST(GIFWriter, TransparentEntry255StaysTransparent)
{
    test::TempDir dir;
    const Pixels pixels = RandomPixels(64 * 8, 256, 5);
    auto bitmap = MakeBitmap(64, 8, pixels);
    const TColor last = pixels[255]; // first seen last: entry 255
    ASSERT_TRUE(SaveBitmapAsGIF(dir.File("t.gif"), *bitmap, false, last, true));
    TGIFImage gif;
    ASSERT_TRUE(gif.LoadFromFile(dir.File("t.gif")));
    EXPECT_TRUE(gif.Frame(1).Transparent);
    EXPECT_EQ(gif.Frame(1).TransparentIndex, 255);
    EXPECT_EQ(qAlpha(gif.Composition().pixel(255 % 64, 255 / 64)), 0);
}

TEST(GIFWriter, AnimationWithLoopDelaysDisposalsAndComments)
{
    test::TempDir dir;
    const Pixels a(6 * 4, clRed);
    Pixels b = RandomPixels(5 * 5, 40, 9);
    const Pixels c = {clBlue, clLime, clLime, clBlue};
    auto ba = MakeBitmap(6, 4, a);
    auto bb = MakeBitmap(5, 5, b);
    auto bc = MakeBitmap(2, 2, c);
    for (bool global : {true, false}) {
        TGIFSaveData data;
        data.LoopCount = 3;
        data.GlobalTable = global;
        data.Frames.push_back({ba.get(), 0, 0, 0, 0, 95, false, false, 0, 1, std::string(300, 'x')});
        data.Frames.push_back({bb.get(), 3, 2, 0, 0, 200, true, true, b[0], 2, ""});
        data.Frames.push_back({bc.get(), 1, 5, 0, 0, 0, false, false, 0, 3, "last"});
        TMemoryStream stream;
        TGIFWriter writer;
        ASSERT_TRUE(writer.Encode(data, stream));
        EXPECT_EQ(writer.Status(), gwsOk);
        const std::string file = dir.File(global ? "global.gif" : "local.gif");
        stream.SaveToFile(file);
        ExpectDecodesTo(file, {{6, a}, {5, b}, {2, c}});

        TGIFImage gif;
        ASSERT_TRUE(gif.LoadFromFile(file));
        ASSERT_EQ(gif.FrameCount(), 3);
        EXPECT_EQ(gif.PictureSize(), QSize(8, 7));
        EXPECT_EQ(gif.LoopCount(), 3);
        EXPECT_EQ(gif.Frame(1).Delay, 90);
        EXPECT_EQ(gif.Frame(1).Disposal, 1);
        EXPECT_EQ(gif.Frame(1).Comment, std::string(300, 'x'));
        EXPECT_EQ(gif.Frame(2).Disposal, 2);
        EXPECT_TRUE(gif.Frame(2).Interlaced);
        EXPECT_TRUE(gif.Frame(2).Transparent);
        EXPECT_EQ(gif.Frame(3).Comment, "last");
        EXPECT_EQ(gif.Frame(3).ColorBits, global ? 0 : 1);
        EXPECT_EQ(gif.Frame(3).Top, 5);
    }
}

TEST(GIFWriter, SharedTableOverflowFallsBackToTablesPerFrame)
{
    test::TempDir dir;
    const Pixels first = RandomPixels(16 * 10, 160, 1);
    Pixels second = RandomPixels(16 * 10, 160, 2);
    for (TColor& p : second)
        p ^= 0x010000; // colours of their own
    auto b1 = MakeBitmap(16, 10, first);
    auto b2 = MakeBitmap(16, 10, second);
    TGIFSaveData data;
    data.Frames = {FrameOf(b1.get()), FrameOf(b2.get())};
    TMemoryStream stream;
    TGIFWriter writer;
    ASSERT_TRUE(writer.Encode(data, stream));
    EXPECT_FALSE(data.GlobalTable);
    EXPECT_EQ(stream.Data()[10], 0); // no global table
    stream.SaveToFile(dir.File("two.gif"));
    ExpectDecodesTo(dir.File("two.gif"), {{16, first}, {16, second}});
}

} // namespace
} // namespace lumeno
