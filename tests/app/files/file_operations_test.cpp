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
#include <future>
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

// A camera still writing a file while the mover copies it to another file
// system: the move once said only "error moving file".
TEST(FileTransfer, AMoveWhoseSourceChangesDuringTheCopySaysSoAndKeepsBoth)
{
    char pattern[] = "/dev/shm/lumeno-move-XXXXXX";
    if (!fs::is_directory("/dev/shm") || !::mkdtemp(pattern))
        GTEST_SKIP() << "no tmpfs to move to";
    const struct TRemoved {
        std::string Path;
        ~TRemoved() { fs::remove_all(Path); }
    } other{pattern};
    test::TempDir from;
    if (fs::space(other.Path).capacity == fs::space(from.Path()).capacity)
        GTEST_SKIP() << "tmpfs shares the test folder's file system";
    const std::string source = from.File("cam.jpg");
    const std::string target = other.Path + "/cam.jpg";
    const std::size_t size = 64u << 20;
    std::optional<std::string> problem;
    // The change must land while the copy runs; a move that ended first is
    // tried again.
    for (int attempt = 0; attempt < 3 && !problem; ++attempt) {
        fs::remove(target);
        test::WriteFileBytes(source, Bytes(size, 'x'));
        fs::last_write_time(source, fs::file_time_type::clock::now() - std::chrono::hours(1));
        auto move = std::async(std::launch::async,
                               [&] { return TransferFile(source, target, TTransferMode::Move, "cam.jpg"); });
        std::error_code error;
        while (move.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            const std::uintmax_t copied = fs::file_size(target, error);
            if (!error && copied > 0)
                break;
        }
        // A new first byte: the size stays, the time moves on.
        const int fd = ::open(source.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0) {
            EXPECT_EQ(::pwrite(fd, "y", 1, 0), 1);
            ::close(fd);
        }
        problem = move.get();
    }
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
