// Writes the seed corpora of the fuzz targets: small pictures of every depth
// saved by our own writers, and hand-built variants the writers never make.
// Usage: make_seeds FOLDER; each target's seeds go to FOLDER/<target>/.

#include "imagelib/codecs/bmp_bytes.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/exception.h"
#include "platform/stream.h"

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
    return 0;
}
