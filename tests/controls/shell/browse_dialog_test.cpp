#include "controls/shell/browse_directory_dlg.h"
#include "controls/shell/system_tree_view.h"
#include "platform/qt/shell/shell_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <filesystem>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

bool WaitFor(const std::function<bool()>& condition, int ms = 3000)
{
    return QTest::qWaitFor(condition, ms);
}

class BrowseDialogTest : public ::testing::Test {
protected:
    void OpenDialog()
    {
        dlg.Open([this](bool chosen) { result = chosen; });
        ASSERT_NE(dlg.Dialog(), nullptr);
        ASSERT_TRUE(WaitFor([this] { return dlg.Dialog()->isVisible(); }));
    }
    bool WaitForResult()
    {
        return WaitFor([this] { return result.has_value(); });
    }

    test::ShellFixture shell;
    TdfsBrowseDirectoryDlg dlg;
    std::optional<bool> result;
};

TEST_F(BrowseDialogTest, ExistingFolderSelectionGetsASeparator)
{
    dlg.SetSelection(shell.Home() + "/a");
    EXPECT_EQ(dlg.Selection(), shell.Home() + "/a/");
    dlg.SetSelection(shell.Home() + "/missing");
    EXPECT_EQ(dlg.Selection(), shell.Home() + "/missing");
    EXPECT_EQ(dlg.Version(), "TdfsBrowseDirectoryDlg v2.59");
    // No folders are common to all users: they are the user's own.
    EXPECT_EQ(RootFolderNumber(idCommonPrograms), RootFolderNumber(idPrograms));
    EXPECT_EQ(RootFolderNumber(idCommonDesktopDirectory), 0x10);
    EXPECT_EQ(RootFolderNumber(idDesktopExpanded), 0xFEFE);
}

TEST_F(BrowseDialogTest, OkReturnsTheSelectedFolder)
{
    int created = 0;
    dlg.OnCreate = [&](TdfsBrowseDirectoryDlg*) { ++created; };
    dlg.SetCaption("Pick");
    dlg.SetSelection(shell.Home() + "/a/b");
    OpenDialog();
    EXPECT_EQ(created, 1);
    EXPECT_EQ(dlg.Caption(), "Pick");
    ASSERT_TRUE(WaitFor([this] { return dlg.Tree()->Selection() == shell.Home() + "/a/b"; }));

    std::vector<std::string> changes;
    dlg.OnSelChanged = [&](TdfsBrowseDirectoryDlg*, const std::string& path, PCItemIdList list) {
        EXPECT_NE(list, nullptr);
        changes.push_back(path);
    };
    dlg.SetSelection(shell.Home() + "/a/b/c");
    ASSERT_TRUE(WaitFor([&] { return !changes.empty(); }));
    EXPECT_EQ(changes.back(), shell.Home() + "/a/b/c");

    dlg.OKButton()->click();
    ASSERT_TRUE(WaitForResult());
    EXPECT_TRUE(*result);
    EXPECT_EQ(dlg.Selection(), shell.Home() + "/a/b/c/");
    EXPECT_EQ(dlg.DisplayName(), "c");
    EXPECT_GE(dlg.ImageIndex(), 0);
}

TEST_F(BrowseDialogTest, CancelReturnsFalseAndClearsTheSelection)
{
    dlg.SetSelection(shell.Home() + "/a");
    dlg.SetEnableOKButton(false);
    OpenDialog();
    EXPECT_FALSE(dlg.OKButton()->isEnabled());
    dlg.Dialog()->reject();
    ASSERT_TRUE(WaitForResult());
    EXPECT_FALSE(*result);
    EXPECT_EQ(dlg.Selection(), "");
}

TEST_F(BrowseDialogTest, FoldersOnlyRefusesVirtualItems)
{
    dlg.SetOptions({bfDirectoriesOnly});
    dlg.SetSelection(shell.Home());
    OpenDialog();
    QTreeWidgetItem* root = dlg.Tree()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    QTreeWidgetItem* computer = nullptr;
    for (int i = 0; i < root->childCount(); ++i)
        if (root->child(i)->text(0) == "Computer")
            computer = root->child(i);
    ASSERT_NE(computer, nullptr);
    dlg.Tree()->setCurrentItem(computer);
    ASSERT_TRUE(WaitFor([this] { return !dlg.OKButton()->isEnabled(); }));
    dlg.SetSelection(shell.Home() + "/a");
    ASSERT_TRUE(WaitFor([this] { return dlg.OKButton()->isEnabled(); }));
    dlg.Dialog()->reject();
    ASSERT_TRUE(WaitForResult());
}

TEST_F(BrowseDialogTest, TypedPathMustExist)
{
    std::vector<std::string> failed;
    bool cancel = false;
    dlg.OnValidateFailed = [&](TdfsBrowseDirectoryDlg*, const std::string& path, bool& c) {
        failed.push_back(path);
        c = cancel;
    };
    dlg.SetOptions({bfEditBox});
    dlg.SetSelection(shell.Home() + "/a");
    OpenDialog();
    ASSERT_NE(dlg.EditBox(), nullptr);
    ASSERT_TRUE(WaitFor([this] { return dlg.Tree()->Selection() == shell.Home() + "/a"; }));

    dlg.EditBox()->setText("nope");
    dlg.OKButton()->click();
    QApplication::processEvents();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0], shell.Home() + "/a/nope");
    EXPECT_TRUE(dlg.Dialog()->isVisible());
    EXPECT_FALSE(result.has_value());

    dlg.EditBox()->setText("b");
    dlg.OKButton()->click();
    ASSERT_TRUE(WaitForResult());
    EXPECT_TRUE(*result);
    EXPECT_EQ(dlg.Selection(), shell.Home() + "/a/b/");

    // A handler that cancels closes the dialog with nothing chosen.
    result.reset();
    cancel = true;
    OpenDialog();
    dlg.EditBox()->setText(QString::fromStdString(shell.Home() + "/gone"));
    dlg.OKButton()->click();
    ASSERT_TRUE(WaitForResult());
    EXPECT_FALSE(*result);
    EXPECT_EQ(failed.back(), shell.Home() + "/gone");
}

TEST_F(BrowseDialogTest, LongFolderPathsLoseLeadingFolders)
{
    const std::string deep = shell.Home() + "/pictures/holidays/two-thousand-nineteen/summer/beach";
    fs::create_directories(deep);
    const QFontMetrics metrics(QApplication::font());
    const QString full = QString::fromStdString(deep);
    const int width = metrics.horizontalAdvance(QStringLiteral("/.../summer/beach")) + 2;
    EXPECT_EQ(FitStatusText(full, metrics, width), "/.../summer/beach");
    EXPECT_EQ(FitStatusText(full, metrics, 10000), full);

    // Not even "/.../beach" fits: the text is cut once instead.
    const int narrow = metrics.horizontalAdvance(QStringLiteral("/.../beach")) - 1;
    const QString cut = FitStatusText(full, metrics, narrow);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_FALSE(cut.endsWith(QStringLiteral("......")));
    EXPECT_LE(metrics.horizontalAdvance(cut), narrow);
    EXPECT_TRUE(full.startsWith(cut.chopped(3)));

    const QString plain = QStringLiteral("Choose the folder where the web pages will be written");
    const QString fitted = FitStatusText(plain, metrics, 120);
    EXPECT_LE(metrics.horizontalAdvance(fitted), 120);
    EXPECT_TRUE(fitted.endsWith(QStringLiteral("...")));
    EXPECT_EQ(FitStatusText(plain, metrics, 1), "...");
}

TEST_F(BrowseDialogTest, StatusFollowsTheSelectionAndFits)
{
    const std::string deep = shell.Home() + "/pictures/holidays/two-thousand-nineteen/summer/beach/evening";
    fs::create_directories(deep);
    dlg.SetShowSelectionInStatus(true);
    dlg.SetSelection(deep);
    OpenDialog();
    QLabel* status = dlg.StatusLabel();
    ASSERT_TRUE(WaitFor([&] { return status->text().endsWith(QStringLiteral("/evening")); }));
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("/.../")));
    EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->contentsRect().width());
    dlg.Dialog()->reject();
    ASSERT_TRUE(WaitForResult());
}

} // namespace
} // namespace lumeno
