#include "app/common/file_rows.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumeno {
namespace {

namespace fs = std::filesystem;


TEST(FileRows, NameListAndTimesFollowTheMainListsRules)
{
    test::TempDir dir;
    test::WriteFileBytes(dir.File("b.JPEG"), std::vector<unsigned char>(1024, 1));
    test::WriteFileBytes(dir.File("a.png"), {});
    test::WriteFileBytes(dir.File(".hidden.jpg"), {1});
    test::WriteFileBytes(dir.File("notes.txt"), {1});
    fs::create_directory(dir.File("folder.jpg"));

    EXPECT_EQ(NameListOf(dir.Path().string(), "*.jpg;*.png;"), (std::set<std::string>{"a.png", "b.JPEG"}));
    EXPECT_EQ(NameListOf(dir.Path().string(), "*.png;"), (std::set<std::string>{"a.png"}));
    EXPECT_TRUE(FileTimeText(0).empty());
    EXPECT_FALSE(FileTimeText(1700000000).empty());
}

TEST(FileRows, ArrivalsAndPreviewSizes)
{
    EXPECT_EQ(FirstNewArrival({"a", "b", "c"}, {"a", "c"}), 1);
    EXPECT_EQ(FirstNewArrival({"a"}, {"a"}), -1);

    const TPreviewSize natural = PreviewFit(300, 200, 100, 50);
    EXPECT_EQ(natural.Width, 100);
    EXPECT_EQ(natural.Height, 50);
    const TPreviewSize wide = PreviewFit(300, 300, 1000, 500); // pane relatively taller
    EXPECT_EQ(wide.Width, 292);
    EXPECT_EQ(wide.Height, 146);
    const TPreviewSize tall = PreviewFit(300, 200, 400, 800);
    EXPECT_EQ(tall.Height, 192);
    EXPECT_EQ(tall.Width, 96);
    EXPECT_EQ(PreviewFit(300, 200, 0, 10).Width, 0);
}

} // namespace
} // namespace lumeno
