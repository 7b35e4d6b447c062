#include "platform/move_no_replace.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
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

struct stat StatOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// Copies and moves by copy once gave the file a new date and the default mode.
TEST_F(MoveNoReplace, CopiesKeepModeAndTimes)
{
    ::chmod(dir.File("a").c_str(), 0604);
    const struct timespec times[2] = {{1000000000, 123456789}, {1000000100, 987654321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("a").c_str(), times, 0), 0);
    ASSERT_EQ(CopyFileNoReplace(dir.File("a"), dir.File("c")), 0);
    ASSERT_EQ(MoveFileByCopy(dir.File("a"), dir.File("d")), 0);
    for (const char* name : {"c", "d"}) {
        const struct stat st = StatOf(dir.File(name));
        EXPECT_EQ(st.st_mode & 07777, 0604u) << name;
        EXPECT_EQ(st.st_mtim.tv_sec, times[1].tv_sec) << name;
        EXPECT_EQ(st.st_mtim.tv_nsec, times[1].tv_nsec) << name;
    }
}

// A line appended while a move copied the file was once in neither file.
TEST_F(MoveNoReplace, ASourceThatChangesDuringTheCopyStays)
{
    const struct stat before = StatOf(dir.File("a"));
    ASSERT_EQ(CopyFileNoReplace(dir.File("a"), dir.File("c")), 0);
    test::WriteFileBytes(dir.File("a"), {'a', 'a', '\n'});
    EXPECT_EQ(RemoveCopiedSource(dir.File("a"), before, dir.File("c")), EBUSY);
    EXPECT_EQ(test::ReadFileBytes(dir.File("a")), (Bytes{'a', 'a', '\n'}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("c")), (Bytes{'a', 'a'}));

    // The same race through a whole move: append once the copy holds every
    // byte, while it is flushed to disk.
    const std::string source = dir.File("big");
    const std::size_t size = 32u << 20;
    test::WriteFileBytes(source, Bytes(size, 'x'));
    auto move = std::async(std::launch::async, [&] { return MoveFileByCopy(source, dir.File("moved")); });
    while (move.wait_for(std::chrono::seconds(0)) != std::future_status::ready &&
           (!fs::exists(dir.File("moved")) || fs::file_size(dir.File("moved")) < size)) {
    }
    const int fd = ::open(source.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const bool appended = fd >= 0 && ::write(fd, "line\n", 5) == 5;
    if (fd >= 0)
        ::close(fd);
    const int result = move.get();
    const bool kept = fs::exists(source) && fs::file_size(source) == size + 5;
    const bool carried = fs::exists(dir.File("moved")) && fs::file_size(dir.File("moved")) == size + 5;
    EXPECT_TRUE(!appended || kept || carried) << "result " << result;
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
