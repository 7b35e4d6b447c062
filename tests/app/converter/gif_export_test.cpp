#include "app/converter/convert_image.h"
#include "app/converter/gif_export.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "support/test_env.h"
#include "app/converter/converter_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace lumeno {
namespace {

using test::DistinctColors;
using test::MakePicture;

class GIFExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        PGStartup();
        MakePicture(source, 96, 64);
    }
    void TearDown() override { PGShutdown(); }

    // The GIF's pixels as giftopnm decodes them.
    std::set<TColor> DecodedColors(const std::string& gif)
    {
        const std::string ppm = dir.File("back.ppm");
        EXPECT_EQ(test::Run("giftopnm '" + gif + "' > '" + ppm + "' 2>/dev/null"), 0);
        TPixelGraphic back;
        back.LoadFromFile(ppm);
        return DistinctColors(back);
    }
    std::string GifText(const std::string& gif) { return test::RunOutput("giftext '" + gif + "'"); }

    test::TempDir dir;
    TPixelGraphic source;
};

TEST_F(GIFExport, ReducedPictureHasTheComputedAndSystemColours)
{
    const auto reduced = ReduceForGIF(source, 96, 64);
    EXPECT_EQ(reduced->GetPixelFormat(), pf8Bit);
    EXPECT_EQ(reduced->GetWidth(), 96);
    EXPECT_LE(reduced->GetPaletteSize(), 256);
    std::set<TColor> palette;
    for (int i = 0; i < reduced->GetPaletteSize(); ++i)
        palette.insert(reduced->GetPaletteEntry(i));
    for (TColor system : {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray, clSilver, clRed,
                          clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite})
        EXPECT_TRUE(palette.count(system)) << std::hex << system;
    EXPECT_LE(palette.size(), 252u);

    const auto half = ReduceForGIF(source, 48, 32);
    EXPECT_EQ(half->GetWidth(), 48);
    EXPECT_EQ(half->GetHeight(), 32);
}

TEST_F(GIFExport, FileHoldsOnlyThePaletteColoursAndTheInterlaceFlag)
{
    if (!test::HaveTool("giftopnm") || !test::HaveTool("giftext"))
        GTEST_SKIP() << "giflib and netpbm tools missing";
    const auto reduced = ReduceForGIF(source, 96, 64);
    std::set<TColor> palette;
    for (int i = 0; i < reduced->GetPaletteSize(); ++i)
        palette.insert(reduced->GetPaletteEntry(i));

    const std::string plain = dir.File("plain.gif");
    bool asked = false;
    ExportGIF(plain, source, 96, 64, false, false, [&](TPixelGraphic&) {
        asked = true;
        return std::optional<TColor>(clRed);
    });
    EXPECT_FALSE(asked);
    const std::set<TColor> colors = DecodedColors(plain);
    EXPECT_LE(colors.size(), 252u);
    for (TColor c : colors)
        EXPECT_TRUE(palette.count(c)) << std::hex << c;
    EXPECT_GT(colors.size(), 16u);
    const std::string text = GifText(plain);
    EXPECT_EQ(text.find("Image is Interlaced"), std::string::npos);
    EXPECT_EQ(text.find("Transparency on: yes"), std::string::npos);

    const std::string interlaced = dir.File("interlaced.gif");
    ExportGIF(interlaced, source, 96, 64, true, false, nullptr);
    EXPECT_NE(GifText(interlaced).find("Image is Interlaced"), std::string::npos);
    EXPECT_EQ(DecodedColors(interlaced), colors);
}

TEST_F(GIFExport, TransparentColourOnlyWithAPick)
{
    if (!test::HaveTool("giftext"))
        GTEST_SKIP() << "giftext missing";
    const std::string picked = dir.File("picked.gif");
    int offeredWidth = 0;
    ExportGIF(picked, source, 96, 64, false, true, [&](TPixelGraphic& reduced) {
        offeredWidth = reduced.GetWidth();
        return std::optional<TColor>(reduced.GetPixelColor(0, 0));
    });
    EXPECT_EQ(offeredWidth, 96);
    const std::string text = GifText(picked);
    EXPECT_NE(text.find("Transparency on: yes"), std::string::npos) << text;

    const std::string closed = dir.File("closed.gif");
    ExportGIF(closed, source, 96, 64, false, true, [](TPixelGraphic&) { return std::optional<TColor>(); });
    EXPECT_EQ(GifText(closed).find("Transparency on: yes"), std::string::npos);
}

TEST_F(GIFExport, UnwritableTargetKeepsTheOldFile)
{
    EXPECT_ANY_THROW(ExportGIF(dir.File("missing/x.gif"), source, 96, 64, false, false, nullptr));

    const std::string target = dir.File("keep.gif");
    test::WriteFileBytes(target, {'o', 'l', 'd'});
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::access(dir.Path().c_str(), W_OK) == 0) { // running as root
        std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
        GTEST_SKIP() << "folders are always writable here";
    }
    EXPECT_ANY_THROW(ExportGIF(target, source, 96, 64, false, false, nullptr));
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(test::ReadFileBytes(target), (std::vector<unsigned char>{'o', 'l', 'd'}));
}

TEST_F(GIFExport, ResizedCopyIsSharpenedOnRequest)
{
    const auto plain = ResizeForConvert(source, 40, 30, false);
    const auto sharp = ResizeForConvert(source, 40, 30, true);
    ASSERT_EQ(sharp->GetWidth(), 40);
    ASSERT_EQ(sharp->GetHeight(), 30);
    int differing = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            differing += plain->GetPixelColor(x, y) != sharp->GetPixelColor(x, y);
    EXPECT_GT(differing, 40);
}

} // namespace
} // namespace lumeno
