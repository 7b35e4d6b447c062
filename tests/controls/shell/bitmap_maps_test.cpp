#include "controls/shell/anymap.h"
#include "controls/shell/cdr_map.h"
#include "controls/shell/gifmap.h"
#include "controls/shell/map_exceptions.h"
#include "controls/shell/pcxmap.h"
#include "controls/shell/tifmap.h"
#include "platform/stream.h"
#include "support/metafile_builder.h"
#include "support/test_env.h"

#include <QBuffer>

#include <gtest/gtest.h>
#include <random>

namespace lumeno {
namespace {

using Bytes = std::vector<std::uint8_t>;
const char* const kIM = "convert-im6.q16";

void Add16(Bytes& b, unsigned v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

void Add32(Bytes& b, std::uint32_t v)
{
    Add16(b, v & 0xFFFF);
    Add16(b, v >> 16);
}

template <class TMap> std::string ErrorOf(const Bytes& bytes)
{
    TMemoryStream stream(bytes);
    try {
        TMap map;
        map.LoadFromStream(stream);
    } catch (const EBitmapMapError& e) {
        return e.what();
    }
    return "";
}

// Pixels as 0xRRGGBB, row by row.
std::vector<std::uint32_t> Rgb(const QImage& image)
{
    std::vector<std::uint32_t> pixels;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            pixels.push_back(rgb.pixel(x, y) & 0xFFFFFF);
    return pixels;
}

class BitmapMaps : public ::testing::Test {
protected:
    // A picture made by ImageMagick, and ImageMagick's own decoding of it.
    std::pair<std::string, QImage> Made(const std::string& name, const std::string& args)
    {
        const std::string path = dir.File(name);
        EXPECT_EQ(test::Run(std::string(kIM) + " " + args + " '" + path + "'"), 0) << args;
        const std::string decoded = dir.File(name + ".png");
        EXPECT_EQ(test::Run(std::string(kIM) + " '" + path + "[0]' '" + decoded + "'"), 0) << name;
        return {path, QImage(QString::fromStdString(decoded))};
    }

    void ExpectLikeImageMagick(const std::string& name, const std::string& args)
    {
        const auto [path, expected] = Made(name, args);
        ASSERT_FALSE(expected.isNull()) << name;
        TAnymap map;
        map.LoadFromFile(path);
        ASSERT_FALSE(map.isNull()) << name;
        EXPECT_EQ(map.size(), expected.size()) << name;
        EXPECT_EQ(Rgb(map), Rgb(expected)) << name;
    }

    void SetUp() override
    {
        if (!test::HaveTool(kIM))
            GTEST_SKIP() << "ImageMagick missing";
    }

    test::TempDir dir;
};

// PCX header of a picture of width x height with bits per pixel, layers and
// bytes per line; the 16 colours are i * 0x111111.
Bytes PcxHeader(int width, int height, int bits, int planes, int bytesPerLine, int version = 5)
{
    Bytes b{10, std::uint8_t(version), 1, std::uint8_t(bits)};
    Add16(b, 0);
    Add16(b, 0);
    Add16(b, unsigned(width - 1));
    Add16(b, unsigned(height - 1));
    Add16(b, 72);
    Add16(b, 72);
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c)
            b.push_back(std::uint8_t(i * 0x11));
    b.push_back(0);
    b.push_back(std::uint8_t(planes));
    Add16(b, unsigned(bytesPerLine));
    b.resize(128, 0);
    return b;
}

// Each byte as a run of one, so any byte value is safe.
void AddPcxRow(Bytes& b, const Bytes& row)
{
    for (const std::uint8_t v : row) {
        b.push_back(0xC1);
        b.push_back(v);
    }
}

TEST_F(BitmapMaps, PcxDepthsDecodeLikeImageMagick)
{
    ExpectLikeImageMagick("mono.pcx", "-size 37x13 pattern:checkerboard -monochrome");
    ExpectLikeImageMagick("palette.pcx", "-size 40x21 gradient:red-blue -colors 200 -type Palette");
    ExpectLikeImageMagick("true.pcx", "-size 33x17 gradient:yellow-navy -type TrueColor");

    // 16 colours in four 1-bit layers, and 2 bits in one layer (widened).
    Bytes planar = PcxHeader(9, 2, 1, 4, 2, 2);
    for (int y = 0; y < 2; ++y)
        for (int plane = 0; plane < 4; ++plane)
            AddPcxRow(planar, {std::uint8_t(y ? 0x5A >> plane : 0xF0 >> plane), 0x80});
    Bytes twoBit = PcxHeader(5, 1, 2, 1, 2, 2);
    AddPcxRow(twoBit, {0x1B, 0x80});
    for (const auto& [name, bytes] : {std::pair{"planar.pcx", planar}, {"twobit.pcx", twoBit}}) {
        test::WriteFileBytes(dir.File(name), bytes);
        const std::string png = dir.File(std::string(name) + ".png");
        ASSERT_EQ(test::Run(std::string(kIM) + " '" + dir.File(name) + "' '" + png + "'"), 0);
        TAnymap map;
        map.LoadFromFile(dir.File(name));
        EXPECT_EQ(Rgb(map), Rgb(QImage(QString::fromStdString(png)))) << name;
    }
}

TEST_F(BitmapMaps, PcxErrors)
{
    Bytes notPcx = PcxHeader(4, 1, 8, 1, 4);
    notPcx[0] = 0;
    EXPECT_EQ(ErrorOf<TPcxmap>(notPcx), "Not a PCX file");
    EXPECT_EQ(ErrorOf<TPcxmap>(PcxHeader(4000, 1, 8, 1, 4000)), "File Too big");
    EXPECT_EQ(ErrorOf<TPcxmap>(Bytes(100, 10)), "Bad data");
    // Rows cut short, and a width the bytes per line cannot hold.
    Bytes cut = PcxHeader(4, 3, 8, 3, 4);
    AddPcxRow(cut, Bytes(12, 7));
    EXPECT_EQ(ErrorOf<TPcxmap>(cut), "Bad data");
    Bytes lying = PcxHeader(400, 1, 8, 1, 4);
    AddPcxRow(lying, Bytes(4, 7));
    EXPECT_EQ(ErrorOf<TPcxmap>(lying), "Bad data");
    // A run past the end of its row stays in the row.
    Bytes run = PcxHeader(4, 2, 4, 1, 2, 2);
    run.insert(run.end(), {0xFF, 0x12, 0xC2, 0x34});
    TMemoryStream stream(run);
    TPcxmap map;
    map.LoadFromStream(stream);
    EXPECT_EQ(map.size(), QSize(4, 2));
}

TEST_F(BitmapMaps, TiffOrdersAndCompressionsDecodeLikeImageMagick)
{
    for (const std::string endian : {"LSB", "MSB"})
        for (const std::string compress : {"None", "RLE", "LZW"}) {
            const std::string args = " -endian " + endian + " -compress " + compress +
                                     (compress == "LZW" ? " -define tiff:predictor=1" : "");
            const std::string tag = endian + compress;
            ExpectLikeImageMagick("rgb-" + tag + ".tif",
                                  "-size 45x19 gradient:red-blue -type TrueColor -depth 8" + args);
            ExpectLikeImageMagick("pal-" + tag + ".tiff",
                                  "-size 31x14 gradient:green-white -colors 200 -type Palette -depth 8" +
                                      args);
            ExpectLikeImageMagick("pal4-" + tag + ".tif",
                                  "-size 31x14 gradient:green-red -colors 12 -type Palette -depth 8" + args);
            ExpectLikeImageMagick("grey-" + tag + ".tif",
                                  "-size 29x11 gradient: -type Grayscale -depth 8" + args);
            ExpectLikeImageMagick("bw-" + tag + ".tif",
                                  "-size 30x9 pattern:checkerboard -type Bilevel -depth 1" + args);
        }
}

// A little-endian TIFF of one strip of 8-bit grey.
Bytes Tiff(int width, int height, int compression, const Bytes& strip, std::uint32_t stripCount,
           std::uint32_t stripOffset = 8)
{
    Bytes b{'I', 'I', 42, 0};
    Add32(b, std::uint32_t(8 + strip.size()));
    b.insert(b.end(), strip.begin(), strip.end());
    const std::vector<std::pair<unsigned, std::uint32_t>> tags{{256, std::uint32_t(width)},
                                                               {257, std::uint32_t(height)},
                                                               {258, 8},
                                                               {259, std::uint32_t(compression)},
                                                               {262, 1},
                                                               {273, stripOffset},
                                                               {277, 1},
                                                               {278, std::uint32_t(height)},
                                                               {279, stripCount}};
    Add16(b, unsigned(tags.size()));
    for (const auto& [tag, value] : tags) {
        Add16(b, tag);
        Add16(b, 4);
        Add32(b, 1);
        Add32(b, value);
    }
    Add32(b, 0);
    return b;
}

TEST_F(BitmapMaps, TiffErrors)
{
    EXPECT_EQ(ErrorOf<TTifmap>({'X', 'X', 42, 0, 8, 0, 0, 0}), "Not a TIF file");
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(8000, 1, 1, Bytes(8000), 8000)), "File Too big");
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(4, 2, 1, Bytes(8), 8, 5000)), "Bad data");
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(4, 2, 7, Bytes(8), 8)), "Unsupported Format");
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(4, 2, 1, Bytes(8), 6)), "Unexpected EOF");
    // LZW: clear (256), then 300, a code not in the table (9 bits each).
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(4, 2, 5, {0x80, 0x4B, 0x00}, 3)), "Bad code");
    // PackBits: a run of 100 bytes in a row of 4.
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(4, 2, 32773, {0x9D, 0x01, 0, 0}, 4)), "Bad data");
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(4, 2, 32773, {0x03, 1, 2, 3, 4}, 5)), "Unexpected EOF");
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(4, 2, 1, Bytes(8), 8)), "");
    // Strips far too short for the picture they claim are refused whatever
    // their compression.
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(7200, 30000, 32773, {0x81, 0}, 2)), "Unexpected EOF");
    EXPECT_EQ(ErrorOf<TTifmap>(Tiff(7200, 30000, 5, {0x80, 0, 0}, 3)), "Unexpected EOF");
}

TEST_F(BitmapMaps, InterlacedGifDecodesLikeImageMagick)
{
    ExpectLikeImageMagick("inter.gif", "-size 23x37 gradient:red-blue -colors 60 -interlace GIF");
    ExpectLikeImageMagick("plain.gif", "-size 50x9 pattern:checkerboard");
}

// GIF bytes: screen with or without a global table of 4 colours, then an
// image of 2 x 1 with or without a local table.
Bytes Gif(bool global, bool local, int minCodeSize = 2, Bytes codes = {0x44, 0x0A})
{
    Bytes b{'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, std::uint8_t(global ? 0x81 : 0), 0, 0};
    const Bytes table{0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0};
    if (global)
        b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), {'!', 0xFE, 2, 'h', 'i', 0});
    b.insert(b.end(), {',', 0, 0, 0, 0, 2, 0, 1, 0, std::uint8_t(local ? 0x81 : 0)});
    if (local)
        b.insert(b.end(), table.begin(), table.end());
    b.push_back(std::uint8_t(minCodeSize));
    if (!codes.empty()) {
        b.push_back(std::uint8_t(codes.size()));
        b.insert(b.end(), codes.begin(), codes.end());
    }
    b.insert(b.end(), {0, ';'});
    return b;
}

TEST_F(BitmapMaps, GifErrors)
{
    EXPECT_EQ(ErrorOf<TGifmap>({'G', 'I', 'X', '8', '9', 'a'}), "Not a GIF file");
    EXPECT_EQ(ErrorOf<TGifmap>(Gif(false, true)), "Missing color table");
    EXPECT_EQ(ErrorOf<TGifmap>({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 9, 9, 9, ';'}),
              "No data");
    EXPECT_EQ(ErrorOf<TGifmap>(Gif(true, false, 2, {})), "No data");
    EXPECT_EQ(ErrorOf<TGifmap>(Gif(true, false, 0)), "Bad code size");
    EXPECT_EQ(ErrorOf<TGifmap>(Gif(true, false, 12)), "Bad code size");
    // Code 7 right after the clear code is not in the table yet.
    EXPECT_EQ(ErrorOf<TGifmap>(Gif(true, false, 2, {0x3C, 0x00})), "Bad code");
    Bytes empty = Gif(true, false);
    empty[13 + 12 + 6 + 5] = 0; // width 0
    EXPECT_EQ(ErrorOf<TGifmap>(empty), "Bad bit size");
    EXPECT_EQ(ErrorOf<TGifmap>(Gif(true, true)), "");
}

TEST_F(BitmapMaps, CdrPreviewIsItsEmbeddedDib)
{
    QImage picture(13, 7, QImage::Format_RGB32);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            picture.setPixel(x, y, qRgb(x * 19, y * 35, (x + y) * 10));
    QByteArray dib;
    QBuffer buffer(&dib);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "BMP"));
    Bytes file(20, 0xCD);
    file.insert(file.end(), dib.begin(), dib.end());
    file[20] = file[21] = 0; // the stored file header is not trusted
    test::WriteFileBytes(dir.File("drawing.cdr"), file);
    TAnymap map;
    map.LoadFromFile(dir.File("drawing.cdr"));
    EXPECT_EQ(Rgb(map), Rgb(picture));

    // A preview beyond the 20,004 bytes kept for it is none.
    QImage big(100, 100, QImage::Format_RGB32);
    big.fill(Qt::red);
    QByteArray bigDib;
    QBuffer bigBuffer(&bigDib);
    bigBuffer.open(QIODevice::WriteOnly);
    big.save(&bigBuffer, "BMP");
    Bytes bigFile(20, 0);
    bigFile.insert(bigFile.end(), bigDib.begin(), bigDib.end());
    TMemoryStream stream(bigFile);
    TCdrMap cdr;
    cdr.LoadFromStream(stream);
    EXPECT_TRUE(cdr.isNull());
}

template <class TMap> void Attempt(const Bytes& bytes)
{
    TMemoryStream stream(bytes);
    try {
        TMap map;
        map.LoadFromStream(stream);
    } catch (const EBitmapMapError&) {
    } catch (const EStreamError&) {
    }
}

template <class TMap> void Damage(const std::string& path)
{
    const Bytes bytes = test::ReadFileBytes(path);
    for (std::size_t length = 0; length < bytes.size(); length += 1 + length / 16)
        Attempt<TMap>(Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(length)));
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        Bytes damaged = bytes;
        for (int k = 0; k < 4; ++k)
            damaged[random() % damaged.size()] = std::uint8_t(random());
        Attempt<TMap>(damaged);
    }
}

TEST_F(BitmapMaps, DamagedFilesFailCleanly)
{
    Damage<TPcxmap>(Made("d.pcx", "-size 21x13 gradient:red-blue -colors 100 -type Palette").first);
    Damage<TPcxmap>(Made("d24.pcx", "-size 21x13 gradient:red-blue -type TrueColor").first);
    Damage<TTifmap>(Made("d.tif", "-size 21x13 gradient:red-blue -depth 8 -compress LZW").first);
    Damage<TTifmap>(Made("dp.tif", "-size 21x13 gradient:red-blue -depth 8 -endian MSB -compress RLE").first);
    Damage<TGifmap>(Made("d.gif", "-size 21x13 gradient:red-blue -colors 40 -interlace GIF").first);
    const auto [bmp, decoded] =
        Made("d.bmp", "-size 9x5 gradient:red-blue -colors 16 -type Palette -define bmp:format=bmp3");
    Bytes cdr(20, 0);
    const Bytes dib = test::ReadFileBytes(bmp);
    cdr.insert(cdr.end(), dib.begin(), dib.end());
    test::WriteFileBytes(dir.File("d.cdr"), cdr);
    Damage<TCdrMap>(dir.File("d.cdr"));
}

TEST_F(BitmapMaps, AnymapChoosesByExtension)
{
    for (const char* name :
         {"a.bmp", "a.ICO", "a.wmf", "a.emf", "a.gif", "a.tif", "a.tiff", "a.cdr", "a.pcx"})
        EXPECT_TRUE(IsAnymapFile(name)) << name;
    for (const char* name : {"a.JPG", "a.png", "bmp", "/x.gif/a", "a.pcx.txt"})
        EXPECT_FALSE(IsAnymapFile(name)) << name;
    const auto [jpg, decoded] = Made("photo.JPG", "-size 8x8 xc:red");
    TAnymap map;
    map.LoadFromFile(jpg);
    EXPECT_TRUE(map.isNull());
    ExpectLikeImageMagick("icon.ico", "-size 16x16 gradient:red-blue");
    // Metafiles are drawn at their own size: a 3 x 2 placeable WMF at 96 dpi
    // filled red by one rectangle.
    test::TWMFBuilder wmf;
    wmf.Words(0x020B, {0, 0}).Words(0x020C, {2, 3}).Words(0x02FC, {0, 0x00FF, 0, 0}).Words(0x012D, {0});
    wmf.Words(0x041B, {2, 3, 0, 0});
    Bytes bytes = test::PlaceableHeader(0, 0, 3, 2, 96);
    const Bytes body = wmf.Build(1);
    bytes.insert(bytes.end(), body.begin(), body.end());
    test::WriteFileBytes(dir.File("shape.wmf"), bytes);
    TAnymap metafile;
    metafile.LoadFromFile(dir.File("shape.wmf"));
    EXPECT_EQ(metafile.size(), QSize(3, 2));
    EXPECT_EQ(metafile.pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
    ExpectLikeImageMagick("plain.bmp", "-size 7x5 gradient:red-blue -type TrueColor");
}

} // namespace
} // namespace lumeno
