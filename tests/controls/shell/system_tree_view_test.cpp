#include "controls/shell/system_tree_view.h"

#include "controls/shell/file_change_thread.h"
#include "controls/shell/folder_item_data.h"
#include "controls/shell/shell_tree_node.h"
#include "platform/qt/shell/item_prop.h"
#include "platform/qt/shell/shell_fixture.h"
#include "support/recording_dialogs.h"

#include <QCoreApplication>
#include <QAction>
#include <QContextMenuEvent>
#include <QScrollBar>
#include <QElapsedTimer>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

bool WaitFor(const std::function<bool()>& condition, int ms = 3000)
{
    return QTest::qWaitFor(condition, ms);
}

QStringList Captions(const QTreeWidgetItem* node)
{
    QStringList captions;
    for (int i = 0; i < node->childCount(); ++i)
        captions << node->child(i)->text(0);
    return captions;
}

QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& caption)
{
    for (int i = 0; node && i < node->childCount(); ++i)
        if (node->child(i)->text(0) == caption)
            return node->child(i);
    return nullptr;
}

class TreeTest : public ::testing::Test {
protected:
    TreeTest() : baseline(TFolderItemData::LiveCount())
    {
        dialogs.Reset();
        view = std::make_unique<TdfsSystemTreeView>();
        view->resize(300, 400);
    }
    ~TreeTest() override
    {
        view.reset();
        EXPECT_EQ(TFolderItemData::LiveCount(), baseline);
        TFileChangeThread::WaitForAll(1000);
    }
    QTreeWidgetItem* Root() const { return view->topLevelItem(0); }
    // The node of a folder below home, by captions.
    QTreeWidgetItem* HomeNode() const { return Child(Root(), "Home"); }

    test::ShellFixture tree;
    test::RecordingDialogs dialogs;
    int baseline;
    std::unique_ptr<TdfsSystemTreeView> view;
};

TEST_F(TreeTest, DefaultsFollowTheProperties)
{
    EXPECT_EQ(view->RootFolder(), rfDesktop);
    EXPECT_EQ(view->ReadDelay(), 500);
    EXPECT_TRUE(view->ShowHiddenDirs());
    EXPECT_TRUE(view->ExpandRoot());
    EXPECT_FALSE(view->ShowFiles());
    EXPECT_EQ(view->PopupMenuMethod(), pmmContext);
    EXPECT_EQ(view->Version(), "TdfsSystemTreeView v0.97 Beta");
    EXPECT_EQ(view->topLevelItemCount(), 0); // nothing is read before the window shows
}

TEST_F(TreeTest, PendingSelectionIsAppliedAfterTheFirstFill)
{
    view->SetSelection(tree.Home() + "/a/b");
    EXPECT_EQ(view->Selection(), "");
    view->show();
    EXPECT_EQ(view->Selection(), tree.Home() + "/a/b");

    auto loading = std::make_unique<TdfsSystemTreeView>();
    loading->BeginLoading();
    loading->show();
    loading->SetSelection(tree.Home() + "/a");
    EXPECT_EQ(loading->topLevelItemCount(), 0);
    loading->Loaded();
    EXPECT_EQ(loading->Selection(), tree.Home() + "/a");
}

TEST_F(TreeTest, ChildrenAreReadOnFirstExpansion)
{
    view->show();
    ASSERT_EQ(view->topLevelItemCount(), 1);
    EXPECT_EQ(Root()->text(0), "Desktop");
    EXPECT_TRUE(Root()->isExpanded());
    EXPECT_EQ(Captions(Root()), (QStringList{"Home", "Documents", "Computer", "Trash", "Network"}));
    QTreeWidgetItem* home = HomeNode();
    EXPECT_EQ(home->childCount(), 0);
    EXPECT_EQ(home->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    QSignalSpy populated(view.get(), &TdfsCustomSystemTreeView::OnPopulated);
    home->setExpanded(true);
    EXPECT_EQ(Captions(home), (QStringList{".hidden", "a", "Documents"}));
    EXPECT_EQ(populated.count(), 1);
    // A folder without subfolders loses its button once read.
    QTreeWidgetItem* documents = Child(home, "Documents");
    EXPECT_EQ(documents->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
}

TEST_F(TreeTest, SelectingAPathTakesTheDeepestExistingFolder)
{
    view->show();
    view->SetSelection(tree.Home() + "/a/b/missing/deeper");
    EXPECT_EQ(view->Selection(), tree.Home() + "/a/b");
    view->SetSelection(tree.Home() + "/a/");
    EXPECT_EQ(view->Selection(), tree.Home() + "/a");
    view->SetSelection("");
    EXPECT_EQ(view->Selection(), tree.Home() + "/a");
    view->SetSelection("relative/path");
    EXPECT_EQ(view->Selection(), tree.Home() + "/a");
    view->SetSelection(tree.Volume() + "/data");
    EXPECT_EQ(view->Selection(), tree.Volume() + "/data");
    view->SetSelection("/");
    EXPECT_EQ(view->Selection(), "/");
    EXPECT_EQ(view->Directory(), "/");
    // Long paths are taken whole.
    std::string deep = tree.Home();
    for (int i = 0; i < 12; ++i)
        deep += "/" + std::string(40, char('a' + i));
    fs::create_directories(deep);
    view->SetDirectory(deep);
    EXPECT_EQ(view->Selection(), deep);
}

TEST_F(TreeTest, ADeepFoldersNameStaysInViewInANarrowTree)
{
    std::string deep = tree.Home();
    for (int i = 0; i < 8; ++i)
        deep += "/folder_level_" + std::to_string(i);
    fs::create_directories(deep);
    view->resize(180, 300);
    view->show();
    view->SetSelection(deep);
    QTest::qWait(20);
    QTreeWidgetItem* node = view->currentItem();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->text(0), "folder_level_7");
    const QRect item = view->visualItemRect(node);
    const int width = view->sizeHintForIndex(view->currentIndex()).width();
    // The whole name is drawn, and it is where the user looks.
    EXPECT_GE(item.width(), width);
    EXPECT_GE(item.left(), 0);
    EXPECT_LE(item.left() + width, view->viewport()->width());
    EXPECT_GT(view->horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());

    // Back at a shallow folder, the tree shows its start again.
    view->SetSelection(tree.Home() + "/a");
    QTest::qWait(20);
    const QRect shallow = view->visualItemRect(view->currentItem());
    EXPECT_GE(shallow.left(), 0);
    EXPECT_LE(shallow.left() + view->sizeHintForIndex(view->currentIndex()).width(), view->viewport()->width());
}

// The selected folder's row and name stay in view: when it is chosen before
// the tree shows, as the Up key walks through folders above the top row, and
// after the pane is widened and narrowed back.
TEST_F(TreeTest, TheSelectedFolderStaysInView)
{
    for (int i = 0; i < 30; ++i)
        fs::create_directories(tree.Home() + "/a/sibling_" + std::to_string(10 + i));
    std::string deep = tree.Home() + "/a/sibling_39";
    for (int i = 0; i < 6; ++i)
        deep += "/folder_level_" + std::to_string(i);
    fs::create_directories(deep);
    const auto inView = [&] {
        const QModelIndex current = view->currentIndex();
        const QRect row = view->visualRect(current);
        const int width = view->sizeHintForIndex(current).width();
        return row.top() >= 0 && row.bottom() < view->viewport()->height() && row.left() >= 0 &&
               row.left() + width <= view->viewport()->width();
    };
    view->resize(180, 240);
    view->SetSelection(deep);
    view->show();
    QTest::qWait(20);
    ASSERT_EQ(view->currentItem()->text(0), "folder_level_5");
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(inView()) << "at start";

    for (int step = 1; step <= 12; ++step) {
        QTest::keyClick(view.get(), Qt::Key_Up);
        QTest::qWait(5);
        EXPECT_TRUE(inView()) << step << " steps up at " << view->currentItem()->text(0).toStdString();
    }
    EXPECT_EQ(view->currentItem()->text(0), "sibling_33");

    view->SetSelection(deep);
    QTest::qWait(20);
    view->resize(600, 240);
    QTest::qWait(20);
    EXPECT_TRUE(inView()) << "widened";
    view->resize(180, 240);
    QTest::qWait(20);
    EXPECT_TRUE(inView()) << "narrowed back";
}

TEST_F(TreeTest, VirtualItemsHaveNoPath)
{
    view->show();
    view->setCurrentItem(Child(Root(), "Network"));
    EXPECT_EQ(view->Selection(), "");
    view->setCurrentItem(Root());
    EXPECT_EQ(view->Selection(), "");
}

TEST_F(TreeTest, FileSystemRootHidesVirtualFolders)
{
    view->SetRootFolder(rfDrives);
    view->show();
    EXPECT_EQ(Root()->text(0), "Computer");
    EXPECT_TRUE(Captions(Root()).contains("Control Panel"));
    view->SetRootFolder(rfFileSystem);
    EXPECT_EQ(Captions(Root()), (QStringList{"File System", "Volume"}));
    view->SetSelection(tree.Volume() + "/data");
    EXPECT_EQ(view->Selection(), tree.Volume() + "/data");
}

TEST_F(TreeTest, CustomRootTakesPathsBelowIt)
{
    view->SetRootFolder(rfCustom);
    view->SetCustomDir(tree.Home() + "/a");
    view->SetCustomDirCaption("Pictures");
    view->show();
    EXPECT_EQ(Root()->text(0), "Pictures");
    view->SetSelection(tree.Home() + "/a/b/c");
    EXPECT_EQ(view->Selection(), tree.Home() + "/a/b/c");
    view->SetSelection("Pictures/b");
    EXPECT_EQ(view->Selection(), tree.Home() + "/a/b");
    view->SetSelection(tree.Home() + "/a");
    EXPECT_EQ(view->Selection(), tree.Home() + "/a");
    view->SetSelection(tree.Volume());
    EXPECT_EQ(view->Selection(), tree.Home() + "/a"); // outside the root: unchanged
    view->SetCustomDirCaption("Photos");
    EXPECT_EQ(Root()->text(0), "Photos");
}

TEST_F(TreeTest, FileMaskFiltersFilesButKeepsFolders)
{
    view->SetRootFolder(rfCustom);
    view->SetCustomDir(tree.Home() + "/a");
    view->SetShowFiles(true);
    view->show();
    EXPECT_EQ(Captions(Root()), (QStringList{"b", "x.jpg", "y.txt"}));
    view->SetFileMask("*.jpg;*.png");
    EXPECT_EQ(Captions(Root()), (QStringList{"b", "x.jpg"}));
    // A masked-out file ends the walk at its folder.
    view->SetSelection(tree.Home() + "/a/y.txt");
    EXPECT_EQ(view->Selection(), tree.Home() + "/a");
    // With files shown, a folder holding only files gets a button.
    fs::remove_all(tree.Home() + "/a/b/c");
    test::ShellFixture::Write(tree.Home() + "/a/b/only.txt", "x");
    view->SetFileMask("");
    EXPECT_EQ(Captions(Root()), (QStringList{"b", "x.jpg", "y.txt"}));
    QTreeWidgetItem* b = Child(Root(), "b");
    EXPECT_EQ(b->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    b->setExpanded(true);
    EXPECT_EQ(Captions(b), (QStringList{"only.txt"}));
    view->SetShowFiles(false);
    EXPECT_EQ(Child(Root(), "b")->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
}

TEST_F(TreeTest, HiddenFoldersFollowShowHiddenDirs)
{
    view->SetShowHiddenDirs(false);
    view->SetRootFolder(rfCustom);
    view->SetCustomDir(tree.Home());
    view->show();
    EXPECT_EQ(Captions(Root()), (QStringList{"a", "Documents"}));
    // A hidden folder named by path is still found.
    view->SetSelection(tree.Home() + "/.hidden/inner");
    EXPECT_EQ(view->Selection(), tree.Home() + "/.hidden/inner");
}

TEST_F(TreeTest, SelectionSurvivesARefill)
{
    view->show();
    view->SetSelection(tree.Home() + "/a/b");
    view->SetCheckboxes(true);
    EXPECT_EQ(view->currentItem()->checkState(0), Qt::Unchecked);
    view->SetShowFiles(true);
    EXPECT_EQ(view->Selection(), tree.Home() + "/a/b");
}

TEST_F(TreeTest, OnChangeFiresAtOnceAndOnlyTheWatchWaitsForTheReadDelay)
{
    view->show();
    QSignalSpy changes(view.get(), &TdfsCustomSystemTreeView::OnChange);
    view->setCurrentItem(HomeNode()); // the first change moves the watch at once
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(view->WatchedPath(), tree.Home());
    view->SetSelection(tree.Home() + "/a");
    view->SetSelection(tree.Home() + "/a/b");
    EXPECT_EQ(changes.count(), 3);
    EXPECT_EQ(view->Selection(), tree.Home() + "/a/b");
    EXPECT_EQ(view->WatchedPath(), tree.Home());
    EXPECT_TRUE(WaitFor([&] { return view->WatchedPath() == tree.Home() + "/a/b"; }));
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(TreeTest, DeletingTheWatchedFolderSelectsItsParent)
{
    view->SetReadDelay(0);
    view->show();
    view->SetSelection(tree.Home() + "/a/b/c");
    ASSERT_EQ(view->WatchedPath(), tree.Home() + "/a/b/c");
    fs::remove(tree.Home() + "/a/b/c");
    ASSERT_TRUE(WaitFor([&] { return view->Selection() == tree.Home() + "/a/b"; }));
    EXPECT_EQ(view->currentItem()->childCount(), 0);
    EXPECT_TRUE(WaitFor([&] { return view->WatchedPath() == tree.Home() + "/a/b"; }));
    // A new subfolder of the watched folder appears.
    fs::create_directory(tree.Home() + "/a/b/new");
    EXPECT_TRUE(WaitFor([&] { return Captions(view->currentItem()) == QStringList{"new"}; }));
}

TEST_F(TreeTest, AVanishedRootRefillsTheTree)
{
    view->SetReadDelay(0);
    view->SetRootFolder(rfCustom);
    view->SetCustomDir(tree.Home() + "/a/b");
    view->show();
    view->setCurrentItem(Root());
    ASSERT_EQ(view->WatchedPath(), tree.Home() + "/a/b");
    fs::remove_all(tree.Home() + "/a/b");
    EXPECT_TRUE(WaitFor([&] { return view->topLevelItemCount() == 0; }));
}

TEST_F(TreeTest, RenameReplacesTheListsOrKeepsTheCaption)
{
    view->show();
    view->SetSelection(tree.Home() + "/a/b/c");
    QTreeWidgetItem* b = view->currentItem()->parent();
    ASSERT_EQ(b->text(0), "b");
    EXPECT_TRUE(b->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(view->RenameNode(b, "b2"));
    EXPECT_EQ(b->text(0), "b2");
    EXPECT_TRUE(fs::is_directory(tree.Home() + "/a/b2/c"));
    // The children follow the new name.
    EXPECT_EQ(view->Selection(), tree.Home() + "/a/b2/c");
    view->setCurrentItem(b);
    EXPECT_EQ(view->Selection(), tree.Home() + "/a/b2");

    fs::create_directory(tree.Home() + "/a/taken");
    EXPECT_FALSE(view->RenameNode(b, "taken"));
    EXPECT_EQ(b->text(0), "b2");
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].Type, TMsgDlgType::mtError);
    EXPECT_TRUE(fs::is_directory(tree.Home() + "/a/b2/c"));
    EXPECT_FALSE(view->RenameNode(Child(Root(), "Computer"), "Mine"));
}

TEST_F(TreeTest, SymlinkedFoldersAreShownButNotFollowedIntoALoop)
{
    fs::create_directory_symlink(tree.Home() + "/a", tree.Home() + "/a/b/c/up");
    view->show();
    view->SetSelection(tree.Home() + "/a/b/c/up/b/c/up");
    // The link is a node of its own; its inside is never read.
    EXPECT_EQ(view->Selection(), tree.Home() + "/a/b/c/up");
    EXPECT_EQ(view->currentItem()->childCount(), 0);
    EXPECT_EQ(view->currentItem()->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
}

TEST_F(TreeTest, AutoscrollStepsNearTheEdges)
{
    const QSize size(200, 100);
    EXPECT_EQ(TdfsSystemTreeView::AutoscrollStep({100, 5}, size, 12), QPoint(0, -1));
    EXPECT_EQ(TdfsSystemTreeView::AutoscrollStep({100, 95}, size, 12), QPoint(0, 1));
    EXPECT_EQ(TdfsSystemTreeView::AutoscrollStep({5, 50}, size, 12), QPoint(-1, 0));
    EXPECT_EQ(TdfsSystemTreeView::AutoscrollStep({195, 50}, size, 12), QPoint(1, 0));
    EXPECT_EQ(TdfsSystemTreeView::AutoscrollStep({100, 50}, size, 12), QPoint(0, 0));
}

TEST_F(TreeTest, ExpandingTenThousandFoldersIsQuick)
{
    const std::string big = tree.Root() + "/big";
    fs::create_directory(big);
    for (int i = 0; i < 10000; ++i)
        fs::create_directory(big + "/folder" + std::to_string(i));
    view->SetRootFolder(rfCustom);
    view->SetCustomDir(big);
    view->SetExpandRoot(false);
    view->show();
    // The best of three, so a busy machine does not decide the result.
    double seconds = 1e9;
    for (int run = 0; run < 3; ++run) {
        view->Refill();
        const auto start = std::chrono::steady_clock::now();
        Root()->setExpanded(true);
        seconds = std::min(seconds,
                           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        ASSERT_EQ(Root()->childCount(), 10000);
    }
    EXPECT_EQ(Root()->child(0)->text(0), "folder0");
    EXPECT_EQ(Root()->child(1)->text(0), "folder1");
    RecordProperty("ExpandSeconds", std::to_string(seconds));
    std::printf("Expanding 10000 folders took %.3f s\n", seconds);
    // About 0.15 s on an idle machine; the bound only catches a slower
    // algorithm, not a loaded machine running the suite in parallel.
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(seconds, 2.0);
#endif
}

TEST_F(TreeTest, RightClickShowsTheItemMenuOrTheOwnMenu)
{
    QStringList shown;
    SetMenuTracker([&](QMenu& menu, const QPoint&) -> QAction* {
        for (QAction* action : menu.actions())
            shown << action->text();
        return nullptr;
    });
    view->show();
    QTreeWidgetItem* home = HomeNode();
    const QPoint point = view->visualItemRect(home).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, point, view->viewport()->mapToGlobal(point));
    QCoreApplication::sendEvent(view->viewport(), &click);
    EXPECT_EQ(view->currentItem(), home);
    EXPECT_TRUE(shown.contains("&Open"));
    EXPECT_TRUE(shown.contains("P&roperties"));
    EXPECT_TRUE(dialogs.Shown().empty());

    shown.clear();
    QMenu own;
    view->SetPopupMenu(&own);
    view->SetPopupMenuMethod(pmmUser);
    QContextMenuEvent again(QContextMenuEvent::Mouse, point, view->viewport()->mapToGlobal(point));
    QCoreApplication::sendEvent(view->viewport(), &again);
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_TRUE(own.isVisible());
    own.hide();
    SetMenuTracker({});
}

TEST_F(TreeTest, OnlyRowsShownAreProbedForSubfoldersAndTheirButtonsAreRight)
{
    const std::string many = tree.Root() + "/many";
    for (int i = 0; i < 200; ++i)
        fs::create_directories(many + "/folder" + std::to_string(1000 + i));
    fs::create_directory(many + "/folder1001/sub");
    fs::create_directory(many + "/folder1199/sub");
    view->SetRootFolder(rfCustom);
    view->SetCustomDir(many);
    view->resize(300, 200);
    view->show();
    ASSERT_EQ(Root()->childCount(), 200);
    const auto button = [&](int i) { return Root()->child(i)->childIndicatorPolicy(); };
    EXPECT_EQ(button(0), QTreeWidgetItem::DontShowIndicator);
    EXPECT_EQ(button(1), QTreeWidgetItem::ShowIndicator);
    // Far below the view nothing was read: the button waits for its row.
    EXPECT_FALSE(NodeData(Root()->child(198))->Probed);
    EXPECT_FALSE(NodeData(Root()->child(199))->Probed);

    view->scrollToItem(Root()->child(199));
    EXPECT_TRUE(NodeData(Root()->child(198))->Probed);
    EXPECT_EQ(button(198), QTreeWidgetItem::DontShowIndicator);
    EXPECT_EQ(button(199), QTreeWidgetItem::ShowIndicator);
}

TEST_F(TreeTest, ARowPaintedIsProbedBeforeItIsDrawn)
{
    const std::string many = tree.Root() + "/many";
    for (int i = 0; i < 60; ++i)
        fs::create_directories(many + "/folder" + std::to_string(1000 + i));
    view->SetRootFolder(rfCustom);
    view->SetCustomDir(many);
    view->resize(300, 100);
    view->show();
    QTreeWidgetItem* last = Root()->child(59);
    ASSERT_FALSE(NodeData(last)->Probed);
    // Grown by the window: the newly shown rows are read as they are painted.
    view->resize(300, 3000);
    view->grab();
    EXPECT_TRUE(NodeData(last)->Probed);
    EXPECT_EQ(last->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
}

} // namespace
} // namespace lumeno
