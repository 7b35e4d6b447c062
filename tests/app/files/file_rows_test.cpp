#include "app/files/file_rows.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> NamesOf(const std::vector<TFileRow>& Rows)
{
    std::vector<std::string> names;
    for (const TFileRow& row : Rows)
        names.push_back(row.Name);
    return names;
}

TEST(FileRows, ListsOrdinaryMatchingFilesOnce)
{
    test::TempDir dir;
    test::WriteFileBytes(dir.File("b.JPEG"), std::vector<unsigned char>(1024, 1));
    test::WriteFileBytes(dir.File("a.png"), {});
    test::WriteFileBytes(dir.File("c.jpg"), {1});
    test::WriteFileBytes(dir.File(".hidden.jpg"), {1});
    test::WriteFileBytes(dir.File("notes.txt"), {1});
    fs::create_directory(dir.File("folder.jpg"));

    const auto rows = ListMatchingFiles(dir.Path().string(), "*.jpg;*.png;*.jpg;");
    EXPECT_EQ(NamesOf(rows), (std::vector<std::string>{"b.JPEG", "c.jpg", "a.png"}));
    EXPECT_EQ(rows[0].SizeK, 2);
    EXPECT_EQ(rows[0].Type, "JPE");
    EXPECT_EQ(rows[2].SizeK, 1);
    EXPECT_FALSE(FileDateText(rows[0].Modified).empty());
    // A trailing pattern without ';' is not searched.
    EXPECT_TRUE(ListMatchingFiles(dir.Path().string(), "*.jpg").empty());
    EXPECT_EQ(NameListOf(dir.Path().string(), "*.png;"), (std::set<std::string>{"a.png"}));
}

TEST(FileRows, SortsByEachColumnWithNamesBreakingTies)
{
    std::vector<TFileRow> rows = {
        {"b.jpg", 5, "JPG", 2.0}, {"A.png", 5, "PNG", 1.0}, {"c.jpg", 1, "JPG", 2.0}, {"a.gif", 9, "GIF", 3.0}};
    SortFileRows(rows, 0, true);
    EXPECT_EQ(NamesOf(rows), (std::vector<std::string>{"a.gif", "A.png", "b.jpg", "c.jpg"}));
    SortFileRows(rows, 1, true);
    EXPECT_EQ(rows.front().Name, "c.jpg");
    EXPECT_EQ(rows.back().Name, "a.gif");
    SortFileRows(rows, 2, true);
    EXPECT_EQ(NamesOf(rows), (std::vector<std::string>{"a.gif", "b.jpg", "c.jpg", "A.png"}));
    SortFileRows(rows, 3, false);
    EXPECT_EQ(NamesOf(rows), (std::vector<std::string>{"a.gif", "c.jpg", "b.jpg", "A.png"}));
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

    const TPreviewSize clip = ShrinkToBox(320, 240, 145);
    EXPECT_EQ(clip.Width, 145);
    EXPECT_EQ(clip.Height, 109);
    EXPECT_EQ(ShrinkToBox(100, 80, 145).Width, 100);
    EXPECT_EQ(ShrinkToBox(100, 290, 145).Width, 50);
}

} // namespace
} // namespace lumeno
