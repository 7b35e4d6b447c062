#include "app/files/dialog_texts.h"
#include "app/files/dropped_files.h"
#include "app/files/fake_files_host.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumeno {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

class DroppedFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteFileBytes(target.File("keep.jpg"), {'k'});
        host.RefillList();
        host.selected = {"keep.jpg"};
    }
    std::vector<std::string> Texts() { return test::DialogTexts(dialogs); }
    test::TempDir source;
    test::TempDir target;
    test::FakeFilesHost host{target.Path().string()};
    test::RecordingDialogs dialogs;
};

TEST_F(DroppedFiles, MovesWhatFitsAndTellsAboutTheRest)
{
    const std::string longName = std::string(90, 'n') + ".jpg";
    test::WriteFileBytes(source.File(longName), {'l'});
    test::WriteFileBytes(source.File("keep.jpg"), {'s'});
    test::WriteFileBytes(source.File("empty.jpg"), {});
    fs::create_directory(source.File("folder"));
    const std::string folderDrop = source.File("folder") + "/";
    test::WriteFileBytes(source.File("new.jpg"), {'n'});

    MoveDroppedFiles({source.File("keep.jpg"), source.File("empty.jpg"), folderDrop,
                      source.File(longName), source.File("new.jpg")},
                     host);
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "3 of 5 files were not moved:\n"
                           "file " + target.File("keep.jpg") + " already exists. Select another directory before moving\n" +
                           source.File("empty.jpg") + " has a size of zero. This may be because it is not yet closed.\n" +
                           source.File("folder") + " has a size of zero. This may be because it is not yet closed.",
                       }));
    EXPECT_EQ(test::ReadFileBytes(target.File("keep.jpg")), Bytes{'k'});
    EXPECT_EQ(test::ReadFileBytes(source.File("keep.jpg")), Bytes{'s'});
    EXPECT_EQ(test::ReadFileBytes(target.File(longName)), Bytes{'l'});
    EXPECT_EQ(test::ReadFileBytes(target.File("new.jpg")), Bytes{'n'});
    EXPECT_FALSE(fs::exists(source.File("new.jpg")));
    EXPECT_TRUE(fs::is_directory(source.File("folder")));
    // The list is filled again and the item selected before is shown.
    EXPECT_EQ(host.refills, 2);
    EXPECT_EQ(host.shown, (std::vector<std::string>{"keep.jpg"}));
}

// Each clash once had a box of its own: hundreds in a row for a big drop.
TEST_F(DroppedFiles, ManyFilesLeftBehindAreToldInOneMessage)
{
    std::vector<std::string> dropped;
    for (int i = 0; i < 30; ++i) {
        const std::string name = "p" + std::to_string(10 + i) + ".jpg";
        test::WriteFileBytes(source.File(name), {'s'});
        if (i % 3)
            test::WriteFileBytes(target.File(name), {'t'});
        dropped.push_back(source.File(name));
    }
    MoveDroppedFiles(dropped, host);
    ASSERT_EQ(Texts().size(), 1u);
    const std::string clash = " already exists. Select another directory before moving\n";
    EXPECT_EQ(Texts()[0], "20 of 30 files were not moved:\nfile " + target.File("p11.jpg") + clash + "file " +
                              target.File("p12.jpg") + clash + "file " + target.File("p14.jpg") + clash + "file " +
                              target.File("p15.jpg") + clash + "file " + target.File("p17.jpg") + clash +
                              "and 15 more");
    for (int i = 0; i < 30; ++i) {
        const std::string name = "p" + std::to_string(10 + i) + ".jpg";
        EXPECT_EQ(test::ReadFileBytes(target.File(name)), Bytes{static_cast<unsigned char>(i % 3 ? 't' : 's')}) << name;
        EXPECT_EQ(fs::exists(source.File(name)), i % 3 != 0) << name;
    }
}

TEST_F(DroppedFiles, NothingMovesWhileTheListShowsNoFolder)
{
    test::WriteFileBytes(source.File("new.jpg"), {'n'});
    const test::WorkingFolder here(target.Path());
    host.folder.clear();
    MoveDroppedFiles({source.File("new.jpg")}, host);
    EXPECT_EQ(test::ReadFileBytes(source.File("new.jpg")), Bytes{'n'});
    EXPECT_FALSE(fs::exists(target.File("new.jpg")));
    EXPECT_TRUE(Texts().empty());
}

TEST_F(DroppedFiles, AFailedMoveNamesTheDroppedPath)
{
    test::WriteFileBytes(source.File("a.jpg"), {'a'});
    host.folder = target.File("missing");
    MoveDroppedFiles({source.File("a.jpg")}, host);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"error moving file " + source.File("a.jpg")}));
    EXPECT_TRUE(fs::exists(source.File("a.jpg")));
}

TEST_F(DroppedFiles, MovesAcrossFileSystems)
{
    char pattern[] = "/dev/shm/lumeno-drop-XXXXXX";
    if (!fs::is_directory("/dev/shm") || !::mkdtemp(pattern))
        GTEST_SKIP() << "no tmpfs to drop from";
    const std::string other = pattern;
    test::WriteFileBytes(other + "/far.jpg", {'f'});
    MoveDroppedFiles({other + "/far.jpg"}, host);
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(test::ReadFileBytes(target.File("far.jpg")), Bytes{'f'});
    EXPECT_FALSE(fs::exists(other + "/far.jpg"));
    fs::remove_all(other);
}

} // namespace
} // namespace lumeno
