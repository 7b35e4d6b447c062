#include "platform/move_no_replace.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <utility>

#include <stdlib.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

class MoveNoReplace : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteFileBytes(dir.File("a"), {'a', 'a'});
        test::WriteFileBytes(dir.File("b"), {'b'});
    }
    test::TempDir dir;
};

TEST_F(MoveNoReplace, RenameRefusesAnExistingTargetAndMovesOtherwise)
{
    EXPECT_EQ(RenameNoReplace(dir.File("a"), dir.File("b")), EEXIST);
    EXPECT_EQ(test::ReadFileBytes(dir.File("a")), (Bytes{'a', 'a'}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("b")), (Bytes{'b'}));

    EXPECT_EQ(RenameNoReplace(dir.File("a"), dir.File("c")), 0);
    EXPECT_FALSE(fs::exists(dir.File("a")));
    EXPECT_EQ(test::ReadFileBytes(dir.File("c")), (Bytes{'a', 'a'}));

    fs::create_directory(dir.File("d"));
    EXPECT_EQ(RenameNoReplace(dir.File("d"), dir.File("e")), 0);
    EXPECT_TRUE(fs::is_directory(dir.File("e")));
    EXPECT_EQ(RenameNoReplace(dir.File("gone"), dir.File("f")), ENOENT);
}

TEST_F(MoveNoReplace, CopyClaimsTheTargetExclusively)
{
    EXPECT_EQ(CopyFileNoReplace(dir.File("a"), dir.File("b")), EEXIST);
    EXPECT_EQ(test::ReadFileBytes(dir.File("b")), (Bytes{'b'}));
    EXPECT_EQ(CopyFileNoReplace(dir.File("a"), dir.File("c")), 0);
    EXPECT_EQ(test::ReadFileBytes(dir.File("c")), (Bytes{'a', 'a'}));
    EXPECT_TRUE(fs::exists(dir.File("a")));
    EXPECT_NE(CopyFileNoReplace(dir.File("gone"), dir.File("g")), 0);
    EXPECT_FALSE(fs::exists(dir.File("g")));
    EXPECT_NE(CopyFileNoReplace(dir.Path().string(), dir.File("h")), 0);
    EXPECT_FALSE(fs::exists(dir.File("h")));
}

TEST_F(MoveNoReplace, MoveByCopyRemovesTheSourceOnlyAfterTheCopy)
{
    EXPECT_EQ(MoveFileByCopy(dir.File("a"), dir.File("b")), EEXIST);
    EXPECT_TRUE(fs::exists(dir.File("a")));
    EXPECT_EQ(MoveFileByCopy(dir.File("a"), dir.File("c")), 0);
    EXPECT_FALSE(fs::exists(dir.File("a")));
    EXPECT_EQ(test::ReadFileBytes(dir.File("c")), (Bytes{'a', 'a'}));
    // A destination folder that is missing: nothing lost, nothing left.
    EXPECT_NE(MoveFileByCopy(dir.File("c"), dir.File("none/c")), 0);
    EXPECT_TRUE(fs::exists(dir.File("c")));
}

TEST_F(MoveNoReplace, MovesAcrossFileSystems)
{
    char pattern[] = "/dev/shm/lumeno-move-XXXXXX";
    if (!fs::is_directory("/dev/shm") || !::mkdtemp(pattern))
        GTEST_SKIP() << "no tmpfs to move to";
    const std::string other = pattern;
    if (fs::space(other).capacity == fs::space(dir.Path()).capacity) {
        fs::remove_all(other);
        GTEST_SKIP() << "tmpfs shares the test folder's file system";
    }
    EXPECT_EQ(RenameNoReplace(dir.File("a"), other + "/a"), EXDEV);
    EXPECT_EQ(MoveFileNoReplace(dir.File("a"), other + "/a"), 0);
    EXPECT_FALSE(fs::exists(dir.File("a")));
    EXPECT_EQ(test::ReadFileBytes(other + "/a"), (Bytes{'a', 'a'}));
    test::WriteFileBytes(other + "/b", {'x'});
    EXPECT_EQ(MoveFileNoReplace(dir.File("b"), other + "/b"), EEXIST);
    EXPECT_EQ(test::ReadFileBytes(dir.File("b")), (Bytes{'b'}));
    fs::remove_all(other);
}

TEST_F(MoveNoReplace, RelativePathsAreRefusedWhateverTheWorkingFolder)
{
    const test::WorkingFolder here(dir.Path());
    const std::string full = dir.File("a");
    const std::pair<std::string, std::string> cases[] = {{"a", "c"}, {full, "c"}, {"a", dir.File("c")}};
    for (const auto& [from, to] : cases) {
        EXPECT_EQ(RenameNoReplace(from, to), EINVAL) << from << " -> " << to;
        EXPECT_EQ(CopyFileNoReplace(from, to), EINVAL) << from << " -> " << to;
        EXPECT_EQ(MoveFileNoReplace(from, to), EINVAL) << from << " -> " << to;
        EXPECT_EQ(MoveFileByCopy(from, to), EINVAL) << from << " -> " << to;
    }
    EXPECT_EQ(test::ReadFileBytes(full), (Bytes{'a', 'a'}));
    EXPECT_FALSE(fs::exists(dir.File("c")));
}

} // namespace
} // namespace lumeno
