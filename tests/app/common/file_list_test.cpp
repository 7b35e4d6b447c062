#include "app/common/file_list.h"
#include "support/test_env.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

void Touch(const test::TempDir& dir, const std::string& name, std::size_t bytes = 0, std::time_t time = 0)
{
    std::ofstream(dir.File(name), std::ios::binary) << std::string(bytes, 'x');
    if (time) {
        const auto stamp = fs::file_time_type::clock::now() +
                           std::chrono::seconds(time - std::time(nullptr));
        fs::last_write_time(dir.File(name), stamp);
    }
}

std::vector<std::string> Names(const std::vector<TFileRow>& rows)
{
    std::vector<std::string> names;
    for (const TFileRow& row : rows)
        names.push_back(row.Name);
    return names;
}

std::vector<std::string> Sorted(std::vector<TFileRow> rows, int column, bool ascending)
{
    std::vector<std::string> names;
    for (int i : SortOrder(rows, column, ascending))
        names.push_back(rows[std::size_t(i)].Name);
    return names;
}

TEST(FileList, MaskFollowsTheFlagsInTheirOrder)
{
    EXPECT_EQ(BuildFileMask({true, true, true, true, true, true, false, false, false, false}),
              "*.jpg;*.gif;*.bmp;*.ico;*.wmf;*.avi;");
    EXPECT_EQ(BuildFileMask({}), "");
}

TEST(FileList, ListsOrdinaryMatchingFilesGroupedByPattern)
{
    test::TempDir dir;
    Touch(dir, "b.gif");
    Touch(dir, "a.JPEG", 1024);
    Touch(dir, "c.jpg", 1);
    Touch(dir, ".hidden.jpg");
    Touch(dir, "notes.txt");
    fs::create_directory(dir.File("folder.jpg"));
    fs::create_symlink(dir.File("c.jpg"), dir.File("link.jpg"));
    fs::create_symlink(dir.File("folder.jpg"), dir.File("dirlink.jpg"));
    fs::create_symlink(dir.File("gone"), dir.File("dangling.jpg"));

    std::vector<TFileRow> rows = ListFolderFiles(dir.Path().string(), "*.gif;*.jpg;*.txt");
    // The trailing pattern without ';' is not used.
    std::vector<std::string> names = Names(rows);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "b.gif");
    std::sort(names.begin() + 1, names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"b.gif", "a.JPEG", "c.jpg", "link.jpg"}));
    for (const TFileRow& row : rows) {
        if (row.Name == "a.JPEG") {
            EXPECT_EQ(row.SizeKB, 2);
            EXPECT_EQ(row.Type, "JPE");
        }
        if (row.Name == "b.gif") {
            EXPECT_EQ(row.SizeKB, 1);
        }
    }
}

TEST(FileList, AllFilesTakesNamesWithoutADotButNeverDotFiles)
{
    test::TempDir dir;
    Touch(dir, "README");
    Touch(dir, "x.png");
    Touch(dir, ".profile");
    std::vector<std::string> names = Names(ListFolderFiles(dir.Path().string(), "*.*;"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"README", "x.png"}));
}

TEST(FileList, NoPatternsOrAMissingFolderListNothing)
{
    test::TempDir dir;
    Touch(dir, "x.jpg");
    EXPECT_TRUE(ListFolderFiles(dir.Path().string(), "").empty());
    EXPECT_TRUE(ListFolderFiles(dir.File("missing"), "*.jpg;").empty());
}

TEST(FileList, SortsEachColumnBothWays)
{
    const std::vector<TFileRow> rows = {
        {"b.jpg", 5, "JPG", 300}, {"A.png", 2, "PNG", 100}, {"c.gif", 9, "GIF", 200}, {"a2.bmp", 2, "BMP", 300}};
    using V = std::vector<std::string>;
    EXPECT_EQ(Sorted(rows, 0, true), (V{"A.png", "a2.bmp", "b.jpg", "c.gif"}));
    EXPECT_EQ(Sorted(rows, 0, false), (V{"c.gif", "b.jpg", "a2.bmp", "A.png"}));
    // Equal sizes keep the list's order.
    EXPECT_EQ(Sorted(rows, 1, true), (V{"A.png", "a2.bmp", "b.jpg", "c.gif"}));
    EXPECT_EQ(Sorted(rows, 1, false), (V{"c.gif", "b.jpg", "A.png", "a2.bmp"}));
    EXPECT_EQ(Sorted(rows, 2, true), (V{"a2.bmp", "c.gif", "b.jpg", "A.png"}));
    EXPECT_EQ(Sorted(rows, 2, false), (V{"A.png", "b.jpg", "c.gif", "a2.bmp"}));
    // Equal times by name.
    EXPECT_EQ(Sorted(rows, 3, true), (V{"A.png", "c.gif", "a2.bmp", "b.jpg"}));
    EXPECT_EQ(Sorted(rows, 3, false), (V{"b.jpg", "a2.bmp", "c.gif", "A.png"}));
    EXPECT_EQ(Sorted(rows, 7, true), (V{"b.jpg", "A.png", "c.gif", "a2.bmp"}));
}

TEST(FileList, SuccessorOfADeletion)
{
    EXPECT_EQ(DeleteSuccessor({false, true, true, false}), 0);
    EXPECT_EQ(DeleteSuccessor({false, false, true, false, true}), 1);
    EXPECT_EQ(DeleteSuccessor({true, true, false, false}), 2);
    EXPECT_EQ(DeleteSuccessor({true, false, true, false}), 1);
    EXPECT_EQ(DeleteSuccessor({true, true}), -1);
    EXPECT_EQ(DeleteSuccessor({false, false}), -1);
    EXPECT_EQ(DeleteSuccessor({}), -1);
}

TEST(FileList, SlideStepsWrapAtBothEnds)
{
    EXPECT_EQ(SlideIndex(0, -1, true), -1);
    EXPECT_EQ(SlideIndex(3, -1, true), 0);
    EXPECT_EQ(SlideIndex(3, 2, true), 0);
    EXPECT_EQ(SlideIndex(3, 0, true), 1);
    EXPECT_EQ(SlideIndex(3, -1, false), 2);
    EXPECT_EQ(SlideIndex(3, 0, false), 2);
    EXPECT_EQ(SlideIndex(3, 2, false), 1);
}

} // namespace
} // namespace lumeno
