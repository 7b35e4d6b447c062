#include "app/common/file_operations.h"
#include "app/files/file_transfer.h"
#include "app/files/inc_rename.h"
#include "controls/shell/file_utils.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

TEST(FilePaths, JoinSplitAndPlainNames)
{
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/", "b"), "/b");
    EXPECT_EQ(FolderOf("/a/b.jpg"), "/a");
    EXPECT_EQ(FolderOf("/b.jpg"), "/");
    EXPECT_EQ(NameOf("/a/b.jpg"), "b.jpg");
    EXPECT_TRUE(IsPlainName("x.jpg"));
    EXPECT_TRUE(IsPlainName(".hidden"));
    for (const char* bad : {"", ".", "..", "a/b", "/x"})
        EXPECT_FALSE(IsPlainName(bad)) << bad;
}

TEST(FileRename, RenamesAndRefusesClashesAndSlashes)
{
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.jpg"), {'a'});
    test::WriteFileBytes(dir.File("b.jpg"), {'b'});
    fs::create_directory(dir.File("sub"));
    const std::string folder = dir.Path().string();

    EXPECT_FALSE(RenameInFolder(folder, "a.jpg", "b.jpg"));
    EXPECT_EQ(test::ReadFileBytes(dir.File("a.jpg")), Bytes{'a'});
    EXPECT_EQ(test::ReadFileBytes(dir.File("b.jpg")), Bytes{'b'});
    EXPECT_FALSE(RenameInFolder(folder, "a.jpg", "sub/a.jpg"));
    EXPECT_FALSE(RenameInFolder(folder, "a.jpg", ""));
    EXPECT_TRUE(fs::exists(dir.File("a.jpg")));

    // Keeping the name is no clash.
    EXPECT_TRUE(RenameInFolder(folder, "a.jpg", "a.jpg"));
    EXPECT_TRUE(RenameInFolder(folder, "a.jpg", "c.jpg"));
    EXPECT_EQ(test::ReadFileBytes(dir.File("c.jpg")), Bytes{'a'});
    EXPECT_FALSE(fs::exists(dir.File("a.jpg")));
}

TEST(FileFolders, CreateAndRemoveOnlyEmpty)
{
    test::TempDir dir;
    const std::string folder = dir.Path().string();
    EXPECT_TRUE(CreateFolderIn(folder, "New"));
    EXPECT_TRUE(fs::is_directory(dir.File("New")));
    EXPECT_FALSE(CreateFolderIn(folder, "New"));
    EXPECT_FALSE(CreateFolderIn(folder, "x/y"));
    EXPECT_FALSE(CreateFolderIn(folder + "/missing", "z"));

    test::WriteFileBytes(dir.File("New/keep.jpg"), {'k'});
    EXPECT_FALSE(RemoveEmptyFolder(dir.File("New")));
    EXPECT_TRUE(fs::exists(dir.File("New/keep.jpg")));
    fs::remove(dir.File("New/keep.jpg"));
    EXPECT_TRUE(RemoveEmptyFolder(dir.File("New")));
    EXPECT_FALSE(fs::exists(dir.File("New")));
}

TEST(FileAttributes, ChoiceChangesExactlyItsBits)
{
    const int word = faReadOnly | faArchive | faDirectory;
    const TAttrChoice choice = AttrChoiceOf(word);
    EXPECT_TRUE(choice.ReadOnly);
    EXPECT_TRUE(choice.Archive);
    EXPECT_FALSE(choice.System);
    EXPECT_FALSE(choice.Hidden);
    TAttrChoice cleared = choice;
    cleared.ReadOnly = false;
    EXPECT_EQ(ApplyAttrChoice(word, cleared), faArchive | faDirectory);
    TAttrChoice system = choice;
    system.System = true;
    EXPECT_EQ(ApplyAttrChoice(word, system), word | faSysFile);
    EXPECT_EQ(ApplyAttrChoice(word, choice), word);
}

TEST(FileAttributes, ReadOnlyRoundTripOnDisk)
{
    test::TempDir dir;
    const std::string file = dir.File("a.jpg");
    test::WriteFileBytes(file, {'a'});
    const int before = FileGetAttr(file);
    TAttrChoice choice = AttrChoiceOf(before);
    choice.ReadOnly = true;
    ASSERT_TRUE(FileSetAttr(file, ApplyAttrChoice(before, choice)));
    EXPECT_TRUE(FileGetAttr(file) & faReadOnly);
    EXPECT_FALSE(fs::status(file).permissions() == (fs::status(file).permissions() | fs::perms::owner_write));
    choice.ReadOnly = false;
    ASSERT_TRUE(FileSetAttr(file, ApplyAttrChoice(FileGetAttr(file), choice)));
    EXPECT_EQ(FileGetAttr(file), before);

    // Archive and system live in an extended attribute, where there is one.
    choice.Archive = true;
    choice.System = true;
    if (FileSetAttr(file, ApplyAttrChoice(before, choice))) {
        EXPECT_EQ(FileGetAttr(file) & (faArchive | faSysFile), faArchive | faSysFile);
        EXPECT_FALSE(FileGetAttr(file) & faReadOnly);
    }
}

TEST(IncRename, NumbersKeepTheTypedWidth)
{
    EXPECT_EQ(IncRenameNumber(7, 3), "007");
    EXPECT_EQ(IncRenameNumber(7, 1), "7");
    EXPECT_EQ(IncRenameNumber(10, 1), "10");
    EXPECT_EQ(IncRenameNumber(1000, 4), "1000");
    EXPECT_EQ(IncRenameTarget("/p/a.jpeg", "Trip", 8, 3), "/p/Trip_008.jpeg");
    EXPECT_EQ(IncRenameTarget("/p/noext", "Trip", 8, 3), "/p/Trip_008");
    EXPECT_EQ(IncRenameTarget("/p/.hidden", "T", 1, 1), "/p/T_1");
}

class IncRenameRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"x.jpg", "y.png", "z.gif"}) {
            test::WriteFileBytes(dir.File(name), {static_cast<unsigned char>(name[0])});
            entries.push_back(dir.File(name));
        }
    }
    test::TempDir dir;
    std::vector<std::string> entries;
};

TEST_F(IncRenameRun, SuffixesFollowTheStartText)
{
    EXPECT_EQ(RunIncRename(entries, "N", "007"),
              (std::vector<std::string>{dir.File("N_007.jpg"), dir.File("N_008.png"), dir.File("N_009.gif")}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("N_008.png")), Bytes{'y'});
    auto renamed = RunIncRename({dir.File("N_007.jpg"), dir.File("N_008.png"), dir.File("N_009.gif")}, "M", "7");
    EXPECT_EQ(renamed, (std::vector<std::string>{dir.File("M_7.jpg"), dir.File("M_8.png"), dir.File("M_9.gif")}));
    EXPECT_EQ(RunIncRename(renamed, "M", "7"), renamed);
    renamed = RunIncRename(renamed, "K", "0998");
    EXPECT_EQ(renamed, (std::vector<std::string>{dir.File("K_0998.jpg"), dir.File("K_0999.png"), dir.File("K_1000.gif")}));
}

TEST_F(IncRenameRun, ClashIsMarkedAndCountingGoesOn)
{
    test::WriteFileBytes(dir.File("N_2.png"), {'!'});
    const auto result = RunIncRename(entries, "N", "1");
    EXPECT_EQ(result, (std::vector<std::string>{dir.File("N_1.jpg"), "ERROR * " + dir.File("y.png"),
                                                dir.File("N_3.gif")}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("N_2.png")), Bytes{'!'});
    EXPECT_EQ(test::ReadFileBytes(dir.File("y.png")), Bytes{'y'});
    const auto slashed = RunIncRename({dir.File("y.png")}, "../N", "1");
    EXPECT_EQ(slashed, (std::vector<std::string>{"ERROR * " + dir.File("y.png")}));
}

TEST(FileTransfer, ChecksBeforeMovingOrCopying)
{
    test::TempDir from, to;
    test::WriteFileBytes(from.File("a.jpg"), {'a'});
    test::WriteFileBytes(from.File("empty.jpg"), {});
    test::WriteFileBytes(to.File("a.jpg"), {'t'});
    test::WriteFileBytes(from.File("b.jpg"), {'b'});

    EXPECT_EQ(TransferFile(from.File("a.jpg"), to.File("a.jpg"), TTransferMode::Move, "a.jpg"),
              "file " + to.File("a.jpg") + " already exists. Select another directory before moving");
    EXPECT_EQ(test::ReadFileBytes(from.File("a.jpg")), Bytes{'a'});
    EXPECT_EQ(test::ReadFileBytes(to.File("a.jpg")), Bytes{'t'});
    EXPECT_EQ(TransferFile(from.File("empty.jpg"), to.File("empty.jpg"), TTransferMode::Move, "empty.jpg"),
              from.File("empty.jpg") + " has a size of zero. This may be because it is not yet closed.");
    EXPECT_EQ(TransferFile(from.File("gone.jpg"), to.File("gone.jpg"), TTransferMode::Move, "gone.jpg"),
              from.File("gone.jpg") + " has a size of zero. This may be because it is not yet closed.");
    EXPECT_EQ(TransferFile(from.File("b.jpg"), to.File("no/b.jpg"), TTransferMode::Move, "b.jpg"),
              "error moving file b.jpg");
    EXPECT_TRUE(fs::exists(from.File("b.jpg")));

    EXPECT_EQ(TransferFile(from.File("b.jpg"), to.File("b.jpg"), TTransferMode::Copy, "b.jpg"), std::nullopt);
    EXPECT_TRUE(fs::exists(from.File("b.jpg")));
    EXPECT_EQ(TransferFile(from.File("b.jpg"), to.File("c.jpg"), TTransferMode::Move, "b.jpg"), std::nullopt);
    EXPECT_FALSE(fs::exists(from.File("b.jpg")));
    EXPECT_EQ(test::ReadFileBytes(to.File("c.jpg")), Bytes{'b'});
}

// Steps the traced Child, stopped at its start, from system call to system
// call until it enters a write; false when it ends first or cannot be traced.
bool RunToFirstWrite(pid_t Child)
{
    int status = 0;
    if (::waitpid(Child, &status, 0) != Child || !WIFSTOPPED(status) ||
        ::ptrace(PTRACE_SETOPTIONS, Child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) != 0)
        return false;
    for (;;) {
        if (::ptrace(PTRACE_SYSCALL, Child, nullptr, nullptr) != 0 || ::waitpid(Child, &status, 0) != Child ||
            !WIFSTOPPED(status))
            return false;
        __ptrace_syscall_info info{};
        if (WSTOPSIG(status) == (SIGTRAP | 0x80) &&
            ::ptrace(PTRACE_GET_SYSCALL_INFO, Child, sizeof info, &info) > 0 &&
            info.op == PTRACE_SYSCALL_INFO_ENTRY && info.entry.nr == SYS_write)
            return true;
    }
}

// Runs Transfer in a child process traced from here and calls AtFirstWrite
// while the child stands at its first write: a copy has read its first chunk
// and no more. What Transfer said; nothing when the child cannot be traced.
std::optional<std::string> StoppedAtFirstWrite(const std::function<std::string()>& Transfer,
                                               const std::function<void()>& AtFirstWrite)
{
    int said[2];
    if (::pipe2(said, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(said[0]);
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0 || ::raise(SIGSTOP) != 0)
            ::_exit(2);
        const std::string message = Transfer();
        ::_exit(::write(said[1], message.data(), message.size()) == ssize_t(message.size()) ? 0 : 3);
    }
    ::close(said[1]);
    const bool reached = child > 0 && RunToFirstWrite(child);
    if (reached) {
        AtFirstWrite();
        ::ptrace(PTRACE_DETACH, child, nullptr, nullptr);
    } else if (child > 0) {
        ::kill(child, SIGKILL);
    }
    std::string message;
    char chunk[512];
    for (ssize_t got; (got = ::read(said[0], chunk, sizeof chunk)) > 0;)
        message.append(chunk, std::size_t(got));
    ::close(said[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !reached || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return std::nullopt;
    return message;
}

// A camera still writing a file while the mover copies it to another file
// system: the move once said only "error moving file".
TEST(FileTransfer, AMoveWhoseSourceChangesDuringTheCopySaysSoAndKeepsBoth)
{
    if (!fs::is_directory("/dev/shm"))
        GTEST_SKIP() << "no tmpfs to move to";
    const test::TempDir other("/dev/shm"), from;
    struct stat there {};
    struct stat here {};
    ASSERT_EQ(::stat(other.Path().c_str(), &there), 0);
    ASSERT_EQ(::stat(from.Path().c_str(), &here), 0);
    if (there.st_dev == here.st_dev)
        GTEST_SKIP() << "tmpfs shares the test folder's file system";
    const std::string source = from.File("cam.jpg");
    const std::string target = other.File("cam.jpg");
    // Several chunks of the copy.
    const std::size_t size = 4u << 20;
    test::WriteFileBytes(source, Bytes(size, 'x'));
    fs::last_write_time(source, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const std::optional<std::string> problem = StoppedAtFirstWrite(
        [&] { return TransferFile(source, target, TTransferMode::Move, "cam.jpg").value_or("moved"); },
        [&] {
            // A new first byte: the size stays, the time moves on.
            const int fd = ::open(source.c_str(), O_WRONLY | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            EXPECT_EQ(::pwrite(fd, "y", 1, 0), 1);
            ::close(fd);
        });
    if (!problem)
        GTEST_SKIP() << "no tracing of a child process here";
    EXPECT_EQ(problem, "error moving file cam.jpg: it changed while it was copied, so both " + source +
                           " and its copy " + target + " were kept");
    ASSERT_TRUE(fs::exists(source));
    ASSERT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(source), size);
    EXPECT_EQ(fs::file_size(target), size);
    EXPECT_EQ(std::ifstream(source).get(), 'y');
    EXPECT_EQ(std::ifstream(target).get(), 'x');
}

TEST(FileRelativePaths, EveryChangeRefusesAPathWithoutItsFolder)
{
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.jpg"), {'a'});
    test::WriteFileBytes(dir.File("b.jpg"), {'b'});
    fs::create_directory(dir.File("Empty"));
    const test::WorkingFolder here(dir.Path());

    EXPECT_FALSE(RenameInFolder("", "a.jpg", "c.jpg"));
    EXPECT_FALSE(CreateFolderIn("", "New"));
    EXPECT_FALSE(RemoveEmptyFolder("Empty"));
    EXPECT_FALSE(RemoveFile("a.jpg"));
    EXPECT_EQ(RunIncRename({"b.jpg"}, "N", "1"), (std::vector<std::string>{"ERROR * b.jpg"}));
    EXPECT_EQ(TransferFile(dir.File("a.jpg"), "c.jpg", TTransferMode::Move, "a.jpg"), "error moving file a.jpg");
    EXPECT_EQ(TransferFile(dir.File("a.jpg"), "c.jpg", TTransferMode::Copy, "a.jpg"), "error moving file a.jpg");

    EXPECT_EQ(test::ReadFileBytes(dir.File("a.jpg")), Bytes{'a'});
    EXPECT_EQ(test::ReadFileBytes(dir.File("b.jpg")), Bytes{'b'});
    EXPECT_TRUE(fs::is_directory(dir.File("Empty")));
    for (const char* made : {"c.jpg", "New", "N_1.jpg"})
        EXPECT_FALSE(fs::exists(dir.File(made))) << made;
}

TEST(FileRemove, DeletesFilesForGoodButNeverFolders)
{
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.jpg"), {'a'});
    fs::create_directory(dir.File("Empty"));
    EXPECT_TRUE(RemoveFile(dir.File("a.jpg")));
    EXPECT_FALSE(fs::exists(dir.File("a.jpg")));
    EXPECT_FALSE(RemoveFile(dir.File("a.jpg")));
    EXPECT_FALSE(RemoveFile(dir.File("Empty")));
    EXPECT_TRUE(fs::is_directory(dir.File("Empty")));
}

} // namespace
} // namespace lumeno
