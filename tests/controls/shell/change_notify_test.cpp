#include "controls/shell/change_notify.h"
#include "controls/shell/file_change_thread.h"
#include "support/test_env.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

// Serves the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int ms = 2000)
{
    return QTest::qWaitFor(condition, ms);
}

void Settle(int ms = 200) { WaitFor([] { return false; }, ms); }

class ChangeNotifyTest : public ::testing::Test {
protected:
    ChangeNotifyTest()
    {
        folder = dir.Path().string();
        std::ofstream(folder + "/file.txt") << "abc";
        notify.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &notify);
            ++changes;
        };
    }
    void Start(TChangeNotifies filter)
    {
        notify.SetWatchFor(filter);
        notify.SetPathname(folder);
        notify.SetEnabled(true);
    }

    test::TempDir dir;
    std::string folder;
    TChangeNotify notify;
    int changes = 0;
};

TEST_F(ChangeNotifyTest, DefaultsAndFilterBits)
{
    TChangeNotify fresh;
    EXPECT_FALSE(fresh.Enabled());
    EXPECT_FALSE(fresh.WatchSubtree());
    EXPECT_EQ(fresh.WatchFor().Value(), 31u);
    EXPECT_EQ(ChangeNotifyFilterBits(fresh.WatchFor()), 0x1Fu);
    EXPECT_EQ(ChangeNotifyFilterBits({noSecurity}), 0x100u);
}

TEST_F(ChangeNotifyTest, SizeFilterIgnoresRenamesButSeesGrowth)
{
    Start({noSize});
    fs::rename(folder + "/file.txt", folder + "/renamed.txt");
    Settle();
    EXPECT_EQ(changes, 0);
    std::ofstream(folder + "/renamed.txt", std::ios::app) << "more";
    EXPECT_TRUE(WaitFor([&] { return changes > 0; }));
}

TEST_F(ChangeNotifyTest, NameFilterSeesRenamesButNotWrites)
{
    Start({noFileName});
    std::ofstream(folder + "/file.txt", std::ios::app) << "more";
    Settle();
    EXPECT_EQ(changes, 0);
    fs::rename(folder + "/file.txt", folder + "/renamed.txt");
    EXPECT_TRUE(WaitFor([&] { return changes > 0; }));
}

TEST_F(ChangeNotifyTest, WriteTimeAndAttributesAreToldApart)
{
    Start({noLastWrite});
    fs::permissions(folder + "/file.txt", fs::perms::owner_write, fs::perm_options::remove);
    Settle();
    EXPECT_EQ(changes, 0);
    const timespec times[2] = {{0, UTIME_NOW}, {1000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (folder + "/file.txt").c_str(), times, 0), 0);
    EXPECT_TRUE(WaitFor([&] { return changes > 0; }));

    changes = 0;
    notify.SetWatchFor({noAttributes});
    fs::permissions(folder + "/file.txt", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(WaitFor([&] { return changes > 0; }));
}

TEST_F(ChangeNotifyTest, SubfoldersCountOnlyWithWatchSubtree)
{
    fs::create_directory(folder + "/sub");
    Start({noFileName});
    std::ofstream(folder + "/sub/new.txt") << "x";
    Settle();
    EXPECT_EQ(changes, 0);
    notify.SetWatchSubtree(true);
    std::ofstream(folder + "/sub/newer.txt") << "x";
    EXPECT_TRUE(WaitFor([&] { return changes > 0; }));
}

TEST_F(ChangeNotifyTest, DisablingStopsAndEnablingStartsAFreshWatch)
{
    Start({noFileName});
    notify.SetEnabled(false);
    std::ofstream(folder + "/one.txt") << "x";
    Settle();
    EXPECT_EQ(changes, 0);
    notify.SetEnabled(true);
    std::ofstream(folder + "/two.txt") << "x";
    EXPECT_TRUE(WaitFor([&] { return changes > 0; }));
    // Each change is reported after the watch re-arms.
    const int seen = changes;
    Settle(100);
    std::ofstream(folder + "/three.txt") << "x";
    EXPECT_TRUE(WaitFor([&] { return changes > seen; }));
}

TEST_F(ChangeNotifyTest, AMissingFolderRaisesTheSystemText)
{
    notify.SetPathname(folder + "/missing");
    try {
        notify.SetEnabled(true);
        FAIL() << "no exception";
    } catch (const EChangeNotify& e) {
        EXPECT_STREQ(e.what(), "No such file or directory");
    }
    fs::create_directory(folder + "/missing");
    std::ofstream(folder + "/missing/x") << "x";
    Settle();
    EXPECT_EQ(changes, 0);
}

TEST_F(ChangeNotifyTest, AHandlerMayStopTheWatchWhileItRuns)
{
    notify.OnChange = [this](TObject*) {
        ++changes;
        notify.SetEnabled(false); // frees the thread that serves this call
    };
    Start({noFileName});
    std::ofstream(folder + "/a.txt") << "x";
    ASSERT_TRUE(WaitFor([&] { return changes > 0; }));
    std::ofstream(folder + "/b.txt") << "x";
    Settle();
    EXPECT_EQ(changes, 1);
}

TEST(ChangeNotifyLifetime, AHandlerMayFreeTheComponent)
{
    test::TempDir dir;
    auto* notify = new TChangeNotify;
    bool freed = false;
    notify->OnChange = [&](TObject*) {
        delete notify;
        freed = true;
    };
    notify->SetPathname(dir.Path().string());
    notify->SetEnabled(true);
    std::ofstream(dir.File("a.txt")) << "x";
    EXPECT_TRUE(WaitFor([&] { return freed; }));
}

TEST(FileChangeThread, EndsAtTheFirstChangeAndTellsTheMainThread)
{
    test::TempDir dir;
    bool ended = false;
    auto thread = TFileChangeThread::Create(dir.Path().string(), false, {noDirName}, [&] {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        ended = true;
    });
    std::ofstream(dir.File("file.txt")) << "x"; // not a folder name
    Settle();
    EXPECT_FALSE(ended);
    fs::create_directory(dir.File("sub"));
    EXPECT_TRUE(WaitFor([&] { return ended; }));
    EXPECT_FALSE(thread->Aborted());
}

TEST(FileChangeThread, TerminatingGivesNoNotification)
{
    test::TempDir dir;
    bool ended = false;
    auto thread = TFileChangeThread::Create(dir.Path().string(), false, {noDirName}, [&] { ended = true; });
    thread->Terminate();
    fs::create_directory(dir.File("sub"));
    Settle();
    EXPECT_FALSE(ended);
    EXPECT_TRUE(TFileChangeThread::WaitForAll(1000));
    EXPECT_TRUE(thread->Aborted());
}

TEST(FileChangeThread, AChangeNoticedBeforeTerminateIsDropped)
{
    test::TempDir dir;
    bool ended = false;
    auto thread = TFileChangeThread::Create(dir.Path().string(), false, {noDirName}, [&] { ended = true; });
    Settle(150); // the watch opens on the thread
    fs::create_directory(dir.File("sub"));
    ASSERT_TRUE(TFileChangeThread::WaitForAll(1000)); // the notice is queued, not yet run
    thread->Terminate();
    Settle();
    EXPECT_FALSE(ended);
}

TEST(FileChangeThread, AnUnwatchableFolderEndsSilently)
{
    bool ended = false;
    auto thread = TFileChangeThread::Create("/nonexistent/folder", false, {noDirName}, [&] { ended = true; });
    EXPECT_TRUE(TFileChangeThread::WaitForAll(1000));
    Settle(50);
    EXPECT_FALSE(ended);
    EXPECT_TRUE(thread->Aborted());
}

} // namespace
} // namespace lumeno
