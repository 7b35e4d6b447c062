#include "app/common/window_holder.h"
#include "app/viewer/bm_edit.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/system_tree_view.h"
#include "imagelib/view/pg_image.h"
#include "main_window_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QThreadPool>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace lumeno::test {
namespace {

class SlideShowTest : public MainWindowTest {
protected:
    QStringList Selected() const
    {
        QStringList names;
        for (QTreeWidgetItem* item : Form1()->SLV1->selectedItems())
            names << item->text(0);
        return names;
    }
};

TEST_F(SlideShowTest, StepsWrapAndLeaveOneItemSelected)
{
    for (const char* name : {"a.png", "b.png", "c.png"})
        Picture(name);
    TForm1& form = Open();
    form.NextImageButtonClick();
    EXPECT_EQ(Selected(), QStringList{"a.png"});
    form.PreviousImageButtonClick();
    EXPECT_EQ(Selected(), QStringList{"c.png"});
    form.NextImageButtonClick();
    EXPECT_EQ(Selected(), QStringList{"a.png"});
    Select({"a.png", "c.png"});
    form.NextImageButtonClick();
    EXPECT_EQ(Selected(), QStringList{"b.png"});
    Drain();
    EXPECT_EQ(form.CurrentFile(), pics_.File("b.png"));
}

TEST_F(SlideShowTest, AnEmptyFolderReleasesTheButton)
{
    TForm1& form = Open();
    form.LumenoBtn->click();
    EXPECT_FALSE(form.LumenoBtn->isChecked());
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_TRUE(form.Bookmarks1->isEnabled());
    EXPECT_EQ(Texts(), std::vector<std::string>{"You must select a directory with files to run a Lumeno"});
}

TEST_F(SlideShowTest, RunsAtTheIntervalWithBookmarksOff)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = Open();
    form.LumenoBtn->click();
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 4000);
    EXPECT_FALSE(form.Bookmarks1->isEnabled());
    EXPECT_EQ(Selected(), QStringList{"a.png"});
    Drain();
    EXPECT_EQ(form.CurrentFile(), pics_.File("a.png"));
    form.UpDown1->setValue(2);
    EXPECT_EQ(form.Timer1->interval(), 2000);
    EXPECT_TRUE(form.Timer1->isActive());
    form.Timer1Timer();
    EXPECT_EQ(Selected(), QStringList{"b.png"});
    form.LumenoBtn->click();
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_TRUE(form.Bookmarks1->isEnabled());
}

TEST_F(SlideShowTest, TheNextPictureIsReadAheadAndDroppedWhenItChanged)
{
    Picture("a.png", 10, 10);
    Picture("b.png", 20, 10);
    Picture("c.png", 30, 10);
    TForm1& form = Open();
    form.NextImageButtonClick();
    Drain();
    EXPECT_EQ(form.PreRead().Path(), pics_.File("b.png"));
    form.NextImageButtonClick();
    Drain();
    EXPECT_EQ(form.SB1->Panels()[3].Text(), " b.png  (20 x 10)");
    EXPECT_EQ(form.PGImage1->GetFileName(), pics_.File("b.png"));
    EXPECT_EQ(form.PreRead().Path(), pics_.File("c.png"));
    QThreadPool::globalInstance()->waitForDone();
    Picture("c.png", 35, 12);
    form.NextImageButtonClick();
    Drain();
    EXPECT_EQ(form.SB1->Panels()[3].Text(), " c.png  (35 x 12)");
    // A new folder drops what was read ahead.
    TempDir other;
    form.FillFileList(form.SLV1, other.Path().string(), form.SB1, form.FileMask());
    EXPECT_EQ(form.PreRead().Path(), "");
}

TEST_F(SlideShowTest, TheStoredIntervalIsKeptWithinItsRange)
{
    Store("Seconds", "0");
    EXPECT_EQ(Open().Seconds->text(), "1");
}

class BookmarksTest : public MainWindowTest {
protected:
    QStringList MenuItems() const
    {
        QStringList texts;
        for (QAction* a : Form1()->Bookmarks1->actions())
            texts << (a->isSeparator() ? QString("-") : a->text());
        return texts;
    }
    void Edit(const std::function<void(TfBMEdit&)>& steps)
    {
        QTimer::singleShot(0, [steps] { steps(*fBMEdit()); });
        Form1()->EditBookmarks1Click();
    }
};

TEST_F(BookmarksTest, AddCreatesTheFileAndRefusesDuplicates)
{
    TForm1& form = Open();
    EXPECT_EQ(MenuItems(), (QStringList{"Add Bookmark", "Edit Bookmarks...", "-"}));
    form.AddBookmark1Click();
    const std::string folder = pics_.Path().string();
    EXPECT_EQ(ReadBookmarks(BookmarkFilePath()), std::vector<std::string>{folder});
    EXPECT_EQ(MenuItems().last().toStdString(), folder);
    const auto before = ReadFileBytes(BookmarkFilePath());
    form.AddBookmark1Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{folder + " is already bookmarked!"});
    EXPECT_EQ(ReadFileBytes(BookmarkFilePath()), before);
    EXPECT_EQ(MenuItems().size(), 4);
}

TEST_F(BookmarksTest, MenuItemsShowAmpersandsAndGoToTheStoredFolder)
{
    TempDir other;
    const std::string odd = other.File("R&D");
    std::filesystem::create_directory(odd);
    WriteBookmarks(BookmarkFilePath(), {odd});
    TForm1& form = Open();
    ASSERT_EQ(MenuItems().size(), 4);
    QAction* item = form.Bookmarks1->actions().last();
    EXPECT_EQ(item->text().toStdString(), other.File("R&&D"));
    item->trigger();
    EXPECT_EQ(form.Folder(), odd);
}

TEST_F(BookmarksTest, AnUnreadableFileIsNeverOverwritten)
{
    std::filesystem::create_directories(BookmarkFilePath());
    TForm1& form = Open();
    form.AddBookmark1Click();
    EXPECT_EQ(Texts().size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(BookmarkFilePath()));
    std::filesystem::remove(BookmarkFilePath());
}

// A 16 MiB file of short lines once became four million menu items.
TEST_F(BookmarksTest, AnOversizedFileIsRefusedAndKeptAsItIs)
{
    std::filesystem::create_directories(std::filesystem::path(BookmarkFilePath()).parent_path());
    std::vector<unsigned char> lines;
    while (lines.size() <= std::size_t(kMaxBookmarkFileSize))
        lines.insert(lines.end(), {'/', 'x', '\n', '\n'});
    WriteFileBytes(BookmarkFilePath(), lines);
    TForm1& form = Open();
    EXPECT_EQ(MenuItems(), (QStringList{"Add Bookmark", "Edit Bookmarks...", "-"}));

    const std::string refused =
        "The bookmark file " + BookmarkFilePath() + " is larger than 1 MB; the bookmarks were not changed";
    form.AddBookmark1Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{refused});
    auto editorShown = std::make_shared<bool>(false);
    QTimer::singleShot(0, [editorShown] {
        if (TfBMEdit* editor = MadeWindow<TfBMEdit>()) {
            *editorShown = editor->isVisible();
            editor->accept();
        }
    });
    form.EditBookmarks1Click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(*editorShown) << "the editor showed a refused file as an empty list";
    EXPECT_EQ(MadeWindow<TfBMEdit>(), nullptr) << "a refused file is no reason to build the editor";
    EXPECT_EQ(Texts(), (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(ReadFileBytes(BookmarkFilePath()), lines);
    EXPECT_EQ(MenuItems().size(), 3);
    std::filesystem::remove(BookmarkFilePath());
}

// A file at the limit takes no more: the reader would refuse what was written.
TEST_F(BookmarksTest, AnAdditionThatWouldPassTheLimitIsRefused)
{
    std::filesystem::create_directories(std::filesystem::path(BookmarkFilePath()).parent_path());
    std::vector<unsigned char> line(1024, 'x');
    line.front() = '/';
    line.back() = '\n';
    std::vector<unsigned char> lines;
    while (lines.size() + line.size() <= std::size_t(kMaxBookmarkFileSize))
        lines.insert(lines.end(), line.begin(), line.end());
    WriteFileBytes(BookmarkFilePath(), lines);
    TForm1& form = Open();
    form.AddBookmark1Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"The bookmark file " + BookmarkFilePath() +
                                                " is larger than 1 MB; the bookmarks were not changed"});
    EXPECT_EQ(ReadFileBytes(BookmarkFilePath()), lines);
    EXPECT_EQ(MenuItems().size(), 3 + qsizetype(lines.size() / line.size()));
    std::filesystem::remove(BookmarkFilePath());
}

TEST_F(BookmarksTest, TheEditorMovesDeletesAndSavesOnlyOnOk)
{
    WriteBookmarks(BookmarkFilePath(), {"/a", "/b", "/c"});
    TForm1& form = Open();
    Edit([](TfBMEdit& dialog) {
        EXPECT_EQ(dialog.ListBox1->currentRow(), 0);
        dialog.DeleteBtn->click();
        dialog.CancelBtn->click();
    });
    EXPECT_EQ(ReadBookmarks(BookmarkFilePath()), (std::vector<std::string>{"/a", "/b", "/c"}));

    Edit([](TfBMEdit& dialog) {
        EXPECT_EQ(dialog.size(), QSize(390, 273));
        dialog.UpBtn->click(); // already first
        dialog.DownBtn->click();
        EXPECT_EQ(dialog.ListBox1->currentRow(), 1);
        dialog.DownBtn->click();
        dialog.DownBtn->click(); // already last
        EXPECT_EQ(dialog.Entries(), (std::vector<std::string>{"/b", "/c", "/a"}));
        dialog.UpBtn->click();
        EXPECT_EQ(dialog.Entries(), (std::vector<std::string>{"/b", "/a", "/c"}));
        dialog.ListBox1->setCurrentRow(2);
        dialog.DeleteBtn->click();
        EXPECT_EQ(dialog.ListBox1->currentRow(), 0);
        dialog.OKBtn->click();
    });
    EXPECT_EQ(ReadBookmarks(BookmarkFilePath()), (std::vector<std::string>{"/b", "/a"}));
    EXPECT_EQ(MenuItems(), (QStringList{"Add Bookmark", "Edit Bookmarks...", "-", "/b", "/a"}));
    delete fBMEdit();
    (void)form;
}

TEST_F(BookmarksTest, FoldersWithLineBreaksAreRefusedAndEntriesKeepTheirBytes)
{
    const std::string broken = pics_.File("two\nlines");
    std::filesystem::create_directory(broken);
    TForm1& form = Open();
    form.STV1->SetSelection(broken);
    ASSERT_EQ(form.Folder(), broken);
    form.AddBookmark1Click();
    EXPECT_EQ(Texts(),
              std::vector<std::string>{broken + " cannot be bookmarked: its name holds a line break"});
    EXPECT_FALSE(std::filesystem::exists(BookmarkFilePath()));
    EXPECT_EQ(MenuItems().size(), 3);

    const std::string latin1 = "/caf\xE9";
    WriteBookmarks(BookmarkFilePath(), {latin1, "/b"});
    Edit([](TfBMEdit& dialog) {
        dialog.DownBtn->click();
        dialog.OKBtn->click();
    });
    EXPECT_EQ(ReadBookmarks(BookmarkFilePath()), (std::vector<std::string>{"/b", latin1}));
    delete fBMEdit();

    WriteFileBytes(BookmarkFilePath(), {'/', 'a', '\r', '/', 'b', '\r', '\r', '\n', '/', 'c'});
    EXPECT_EQ(ReadBookmarks(BookmarkFilePath()), (std::vector<std::string>{"/a", "/b", "/c"}));
}

} // namespace
} // namespace lumeno::test
