#include "controls/shell/file_utils.h"
#include "support/test_env.h"

#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

std::vector<unsigned char> Pattern(std::size_t size)
{
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
    return bytes;
}

ino_t Inode(const std::string& name)
{
    struct stat st {};
    ::stat(name.c_str(), &st);
    return st.st_ino;
}

// A small tmpfs of its own: another file system, and one that fills up.
// Needs the right to mount; Mounted() says whether it worked.
class ScratchMount {
public:
    ScratchMount(const std::string& folder, const std::string& size) : folder_(folder)
    {
        fs::create_directories(folder_);
        mounted_ = test::Run("mount -t tmpfs -o size=" + size + " tmpfs '" + folder_ + "' 2>/dev/null") == 0;
    }
    ~ScratchMount()
    {
        if (mounted_)
            test::Run("umount '" + folder_ + "'");
    }
    bool Mounted() const { return mounted_; }
    std::string File(const std::string& name) const { return folder_ + "/" + name; }

private:
    std::string folder_;
    bool mounted_ = false;
};

class FileUtilsTest : public ::testing::Test {
protected:
    std::string MakeFile(const std::string& name, std::size_t size)
    {
        const std::string path = dir_.File(name);
        test::WriteFileBytes(path, Pattern(size));
        return path;
    }

    test::TempDir dir_;
};

TEST_F(FileUtilsTest, CopyReplacesTheDestinationWithTheWholeFile)
{
    for (const std::size_t size : {0u, 1u, 8191u, 8192u, 8193u, 100000u}) {
        const std::string source = MakeFile("src.bin", size);
        const std::string dest = MakeFile("dest.bin", 50);
        CopyFileTo(source, dest);
        EXPECT_EQ(test::ReadFileBytes(dest), Pattern(size)) << size;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), 2);
}

TEST_F(FileUtilsTest, CopyRefusesWhatItMustNotReplace)
{
    const std::string source = MakeFile("a.jpg", 3000);
    for (const std::string& unreadable : {dir_.File("missing"), dir_.Path().string()}) {
        try {
            CopyFileTo(unreadable, dir_.File("b"));
            ADD_FAILURE() << unreadable;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + unreadable);
        }
    }
    ASSERT_EQ(::mkfifo(dir_.File("pipe").c_str(), 0644), 0);
    EXPECT_THROW(CopyFileTo(dir_.File("pipe"), dir_.File("b")), EFOpenError); // without waiting
    EXPECT_THROW(CopyFileTo(source, dir_.File("no/such/folder/b")), EFCreateError);
    EXPECT_THROW(CopyFileTo(source, source), EFCreateError);
    ASSERT_EQ(::link(source.c_str(), dir_.File("hard.jpg").c_str()), 0);
    EXPECT_THROW(CopyFileTo(source, dir_.File("hard.jpg")), EFCreateError);
    EXPECT_THROW(CopyFileTo(source, dir_.Path().string()), EFCreateError);
    const std::string locked = MakeFile("locked.jpg", 10);
    ::chmod(locked.c_str(), 0444);
    EXPECT_THROW(CopyFileTo(source, locked), EFCreateError);
    EXPECT_EQ(test::ReadFileBytes(locked), Pattern(10));
    EXPECT_EQ(test::ReadFileBytes(source), Pattern(3000));
    EXPECT_FALSE(fs::exists(dir_.File("b")));
}

TEST_F(FileUtilsTest, CopyToAFullDiskLeavesNoPartialFileAndKeepsTheOldOne)
{
    ScratchMount small(dir_.File("small"), "16k");
    if (!small.Mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const std::string source = MakeFile("big.bin", 64 * 1024);
    test::WriteFileBytes(small.File("old.bin"), Pattern(100));
    EXPECT_THROW(CopyFileTo(source, small.File("old.bin")), EStreamError);
    EXPECT_EQ(test::ReadFileBytes(small.File("old.bin")), Pattern(100));
    EXPECT_THROW(CopyFileTo(source, small.File("new.bin")), EStreamError);
    EXPECT_FALSE(fs::exists(small.File("new.bin")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.File("small")), fs::directory_iterator()), 1);
}

TEST_F(FileUtilsTest, MoveWithinAFileSystemRenames)
{
    const std::string source = MakeFile("a.jpg", 5000);
    ::chmod(source.c_str(), 0444); // read-only files move by rename
    const ino_t inode = Inode(source);
    MoveFileTo(source, dir_.File("b.jpg"));
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(Inode(dir_.File("b.jpg")), inode);
    EXPECT_EQ(test::ReadFileBytes(dir_.File("b.jpg")), Pattern(5000));
}

TEST_F(FileUtilsTest, MoveRefusesMissingFilesAndItself)
{
    EXPECT_THROW(MoveFileTo(dir_.File("missing"), dir_.File("b")), EFCantMove);
    const std::string source = MakeFile("a.jpg", 10);
    ASSERT_EQ(::link(source.c_str(), dir_.File("hard.jpg").c_str()), 0);
    try {
        MoveFileTo(source, dir_.File("hard.jpg"));
        FAIL() << "moved a file onto itself";
    } catch (const EFCantMove& e) {
        EXPECT_NE(std::string(e.what()).find("onto itself"), std::string::npos);
    }
    EXPECT_THROW(MoveFileTo(source, source), EFCantMove);
    EXPECT_EQ(test::ReadFileBytes(source), Pattern(10));
}

TEST_F(FileUtilsTest, RelativePathsAreRefusedWhateverTheWorkingFolder)
{
    const std::string source = MakeFile("a.jpg", 10);
    const test::WorkingFolder here(dir_.Path());
    EXPECT_THROW(CopyFileTo("a.jpg", dir_.File("b.jpg")), EFOpenError);
    EXPECT_THROW(CopyFileTo(source, "b.jpg"), EFCreateError);
    EXPECT_THROW(MoveFileTo("a.jpg", dir_.File("b.jpg")), EFCantMove);
    EXPECT_THROW(MoveFileTo(source, "b.jpg"), EFCantMove);
    EXPECT_FALSE(FileSetAttr("a.jpg", faReadOnly));
    EXPECT_EQ(test::ReadFileBytes(source), Pattern(10));
    EXPECT_FALSE(HasAttr(source, faReadOnly));
    EXPECT_FALSE(fs::exists(dir_.File("b.jpg")));
}

TEST_F(FileUtilsTest, MoveAcrossFileSystemsCopiesThenDeletes)
{
    ScratchMount other(dir_.File("other"), "64k");
    if (!other.Mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const std::string source = MakeFile("a.jpg", 20000);
    ::chmod(source.c_str(), 0604);
    const struct timespec times[2] = {{1000000000, 0}, {1000000100, 5000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
    MoveFileTo(source, other.File("a.jpg"));
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(test::ReadFileBytes(other.File("a.jpg")), Pattern(20000));
    // Like a rename, the move keeps the file's date and mode.
    struct stat moved {};
    ASSERT_EQ(::stat(other.File("a.jpg").c_str(), &moved), 0);
    EXPECT_EQ(moved.st_mode & 07777, 0604u);
    EXPECT_EQ(moved.st_mtim.tv_sec, times[1].tv_sec);
    EXPECT_EQ(moved.st_mtim.tv_nsec, times[1].tv_nsec);

    const std::string locked = MakeFile("locked.jpg", 100);
    ::chmod(locked.c_str(), 0444);
    try {
        MoveFileTo(locked, other.File("locked.jpg"));
        FAIL() << "moved a read-only file across file systems";
    } catch (const EFCantMove& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot move file " + locked);
    }
    EXPECT_TRUE(fs::exists(locked));

    // The copy does not fit: the source stays and no partial copy remains.
    const std::string big = MakeFile("big.bin", 100000);
    EXPECT_THROW(MoveFileTo(big, other.File("big.bin")), EStreamError);
    EXPECT_EQ(test::ReadFileBytes(big), Pattern(100000));
    EXPECT_FALSE(fs::exists(other.File("big.bin")));
}

TEST_F(FileUtilsTest, SizeAndDate)
{
    const std::string file = MakeFile("a.bin", 12345);
    EXPECT_EQ(GetFileSizeByName(file), 12345);
    EXPECT_EQ(GetFileSizeByName(dir_.File("missing")), -1);
    EXPECT_EQ(GetFileSizeByName(dir_.Path().string()), 0);

    struct tm local {};
    local.tm_year = 2001 - 1900;
    local.tm_mon = 1;
    local.tm_mday = 3;
    local.tm_hour = 4;
    local.tm_min = 5;
    local.tm_sec = 6;
    local.tm_isdst = -1;
    const struct timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 500000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    // 2001-02-03 is day 36925 after 1899-12-30.
    EXPECT_NEAR(GetFileDateTime(file), 36925 + (4 * 3600 + 5 * 60 + 6) / 86400.0, 1e-9);
    EXPECT_EQ(GetFileDateTime(dir_.File("missing")), 0);
}

TEST_F(FileUtilsTest, AttributesMapOntoTheFileSystem)
{
    const std::string file = MakeFile("a.jpg", 1);
    const std::string hidden = MakeFile(".hidden", 1);
    EXPECT_EQ(FileGetAttr(file), 0);
    EXPECT_EQ(FileGetAttr(hidden), faHidden);
    EXPECT_EQ(FileGetAttr(dir_.Path().string()), faDirectory);
    EXPECT_EQ(FileGetAttr(dir_.File("missing")), -1);
    EXPECT_TRUE(HasAttr(dir_.File("missing"), faReadOnly));

    ::chmod(file.c_str(), 0664);
    ASSERT_TRUE(FileSetAttr(file, faReadOnly));
    EXPECT_TRUE(HasAttr(file, faReadOnly));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0444));
    ASSERT_TRUE(FileSetAttr(file, 0));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0644));
}

// The attribute sequence a user goes through; the first step that fails,
// 0 when all held, -1 without user extended attributes in folder.
int FirstAttributeFault(const std::string& folder)
{
    const std::string file = folder + "/attr.jpg";
    const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0)
        return 100;
    ::close(fd);
    if (::setxattr(file.c_str(), "user.probe", "1", 1, 0) != 0)
        return -1;
    const int steps[] = {faArchive | faSysFile | faReadOnly, faReadOnly, faArchive | faReadOnly, faArchive, 0};
    for (int i = 0; i < int(std::size(steps)); ++i) {
        if (!FileSetAttr(file, steps[i]) || FileGetAttr(file) != steps[i])
            return i + 1;
    }
    return (fs::status(file).permissions() & fs::perms::owner_write) == fs::perms::none ? 50 : 0;
}

// Runs FirstAttributeFault as an unprivileged user.
int FirstAttributeFaultAsNobody()
{
    return test::RunUnprivileged([] {
        char folder[] = "/tmp/lumeno-attr-XXXXXX";
        if (!::mkdtemp(folder))
            return 101;
        const int fault = FirstAttributeFault(folder);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        return fault < 0 ? 102 : fault;
    });
}

TEST_F(FileUtilsTest, ExtendedAttributesFollowEveryChangeAlsoForANormalUser)
{
    const int fault = FirstAttributeFault(dir_.Path().string());
    if (fault < 0)
        GTEST_SKIP() << "no user extended attributes on this file system";
    EXPECT_EQ(fault, 0);
    if (::geteuid() == 0) {
        EXPECT_EQ(FirstAttributeFaultAsNobody(), 0);
    }
}

} // namespace
} // namespace lumeno
