#include "platform/qt/shell/trash.h"
#include "support/test_env.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The process's private data folder (the test main isolates it) is the
// user's: its trash is the one the program must use.
class Trash : public ::testing::Test {
protected:
    static fs::path DataHome() { return ::getenv("XDG_DATA_HOME"); }
    static fs::path TrashFiles() { return test::UserTrash() / "files"; }

    test::TempDir dir;
};

TEST_F(Trash, GoesToTheUsersTrashEvenBeforeItsDataFolderExists)
{
    fs::remove_all(DataHome());
    const std::string file = dir.File("lumeno-trash-probe.txt");
    test::WriteFileBytes(file, {'x'});

    ASSERT_TRUE(MoveFileToTrash(file));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(TrashFiles() / "lumeno-trash-probe.txt"));
    EXPECT_FALSE(fs::exists(fs::current_path() / "files" / "lumeno-trash-probe.txt"));
}

TEST_F(Trash, MissingOrRelativeFileIsNotMoved)
{
    EXPECT_FALSE(MoveFileToTrash("/nonexistent/lumeno/x"));
    test::WriteFileBytes(dir.File("here.jpg"), {'h'});
    const test::WorkingFolder here(dir.Path());
    EXPECT_FALSE(MoveFileToTrash("here.jpg"));
    EXPECT_FALSE(MoveFileToTrash(""));
    EXPECT_TRUE(fs::exists(dir.File("here.jpg")));
}

TEST_F(Trash, LongNameEndsAtOnceTrashedOrKept)
{
    // The info file's name adds ".trashinfo", past the 255-byte limit.
    const std::string name = std::string(246, 'n') + ".jpg";
    const std::string file = dir.File(name);
    test::WriteFileBytes(file, {'l'});

    const Clock::time_point start = Clock::now();
    const bool trashed = MoveFileToTrash(file);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    if (trashed) {
        EXPECT_FALSE(fs::exists(file));
        EXPECT_TRUE(fs::exists(TrashFiles() / name));
    } else {
        EXPECT_EQ(test::ReadFileBytes(file), (std::vector<unsigned char>{'l'}));
    }
}

TEST_F(Trash, UnwritableInfoFolderFailsAndKeepsTheFile)
{
    // A first trashing makes the trash and readies the library before the
    // fork below.
    test::WriteFileBytes(dir.File("first.txt"), {'f'});
    ASSERT_TRUE(MoveFileToTrash(dir.File("first.txt")));
    const fs::path info = test::UserTrash() / "info";
    const auto open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec;
    for (const fs::path& folder : {fs::path(::getenv("HOME")), DataHome(), test::UserTrash(), dir.Path()})
        fs::permissions(folder, open);
    fs::permissions(TrashFiles(), fs::perms::all);
    fs::permissions(info, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const fs::path mine = dir.Path() / "mine";
    fs::create_directory(mine);
    fs::permissions(mine, fs::perms::all);
    const std::string file = (mine / "photo.jpg").string();

    const int result = test::RunUnprivileged([&] {
        test::WriteFileBytes(file, {'p'});
        if (MoveFileToTrash(file))
            return 1;
        return test::ReadFileBytes(file) == std::vector<unsigned char>{'p'} ? 0 : 2;
    });
    fs::permissions(info, fs::perms::owner_all);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(fs::exists(TrashFiles() / "photo.jpg"));
}

} // namespace
} // namespace lumeno
