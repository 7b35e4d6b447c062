#include "imagelib/format_registry.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pg_startup_qt.h"
#include "imagelib/pixel_graphic.h"
#include "support/metafile_builder.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <set>

namespace lumeno {
namespace {

using test::TBytes;

// A 3 × 2 window with one filled rectangle.
TBytes SmallWMF()
{
    test::TWMFBuilder b;
    b.Words(0x020B, {0, 0}).Words(0x020C, {2, 3}).Words(0x041B, {2, 3, 0, 0});
    TBytes bytes = test::PlaceableHeader(0, 0, 3, 2, 96);
    const TBytes body = b.Build(0);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

TEST(StartupAllFormats, OneCallRegistersAndLoadsEveryReaderFormat)
{
    if (test::Run("command -v convert-im6.q16 >/dev/null") != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    PGShutdown();
    PGStartupAllFormats();
    std::set<std::string> readers;
    for (const auto& r : FileFormatReaders())
        readers.insert(r->Extension);
    const std::set<std::string> all{"bmp", "dib", "emf", "gif", "ico", "jif", "jpeg", "jpg", "pbm",
                                    "pcx", "pgm", "png", "ppm", "rle", "tga", "tif", "tiff", "wmf"};
    EXPECT_EQ(readers, all);

    test::TempDir dir;
    const std::string made = dir.File("made.png");
    ASSERT_EQ(test::Run("convert-im6.q16 -size 16x16 xc:red " + made), 0);
    const std::vector<std::pair<std::string, std::string>> converted{
        {"bmp", "bmp3"}, {"dib", "bmp3"}, {"rle", "-compress RLE -colors 4 -type Palette bmp3"},
        {"gif", "gif"},  {"ico", "ico"},  {"jif", "jpg"}, {"jpeg", "jpg"}, {"jpg", "jpg"},
        {"pbm", "pbm"},  {"pcx", "pcx"},  {"pgm", "pgm"}, {"png", "png"}, {"ppm", "ppm"},
        {"tga", "tga"},  {"tif", "-compress None tif"}, {"tiff", "-compress None tif"}};
    for (const auto& [extension, format] : converted) {
        const std::size_t space = format.rfind(' ');
        const std::string options = space == std::string::npos ? "" : format.substr(0, space);
        const std::string coder = format.substr(space == std::string::npos ? 0 : space + 1);
        ASSERT_EQ(test::Run("convert-im6.q16 " + made + " " + options + " " + coder + ":" +
                            dir.File("a." + extension)),
                  0)
            << extension;
    }
    test::WriteFileBytes(dir.File("a.wmf"), SmallWMF());
    test::WriteFileBytes(dir.File("a.emf"), test::TEMFBuilder(79, 53).Build(1));

    for (const std::string& extension : all) {
        TPixelGraphic picture;
        try {
            picture.LoadFromFile(dir.File("a." + extension));
        } catch (const std::exception& e) {
            ADD_FAILURE() << extension << ": " << e.what();
        }
        EXPECT_FALSE(picture.GetEmpty()) << extension;
    }
    PGShutdown();
}

} // namespace
} // namespace lumeno
