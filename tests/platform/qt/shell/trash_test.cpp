#include "platform/qt/shell/trash.h"
#include "support/test_env.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

TEST(Trash, GoesToTheUsersTrashEvenBeforeItsDataFolderExists)
{
    test::TempDir dir;
    // A data folder of our own that does not exist yet.
    const std::string savedDataHome = ::getenv("XDG_DATA_HOME");
    const fs::path dataHome = dir.Path() / "data" / "share";
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    QStandardPaths::setTestModeEnabled(false);
    const fs::path trash = dataHome / "Trash";
    const std::string file = dir.File("lumeno-trash-probe.txt");
    test::WriteFileBytes(file, {'x'});

    ASSERT_TRUE(MoveFileToTrash(file));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(trash / "files" / "lumeno-trash-probe.txt"));
    EXPECT_FALSE(fs::exists(fs::current_path() / "files" / "lumeno-trash-probe.txt"));
    QStandardPaths::setTestModeEnabled(true);
    ::setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
}

TEST(Trash, MissingFileIsNotMoved) { EXPECT_FALSE(MoveFileToTrash("/nonexistent/lumeno/x")); }

} // namespace
} // namespace lumeno
