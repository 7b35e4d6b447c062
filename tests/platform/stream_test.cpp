#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/regular_file.h"
#include "platform/stream.h"
#include "support/fifo_guard.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

TEST(MemoryStream, ReadWriteSeekAndShortReads)
{
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    EXPECT_EQ(s.GetSize(), 6);
    s.SetPosition(4);
    char buf[4] = {};
    EXPECT_EQ(s.Read(buf, 4), 2);
    EXPECT_EQ(std::string(buf, 2), "ef");
    s.SetPosition(5);
    EXPECT_THROW(s.ReadBuffer(buf, 2), EReadError);
    // Writing past the end grows the stream, filling the gap with zeros.
    s.SetPosition(8);
    s.WriteBuffer("x", 1);
    EXPECT_EQ(s.GetSize(), 9);
    EXPECT_EQ(s.Data()[6], 0);
    EXPECT_EQ(s.Seek(-1, TSeekOrigin::soBeginning), -1);
}

TEST(FileStream, RoundTripAndOpenErrors)
{
    test::TempDir dir;
    const std::string name = dir.File("a.bin");
    {
        TFileStream out(name, TFileMode::fmCreate);
        out.WriteBuffer("hello", 5);
        EXPECT_EQ(out.GetSize(), 5);
        out.Close();
    }
    TFileStream in(name, TFileMode::fmOpenRead);
    char buf[8] = {};
    in.Seek(-3, TSeekOrigin::soEnd);
    in.ReadBuffer(buf, 3);
    EXPECT_EQ(std::string(buf, 3), "llo");
    EXPECT_EQ(in.Remaining(), 0);
    EXPECT_THROW(TFileStream(dir.File("missing"), TFileMode::fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir.File("no/such/dir"), TFileMode::fmCreate), EFCreateError);
}

TEST(FileStream, PipesDevicesAndFoldersAreRefusedWithoutWaiting)
{
    test::TempDir dir;
    test::FifoGuard pipe(dir.File("pipe.jpg"));
    for (TFileMode mode : {TFileMode::fmOpenRead, TFileMode::fmOpenReadWrite}) {
        try {
            TFileStream stream(pipe.Path(), mode);
            ADD_FAILURE() << "a pipe was opened";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + pipe.Path());
        }
    }
    EXPECT_FALSE(pipe.Released()) << "open() waited for a writer";
    EXPECT_THROW(TFileStream("/dev/zero", TFileMode::fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir.Path().string(), TFileMode::fmOpenRead), EFOpenError);
    EXPECT_FALSE(IsRegularFile(pipe.Path()));
    EXPECT_FALSE(IsRegularFile(dir.Path().string()));
    // A regular file opened past the check reads and writes as usual.
    test::WriteFileBytes(dir.File("a.bin"), {1, 2});
    TFileStream stream(dir.File("a.bin"), TFileMode::fmOpenReadWrite);
    stream.Seek(0, TSeekOrigin::soEnd);
    stream.WriteBuffer("c", 1);
    stream.Close();
    EXPECT_EQ(test::ReadFileBytes(dir.File("a.bin")), (std::vector<unsigned char>{1, 2, 'c'}));
}

TEST(SafeFileStream, OldFileSurvivesUntilCommitAndKeepsPermissions)
{
    test::TempDir dir;
    const std::string name = dir.File("photo.bmp");
    test::WriteFileBytes(name, {'o', 'l', 'd'});
    ::chmod(name.c_str(), 0640);
    {
        TSafeFileStream out(name);
        out.WriteBuffer("new data", 8);
        EXPECT_EQ(test::ReadFileBytes(name).size(), 3u);
        // Dropped without Commit: the old file stays, no temporary is left.
    }
    EXPECT_EQ(test::ReadFileBytes(name).size(), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    {
        TSafeFileStream out(name);
        out.WriteBuffer("new data", 8);
        out.Commit();
    }
    EXPECT_EQ(test::ReadFileBytes(name).size(), 8u);
    struct stat st {};
    ASSERT_EQ(::stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

// Renaming over a link once replaced the link and left the real file old.
TEST(SafeFileStream, SavingThroughALinkReplacesItsTarget)
{
    test::TempDir dir;
    fs::create_directory(dir.File("real"));
    const std::string real = dir.File("real/photo.bmp");
    test::WriteFileBytes(real, {'o', 'l', 'd'});
    ::chmod(real.c_str(), 0640);
    const std::string link = dir.File("link.bmp");
    fs::create_symlink("real/photo.bmp", link); // relative to the link's folder
    const std::string chain = dir.File("chain.bmp");
    fs::create_symlink(link, chain);
    {
        TSafeFileStream out(chain);
        out.WriteBuffer("new data", 8);
        out.Commit();
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(chain));
    EXPECT_EQ(test::ReadFileBytes(real).size(), 8u);
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), fs::directory_iterator()), 1);

    // A dangling link gets its target created.
    const std::string dangling = dir.File("dangling.bmp");
    fs::create_symlink("real/new.bmp", dangling);
    TSafeFileStream out(dangling);
    out.WriteBuffer("x", 1);
    out.Commit();
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(test::ReadFileBytes(dir.File("real/new.bmp")).size(), 1u);
}

// A write past the stream's buffer once said only "Stream write error".
TEST(SafeFileStream, AFailedWriteNamesTheUsersFileAndTheReason)
{
    test::TempDir dir;
    const std::string name = dir.File("existing.jpg");
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::vector<std::string> messages;
    // Buffered until Commit closes the file, and written at once.
    for (const std::size_t size : {std::size_t(8192), std::size_t(1) << 18}) {
        try {
            TSafeFileStream out(name);
            const std::vector<char> data(size, 'x');
            out.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
            out.Commit();
            messages.push_back("saved");
        } catch (const EWriteError& e) {
            messages.push_back(e.what());
        }
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    const std::string expected = "Cannot write file \"" + name + "\". " + std::strerror(EFBIG);
    EXPECT_EQ(messages, (std::vector<std::string>{expected, expected}));
    EXPECT_FALSE(fs::exists(name));
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

const std::vector<unsigned char> kOld {'o', 'l', 'd'};
constexpr uid_t kNobody = 65534;

void SaveNewData(const std::string& name)
{
    TSafeFileStream out(name);
    out.WriteBuffer("new data", 8);
    out.Commit();
}

std::string SaveError(const std::string& name)
{
    try {
        SaveNewData(name);
    } catch (const EStreamError& e) {
        return e.what();
    }
    return "saved";
}

int EntriesIn(const fs::path& folder)
{
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// A rename once replaced read-only files and files of other users that the
// folder let it remove.
TEST(SafeFileStream, RefusesAFileTheUserMayNotWrite)
{
    test::TempDir dir;
    const std::string readOnly = dir.File("readonly.bmp");
    test::WriteFileBytes(readOnly, kOld);
    ::chmod(readOnly.c_str(), 0444);
    EXPECT_EQ(SaveError(readOnly), "Cannot create file \"" + readOnly + "\". Permission denied");
    EXPECT_EQ(test::ReadFileBytes(readOnly), kOld);
    if (::geteuid() != 0)
        GTEST_SKIP() << "another user's file needs root to set up";
    ::chmod(dir.Path().c_str(), 0777);
    const std::string others = dir.File("others.bmp");
    test::WriteFileBytes(others, kOld);
    ::chmod(others.c_str(), 0644);
    const int refused = test::RunUnprivileged(
        [&] { return SaveError(others) == "Cannot create file \"" + others + "\". Permission denied" ? 0 : 1; });
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(test::ReadFileBytes(others), kOld);
    EXPECT_EQ(EntriesIn(dir.Path()), 2);
}

// A rename once split hard links, gave root's saves to root and could not
// save a writable file in a read-only folder.
TEST(SafeFileStream, RewritesInPlaceWhatARenameWouldChange)
{
    test::TempDir dir;
    const std::string name = dir.File("photo.bmp");
    const std::string other = dir.File("other.bmp");
    test::WriteFileBytes(name, kOld);
    fs::create_hard_link(name, other);
    SaveNewData(name);
    EXPECT_EQ(test::ReadFileBytes(other).size(), 8u);
    EXPECT_EQ(fs::hard_link_count(name), 2u);
    EXPECT_EQ(EntriesIn(dir.Path()), 2);
    if (::geteuid() != 0)
        GTEST_SKIP() << "other owners need root to set up";

    const std::string owned = dir.File("owned.bmp");
    test::WriteFileBytes(owned, kOld);
    ASSERT_EQ(::chown(owned.c_str(), kNobody, kNobody), 0);
    ::chmod(owned.c_str(), 0640);
    SaveNewData(owned);
    struct stat st {};
    ASSERT_EQ(::stat(owned.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(st.st_size, 8);

    ::chmod(dir.Path().c_str(), 0755);
    const fs::path locked = dir.Path() / "locked";
    fs::create_directory(locked);
    const std::string inLocked = (locked / "photo.bmp").string();
    test::WriteFileBytes(inLocked, kOld);
    ASSERT_EQ(::chown(inLocked.c_str(), kNobody, kNobody), 0);
    ::chmod(locked.c_str(), 0555);
    EXPECT_EQ(test::RunUnprivileged([&] { return SaveError(inLocked) == "saved" ? 0 : 1; }), 0);
    EXPECT_EQ(test::ReadFileBytes(inLocked).size(), 8u);
    EXPECT_EQ(EntriesIn(locked), 1);
}

TEST(SafeFileStream, AFailedRewriteInPlacePutsTheOldBytesBack)
{
    test::TempDir dir;
    const std::string name = dir.File("photo.bmp");
    test::WriteFileBytes(name, kOld);
    fs::create_hard_link(name, dir.File("other.bmp"));
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    std::string message;
    try {
        TSafeFileStream out(name);
        const std::vector<char> data(256 * 1024, 'x');
        out.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
        out.GetSize(); // the new content is complete before the limit
        rlimit small = old;
        small.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &small);
        out.Commit();
    } catch (const EWriteError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, "Cannot write file \"" + name + "\". File too large");
    EXPECT_EQ(test::ReadFileBytes(name), kOld);
    EXPECT_EQ(fs::hard_link_count(name), 2u);
    EXPECT_EQ(EntriesIn(dir.Path()), 2);
}

// Saving onto a loop of links once replaced one of the links with a file.
TEST(SafeFileStream, ALoopOfLinksIsRefusedAndKept)
{
    test::TempDir dir;
    const std::string first = dir.File("first.bmp");
    const std::string second = dir.File("second.bmp");
    const std::string self = dir.File("self.bmp");
    fs::create_symlink("second.bmp", first);
    fs::create_symlink("first.bmp", second);
    fs::create_symlink("self.bmp", self);
    for (const std::string& name : {first, second, self}) {
        EXPECT_EQ(SaveError(name), "Cannot create file \"" + name + "\". Too many levels of symbolic links");
        EXPECT_TRUE(fs::is_symlink(name)) << name;
    }
    EXPECT_EQ(EntriesIn(dir.Path()), 3);
}

// A relative name once saved into the process's working folder.
TEST(SafeFileStream, RefusesARelativeName)
{
    test::TempDir dir;
    const fs::path oldWorkingFolder = fs::current_path();
    fs::current_path(dir.Path());
    const std::string error = SaveError("photo.jpg");
    fs::current_path(oldWorkingFolder);
    EXPECT_EQ(error, "Cannot create file \"photo.jpg\". " + std::string(std::strerror(EINVAL)));
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

constexpr uid_t kOtherUser = 4242;

// Another user's link in a shared folder such as /tmp once steered a save
// onto the user's own file, which the kernel would not have let "echo x >"
// do.
TEST(SafeFileStream, FollowsALinkInASharedFolderOnlyForTheUserOrTheFolderOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "other users' links need root to set up";
    test::TempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    const fs::path home = dir.Path() / "home";
    fs::create_directory(home);
    ASSERT_EQ(::chown(home.c_str(), kNobody, kNobody), 0);
    const std::string precious = (home / "precious.jpg").string();
    test::WriteFileBytes(precious, kOld);
    ASSERT_EQ(::chown(precious.c_str(), kNobody, kNobody), 0);
    ::chmod(precious.c_str(), 0600);
    const fs::path shared = dir.Path() / "shared";
    fs::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    const std::string planted = (shared / "out.jpg").string();
    fs::create_symlink(precious, planted);
    ASSERT_EQ(::lchown(planted.c_str(), kOtherUser, kOtherUser), 0);
    // The user's own link to the planted one: every link of a chain counts.
    const std::string chain = (shared / "mine.jpg").string();
    fs::create_symlink(planted, chain);
    ASSERT_EQ(::lchown(chain.c_str(), kNobody, kNobody), 0);

    for (const std::string& name : {planted, chain}) {
        const std::string refused = "Cannot create file \"" + name + "\". Permission denied";
        EXPECT_EQ(test::RunUnprivileged([&] { return SaveError(name) == refused ? 0 : 1; }), 0) << name;
    }
    EXPECT_EQ(test::ReadFileBytes(precious), kOld);
    EXPECT_TRUE(fs::is_symlink(planted));
    EXPECT_EQ(EntriesIn(shared), 2);
    EXPECT_EQ(EntriesIn(home), 1);

    // The user's own link and the folder owner's are followed.
    for (const uid_t owner : {kNobody, ::geteuid()}) {
        test::WriteFileBytes(precious, kOld);
        ASSERT_EQ(::lchown(planted.c_str(), owner, owner), 0);
        EXPECT_EQ(test::RunUnprivileged([&] { return SaveError(chain) == "saved" ? 0 : 1; }), 0) << owner;
        EXPECT_EQ(test::ReadFileBytes(precious).size(), 8u) << owner;
        EXPECT_TRUE(fs::is_symlink(planted));
    }

    // A link among the folders of the path is judged alike, also when
    // reached through the user's own link.
    const std::string into = (shared / "into").string();
    fs::create_symlink(home, into);
    ASSERT_EQ(::lchown(into.c_str(), kOtherUser, kOtherUser), 0);
    const std::string viaInto = (shared / "via.jpg").string();
    fs::create_symlink(into + "/precious.jpg", viaInto);
    ASSERT_EQ(::lchown(viaInto.c_str(), kNobody, kNobody), 0);
    for (const std::string& name : {into + "/precious.jpg", viaInto}) {
        test::WriteFileBytes(precious, kOld);
        const std::string refused = "Cannot create file \"" + name + "\". Permission denied";
        EXPECT_EQ(test::RunUnprivileged([&] { return SaveError(name) == refused ? 0 : 1; }), 0) << name;
        EXPECT_EQ(test::ReadFileBytes(precious), kOld) << name;
    }
    EXPECT_EQ(EntriesIn(home), 1);
    ASSERT_EQ(::lchown(into.c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(test::RunUnprivileged([&] { return SaveError(viaInto) == "saved" ? 0 : 1; }), 0);
    EXPECT_EQ(test::ReadFileBytes(precious).size(), 8u);
}

// The mode of the temporary file while a save runs, and whether another
// user can open it.
struct TempFileAccess {
    mode_t Mode = 0;
    bool OthersCanRead = true;
    // A readable file beside it: the other user reaches the folder at all.
    bool OthersCanReadBeside = false;
};

TempFileAccess AccessToTempBeside(const std::string& name)
{
    TempFileAccess access;
    const std::string beside = name + ".beside";
    test::WriteFileBytes(beside, kOld);
    ::chmod(beside.c_str(), 0644);
    TSafeFileStream out(name);
    out.WriteBuffer("new data", 8);
    out.GetSize(); // the content is in the file
    for (const auto& entry : fs::directory_iterator(fs::path(name).parent_path())) {
        if (entry.path().string().rfind(name + ".lumeno-", 0) != 0)
            continue;
        struct stat st {};
        ::stat(entry.path().c_str(), &st);
        access.Mode = st.st_mode & 07777;
        const std::string temp = entry.path().string();
        // Only a switch of user tells; without root the mode has to.
        const int others = ::geteuid() != 0 ? 0 : test::RunUnprivileged([&] {
            const auto opens = [](const std::string& file) {
                return ::open(file.c_str(), O_RDONLY | O_CLOEXEC) >= 0;
            };
            return (opens(temp) ? 1 : 0) | (opens(beside) ? 0 : 2);
        });
        access.OthersCanRead = (others & 1) != 0;
        access.OthersCanReadBeside = (others & 2) == 0;
    }
    out.Commit();
    fs::remove(beside);
    return access;
}

// The temporary file once took the umask's mode and the target's only at
// the end, so another user could read a private file's new content.
TEST(SafeFileStream, TheContentStaysPrivateWhileTheSaveRuns)
{
    test::TempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    const std::string name = dir.File("private.jpg");
    test::WriteFileBytes(name, kOld);
    ::chmod(name.c_str(), 0640);
    const mode_t oldMask = ::umask(022);
    const TempFileAccess renamed = AccessToTempBeside(name);
    EXPECT_EQ(renamed.Mode, 0600u);
    EXPECT_FALSE(renamed.OthersCanRead);
    EXPECT_TRUE(renamed.OthersCanReadBeside);
    struct stat st {};
    ASSERT_EQ(::stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_size, 8);

    // A hard-linked file is rewritten in place from the same temporary file.
    fs::create_hard_link(name, dir.File("other.jpg"));
    const TempFileAccess inPlace = AccessToTempBeside(name);
    EXPECT_EQ(inPlace.Mode, 0600u);
    EXPECT_FALSE(inPlace.OthersCanRead);
    EXPECT_TRUE(inPlace.OthersCanReadBeside);
    EXPECT_EQ(EntriesIn(dir.Path()), 2);

    // A new file gets the mode the umask gives any new file.
    ::umask(027);
    const std::string fresh = dir.File("fresh.jpg");
    SaveNewData(fresh);
    ::umask(oldMask);
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(Dialogs, RecordedAndAnswered)
{
    test::RecordingDialogs rec;
    rec.Answer(mrCancel);
    EXPECT_EQ(MessageBox("Lost?", "Lumeno", MB_OKCANCEL | MB_ICONWARNING), mrCancel);
    EXPECT_EQ(MessageDlg("Sure?", TMsgDlgType::mtConfirmation, mbYesNo), mrYes);
    const auto shown = rec.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].Type, TMsgDlgType::mtWarning);
    EXPECT_EQ(shown[0].Buttons, mbOKCancel);
    EXPECT_EQ(shown[1].Text, "Sure?");
}

} // namespace
} // namespace lumeno
