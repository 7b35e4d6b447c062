#include "app/converter/convert_naming.h"
#include "app/converter/frm_convert.h"

#include <gtest/gtest.h>

#include <set>

namespace lumeno {
namespace {

TEST(ConvertNaming, TargetReplacesTheExtensionOfTheFileNameOnly)
{
    EXPECT_EQ(ConvertTargetName("/p/photo.tif", "jpg"), "/p/photo.jpg");
    // Cut at the first dot of the name, as the converter always did.
    EXPECT_EQ(ConvertTargetName("/p/photo.final.tif", "png"), "/p/photo.png");
    EXPECT_EQ(ConvertTargetName("/home/u/.cache/photos.2019/shot.bmp", "gif"), "/home/u/.cache/photos.2019/shot.gif");
    EXPECT_EQ(ConvertTargetName("/p/photo", "tga"), "/p/photo.tga");
    EXPECT_EQ(ConvertTargetName("/p/.hidden.png", "jpg"), "/p/.hidden.jpg");
    EXPECT_EQ(ConvertTargetName("/p/.hidden", "jpg"), "/p/.hidden.jpg");
    EXPECT_EQ(ConvertTargetName("photo.tif", "bmp"), "photo.bmp");
}

TEST(ConvertNaming, ExistingTargetsAreAskedAboutThenDodgedWithBangs)
{
    std::set<std::string> existing = {"/p/photo.jpg", "/p/!photo.jpg"};
    std::vector<std::string> asked;
    const auto exists = [&](const std::string& t) { return existing.count(t) > 0; };

    const std::string keep = ChooseConvertTarget("/p/photo.jpg", exists, [&](const std::string& t) {
        asked.push_back(t);
        return true;
    });
    EXPECT_EQ(keep, "/p/photo.jpg");

    asked.clear();
    const std::string dodged = ChooseConvertTarget("/p/photo.jpg", exists, [&](const std::string& t) {
        asked.push_back(t);
        return false;
    });
    EXPECT_EQ(dodged, "/p/!!photo.jpg");
    EXPECT_EQ(asked, (std::vector<std::string>{"/p/photo.jpg", "/p/!photo.jpg"}));

    EXPECT_EQ(ChooseConvertTarget("/p/new.jpg", exists, [](const std::string&) -> bool { throw 1; }), "/p/new.jpg");
}

TEST(ConvertNaming, TypesSizesAndPanes)
{
    EXPECT_EQ(ConverterExtension(0), "bmp");
    EXPECT_EQ(ConverterExtension(ConverterJPGItem), "jpg");
    EXPECT_EQ(ConverterExtension(2), "tif");
    EXPECT_EQ(ConverterExtension(3), "png");
    EXPECT_EQ(ConverterExtension(4), "tga");
    EXPECT_EQ(ConverterExtension(ConverterGIFItem), "gif");
    EXPECT_EQ(ConverterExtension(6), "");

    EXPECT_EQ(FileSizeKText("/p/a.bmp", 0), "/p/a.bmp 1K");
    EXPECT_EQ(FileSizeKText("/p/a.bmp", 1023), "/p/a.bmp 1K");
    EXPECT_EQ(FileSizeKText("/p/a.bmp", 1024), "/p/a.bmp 2K");
    EXPECT_EQ(FileSizeKText("a", 5 * 1024 * 1024), "a 5121K");

    EXPECT_EQ(ConvertPaneLayout(800).Half, 394);
    EXPECT_EQ(ConvertPaneLayout(800).StatusPanel0, 397);
    EXPECT_EQ(ConvertPaneLayout(801).Half, 394);
    EXPECT_EQ(ConvertPaneLayout(4).Half, 0);
}

} // namespace
} // namespace lumeno
