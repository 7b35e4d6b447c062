// Writes the seed corpora of the fuzz targets: small pictures of every depth
// saved by our own writers, and hand-built variants the writers never make.
// Usage: make_seeds FOLDER; each target's seeds go to FOLDER/<target>/.

#include "imagelib/codecs/bmp_bytes.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/exception.h"
#include "platform/stream.h"
#include "support/metafile_builder.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace lumeno;
using TBytes = std::vector<std::uint8_t>;

namespace {

void WriteSeed(const fs::path& folder, const std::string& target, const std::string& name, const TBytes& bytes)
{
    fs::create_directories(folder / target);
    TMemoryStream(bytes).SaveToFile((folder / target / name).string());
}

// A pattern with edges, a gradient and flat areas, in the given depth.
void Paint(TPixelGraphic& picture, std::uint8_t pixelFormat, int width, int height)
{
    picture.SetDimensions(width, height, pixelFormat);
    if (pixelFormat == pf1Bit)
        picture.SetPaletteType(pBlackWhite);
    else if (pixelFormat == pf4Bit)
        picture.SetPaletteType(pSys16);
    else if (pixelFormat == pf8Bit)
        picture.SetPaletteType(pSpecial216);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.SetPixelColor(x, y, x < width / 3 ? clWhite : RGB(x * 255 / width, y * 255 / height, 128));
}

struct TSaved {
    std::string Target;
    std::string Extension;
    bool Alternative = false; // has a second encoding (see main)
};

// Every target whose format has a writer of ours.
const std::vector<TSaved> SavedFormats = {
    {"bmp", "bmp"},
    {"jpeg", "jpg", true},
    {"png", "png"},
    {"pnm", "pbm", true},
    {"pnm", "pgm", true},
    {"pnm", "ppm", true},
    {"tga", "tga"},
    {"tiff", "tif", true},
};

void WriteSavedSeeds(const fs::path& folder, bool alternative)
{
    static const std::uint8_t formats[] = {pf1Bit, pf4Bit, pf8Bit, pf24Bit};
    const std::string tag = alternative ? "alt-" : "";
    for (const TSaved& saved : SavedFormats)
        for (std::uint8_t format : formats)
            for (int size : {1, 13}) {
                if (alternative && !saved.Alternative)
                    continue;
                TPixelGraphic picture;
                picture.SetSaveColorResWarningAction(pgwaIgnore);
                Paint(picture, format, size, size * 2 / 3 + 1);
                TMemoryStream stream;
                try {
                    picture.SaveToStreamAs(stream, saved.Extension);
                } catch (const Exception& e) {
                    std::fprintf(stderr, "make_seeds: %s: %s\n", saved.Extension.c_str(), e.what());
                    continue;
                }
                WriteSeed(folder, saved.Target,
                          tag + std::to_string(picture.GetBitsPerPixel()) + "bit-" + std::to_string(size) + "." +
                              saved.Extension,
                          stream.Data());
            }
}

// Bitmap variants our writer never makes: OS/2 header, run lengths, bit
// fields, top-down rows, the long header.
void WriteBmpVariants(const fs::path& folder)
{
    using test::BmpSpec;
    using test::MakeBmp;
    BmpSpec core{.HeaderSize = 12, .Width = 3, .Height = 2, .BitCount = 1, .Palette = {0xFF0000, 0x0000FF}};
    core.Pixels = {0xA0, 0, 0, 0, 0x40, 0, 0, 0};
    WriteSeed(folder, "bmp", "core1.bmp", MakeBmp(core));

    BmpSpec rle8{.Width = 8, .Height = 3, .BitCount = 8, .Compression = 1, .ClrUsed = 3, .Palette = {0, 0xFFFFFF, 0xFF}};
    // A run, an absolute stretch, a delta, an end of line and the end.
    rle8.Pixels = {4, 1, 0, 3, 2, 1, 2, 0, 0, 2, 1, 1, 0, 0, 8, 2, 0, 1};
    WriteSeed(folder, "bmp", "rle8.bmp", MakeBmp(rle8));

    BmpSpec rle4{.Width = 8, .Height = 2, .BitCount = 4, .Compression = 2, .ClrUsed = 3, .Palette = {0, 0xFFFFFF, 0xFF}};
    rle4.Pixels = {8, 0x12, 0, 0, 0, 5, 0x12, 0x12, 0x10, 0, 3, 0, 0, 1};
    WriteSeed(folder, "bmp", "rle4.rle", MakeBmp(rle4));

    BmpSpec rgb565{.Width = 2, .Height = 2, .BitCount = 16, .Compression = 3, .Masks = {0xF800, 0x07E0, 0x001F}};
    rgb565.Pixels = {0x1F, 0, 0xE0, 0x07, 0, 0xF8, 0xFF, 0xFF};
    WriteSeed(folder, "bmp", "bitfields565.bmp", MakeBmp(rgb565));

    BmpSpec rgb555{.Width = 2, .Height = 1, .BitCount = 16, .Pixels = {0x1F, 0, 0xE0, 0x03}};
    WriteSeed(folder, "bmp", "rgb555.bmp", MakeBmp(rgb555));

    BmpSpec xrgb{.HeaderSize = 124, .Width = 2, .Height = -2, .BitCount = 32, .Compression = 3,
                 .Masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}};
    xrgb.Pixels = TBytes(16, 0x80);
    WriteSeed(folder, "bmp", "v5-topdown32.bmp", MakeBmp(xrgb));
}

// Windows metafiles: placeable and plain, with shapes, objects, clipping,
// text and a bitmap.
void WriteWmfSeeds(const fs::path& folder)
{
    using namespace test;
    TWMFBuilder b;
    b.Words(0x020B, {0, 0}).Words(0x020C, {100, 100});         // window origin, extent
    b.Words(0x02FC, {0, 0x00FF, 0, 0}).Words(0x012D, {0});     // solid red brush
    b.Words(0x02FA, {0, 2, 0, 0xFF00, 0}).Words(0x012D, {1});  // green pen
    b.Words(0x041B, {40, 40, 10, 10}).Words(0x0418, {90, 90, 50, 50});
    b.Words(0x0324, {3, 10, 60, 40, 60, 25, 90});              // polygon
    b.Words(0x0416, {95, 95, 5, 5}).Words(0x001E, {}).Words(0x0127, {-1});
    b.Words(0x0214, {0, 0}).Words(0x0213, {99, 99});
    TBytes font;
    for (int v : {-12, 0, 0, 0, 400})
        Add16(font, v);
    for (char c : std::string("\0\0\0\0\0\0\0\0DejaVu Sans", 19))
        font.push_back(static_cast<std::uint8_t>(c));
    font.resize(50);
    b.Raw(0x02FB, font).Words(0x012D, {2});
    b.Words(0x0209, {0xFF, 0}).Raw(0x0521, {2, 0, 'H', 'i', 20, 0, 20, 0});
    TBytes stretch;
    Add32(stretch, 0x00CC0020);
    for (int v : {0, 2, 2, 0, 0, 20, 20, 60, 60})
        Add16(stretch, v);
    const TBytes dib = PackedDIB24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00});
    stretch.insert(stretch.end(), dib.begin(), dib.end());
    b.Raw(0x0F43, stretch).Words(0x01F0, {0});
    TBytes placeable = PlaceableHeader(0, 0, 100, 100, 96);
    const TBytes body = b.Build(3);
    placeable.insert(placeable.end(), body.begin(), body.end());
    WriteSeed(folder, "wmf", "placeable.wmf", placeable);
    WriteSeed(folder, "wmf", "plain.wmf", body);
}

// Enhanced metafiles: both header sizes, objects, a path, a transform,
// clipping, a bitmap and text.
void WriteEmfSeeds(const fs::path& folder)
{
    using namespace test;
    auto ints = [](const std::vector<std::int32_t>& values) {
        TBytes b;
        for (auto v : values)
            Add32(b, static_cast<std::uint32_t>(v));
        return b;
    };
    TEMFBuilder b(2646, 2646);
    b.Ints(39, {1, 0, 0x0000FF, 0}).Ints(37, {1});                // brush, select
    b.Ints(37, {static_cast<std::int32_t>(0x80000008)});          // stock null pen
    b.Ints(43, {10, 10, 40, 40}).Ints(42, {50, 50, 90, 90});      // rectangle, ellipse
    b.Ints(33, {}).Ints(17, {8}).Ints(9, {200, 200}).Ints(11, {100, 100}).Ints(34, {-1});
    b.Record(35, ints({0x3F800000, 0, 0, 0x3F800000, 0x41200000, 0x41200000})); // transform
    b.Ints(59, {}).Ints(27, {10, 10}).Ints(54, {40, 10}).Ints(54, {40, 40});
    b.Ints(61, {}).Ints(60, {}).Ints(62, {0, 0, 0, 0});
    b.Record(75, ints({48, 5, 32, 1, 1, 16, 50, 50, 100, 75, 50, 50, 100, 75}));
    const TBytes dib = PackedDIB24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00});
    TBytes stretch = ints({0, 0, 0, 0, 50, 50, 0, 0, 2, 2, 80, 40, 120,
                           static_cast<std::int32_t>(dib.size() - 40), 0, 0x00CC0020, 50, 50});
    stretch.insert(stretch.end(), dib.begin(), dib.end());
    b.Record(81, stretch).Ints(75, {0, 5});
    TBytes font = ints({1, -30, 0, 0, 0, 400, 0, 0});
    for (char16_t c : std::u16string(u"DejaVu Sans"))
        Add16(font, c);
    font.resize(12 + 92 - 8);
    b.Record(82, font).Ints(37, {2}).Ints(24, {0xFF0000});
    TBytes text = ints({0, 0, 0, 0, 1, 0, 0, 5, 80, 2, 76, 0, 0, 0, 0, 0, 0});
    Add16(text, 'H');
    Add16(text, 'i');
    b.Record(84, text);
    b.Ints(95, {1, 0, 0, 0, 0, 0x10000, 6, 0, 0xFF0000, 0, 0}).Ints(37, {1});
    b.Record(89, ints({0, 0, 0, 0, 2, 0x000A000A, 0x00500014}));  // polylineto16
    WriteSeed(folder, "emf", "shapes.emf", b.Build(3, {0x0000FF, 0x00FF00}));
    WriteSeed(folder, "emf", "shapes-88.emf", b.Build(3, {}, 88));
}

// Albums as the album window writes them, an older one without rotation
// bytes, and one with LF line ends.
template <std::size_t N> std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

void WriteAlbumSeeds(const fs::path& folder)
{
    const std::string settings = "  2  3100" "01" + std::string(35, ' ') + "Arial" + " 8" + std::string(11, ' ') + "0" "10";
    const auto album = [&](const std::string& version, const std::string& entries) {
        const std::string text = settings + version + std::string(1000 - version.size(), ' ') + entries;
        return TBytes(text.begin(), text.end());
    };
    WriteSeed(folder, "album", "current.alb", album("7.80", Bytes("\0/p/a.jpg\tBeach\r\n\x03/p/b c.png\t\r\n")));
    WriteSeed(folder, "album", "old.alb", album("6.00", "/p/a.jpg\tA\r\n/p/b.gif\tB\r\n"));
    WriteSeed(folder, "album", "lf.alb", album("7.80", Bytes("\x01/p/a.jpg\tA\n\0/p/c.jpg\t\n")));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    PGStartup();
    const fs::path folder = argv[1];
    WriteSavedSeeds(folder, false);
    // The other encodings of the writers that have them.
    JPEGProgressive = true;
    PxMBinary = false;
    TIFFCompression = 32773; // PackBits
    TIFFByteOrder = 1;
    TIFFWriteCMYK = true;
    TIFFWhiteIsZero = true;
    WriteSavedSeeds(folder, true);
    WriteBmpVariants(folder);
    WriteWmfSeeds(folder);
    WriteEmfSeeds(folder);
    WriteAlbumSeeds(folder);
    return 0;
}
