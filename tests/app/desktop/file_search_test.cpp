#include "app/desktop/file_search.h"
#include "app/desktop/search_form.h"
#include "app/thumbs/screenshot.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panels.h"
#include "support/test_env.h"

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

class FileSearch : public ::testing::Test {
protected:
    void Touch(const std::string& relative)
    {
        const fs::path path = dir.Path() / relative;
        fs::create_directories(path.parent_path());
        test::WriteFileBytes(path.string(), {1});
    }
    std::vector<std::string> Search(const std::string& pattern)
    {
        std::atomic<bool> stop = false;
        std::vector<std::string> found;
        SearchFolder(dir.Path().string(), pattern, stop, [&](const std::string& p) { found.push_back(p); },
                     [](const std::string&) {});
        SortSearchResults(found);
        return found;
    }
    std::string Root() const { return dir.Path().string() + "/"; }
    test::TempDir dir;
};

TEST_F(FileSearch, FindsMatchesBelowTheRootSortedWithoutRegardToCase)
{
    Touch("b.JPG");
    Touch("sub/A.jpg");
    Touch("sub/deeper/c.jpeg");
    Touch("sub/notes.txt");
    Touch(".hidden.jpg");
    Touch(".cache/x.jpg");
    fs::create_directory_symlink(dir.Path(), dir.Path() / "sub" / "loop"); // a link loop
    fs::create_symlink(dir.Path() / "b.JPG", dir.Path() / "link.jpg");
    const auto found = Search("*.jpg");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], Root() + "b.JPG");
    EXPECT_EQ(found[1], Root() + "sub/A.jpg");
    EXPECT_EQ(found[2], Root() + "sub/deeper/c.jpeg");
    EXPECT_EQ(Search("*.txt;*.zip").size(), 1u);
}

TEST(SearchVolumesList, PseudoFileSystemsAreNoVolumes)
{
    EXPECT_TRUE(IsPseudoFileSystem("proc", "/proc"));
    EXPECT_TRUE(IsPseudoFileSystem("cgroup2", "/sys/fs/cgroup"));
    EXPECT_TRUE(IsPseudoFileSystem("tmpfs", "/dev/shm"));
    EXPECT_FALSE(IsPseudoFileSystem("ext4", "/"));
    EXPECT_FALSE(IsPseudoFileSystem("tmpfs", "/tmp"));
    const std::vector<std::string> volumes = SearchVolumes();
    for (const std::string& root : volumes)
        EXPECT_FALSE(root.rfind("/proc", 0) == 0) << root;

    TfSearch form;
    EXPECT_EQ(form.DriveComboBox1->count(), 0) << "no mounts asked at start-up";
    form.show();
    ASSERT_EQ(form.DriveComboBox1->count(), static_cast<int>(volumes.size()));
    if (!volumes.empty()) {
        EXPECT_EQ(form.DriveComboBox1->currentText().toStdString(), volumes.front());
    }
}

TEST_F(FileSearch, WindowListsSortedResultsAndOpensOnDoubleClick)
{
    Touch("z.jpg");
    Touch("m/Y.jpg");
    Touch("a.jpg");
    TfSearch form;
    std::vector<std::string> opened;
    form.OnOpenFile = [&](const std::string& path) { opened.push_back(path); };
    EXPECT_EQ(form.SB1->Panels()[0].Text(), "Double click filename after a search to view the file");
    form.DriveComboBox1->insertItem(0, QString::fromStdString(dir.Path().string()));
    form.DriveComboBox1->setCurrentIndex(0);
    form.btnFindClick();
    EXPECT_TRUE(form.btnStop->isVisibleTo(&form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Searching(); }, 10000));
    ASSERT_EQ(form.ListBox1->count(), 3);
    EXPECT_EQ(form.ListBox1->item(0)->text().toStdString(), Root() + "a.jpg");
    EXPECT_EQ(form.ListBox1->item(1)->text().toStdString(), Root() + "m/Y.jpg");
    EXPECT_EQ(form.SB1->Panels()[0].Text(), "3 files found - Double click filename to view.");
    EXPECT_FALSE(form.btnStop->isVisibleTo(&form));
    form.ListBox1->setCurrentRow(2);
    form.ListBox1DblClick();
    EXPECT_EQ(opened, std::vector<std::string>{Root() + "z.jpg"});
    form.show();
    test::SaveScreenshot(&form, "search");
}

TEST_F(FileSearch, StopKeepsWhatWasFoundAndDoubleClickWaits)
{
    for (int i = 0; i < 300; ++i)
        Touch("f" + std::to_string(i) + "/g/h/p.jpg");
    TfSearch form;
    int opened = 0;
    form.OnOpenFile = [&](const std::string&) { ++opened; };
    form.DriveComboBox1->insertItem(0, QString::fromStdString(dir.Path().string()));
    form.DriveComboBox1->setCurrentIndex(0);
    form.btnFindClick();
    if (form.Searching()) {
        form.ListBox1->addItem("x");
        form.ListBox1->setCurrentRow(0);
        form.ListBox1DblClick();
        EXPECT_EQ(opened, 0) << "a double-click during a search does nothing";
    }
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.Searching());
    const int count = form.ListBox1->count();
    EXPECT_EQ(form.SB1->Panels()[0].Text(), std::to_string(count) + " files found - Double click filename to view.");
    QTest::qWait(100);
    EXPECT_EQ(form.ListBox1->count(), count) << "nothing arrives after Stop";
}

} // namespace
} // namespace lumeno
