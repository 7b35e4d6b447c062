#include "controls/shell/directory_combo_dlg.h"
#include "controls/shell/file_list_popup_menu.h"
#include "controls/shell/file_list_view_dlg.h"
#include "controls/shell/file_name_edit_dlg.h"
#include "platform/dialogs.h"
#include "platform/qt/shell/shell_fixture.h"
#include "support/recording_dialogs.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

class FileListView : public ::testing::Test {
protected:
    FileListView() { view.SetLanguage(TFileViewLanguage::lnEnglish); }

    QStringList Captions() const
    {
        QStringList captions;
        for (const auto& item : view.Items())
            captions << QString::fromStdString(item.Caption);
        return captions;
    }
    int RowOf(const std::string& caption) const
    {
        for (int i = 0; i < int(view.Items().size()); ++i)
            if (view.Items()[std::size_t(i)].Caption == caption)
                return i;
        return -1;
    }
    void Key(int key) { QTest::keyClick(view.CurrentView(), Qt::Key(key)); }

    test::ShellFixture tree;
    test::RecordingDialogs dialogs;
    TFileListViewDlg view;
};

TEST_F(FileListView, BackspaceClimbsToTheDrivesAndTheDesktop)
{
    ASSERT_TRUE(view.SetDirectory(tree.Volume() + "/data"));
    QSignalSpy changes(&view, &TFileListViewDlg::OnDirectoryChange);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(view.Directory(), tree.Volume());
    Key(Qt::Key_Backspace);
    EXPECT_EQ(view.Directory(), kDrives);
    EXPECT_EQ(Captions(), (QStringList{"File System", "Volume"}));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(view.Directory(), kDesktop);
    EXPECT_EQ(Captions().mid(0, 3), (QStringList{"All the network", "Computer", "Trash"}));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(view.Directory(), kDesktop);
    EXPECT_EQ(changes.count(), 3);
    EXPECT_FALSE(view.SetDirectory(tree.Home() + "/missing"));
    EXPECT_TRUE(view.SetDirectory("\\\\"));
    EXPECT_EQ(view.Directory(), kNetwork);
}

TEST_F(FileListView, EnterOpensFoldersAndReportsFiles)
{
    TFileNameEditDlg edit;
    view.SetFileEdit(&edit);
    view.SetDirectory(tree.Home() + "/a");
    QSignalSpy selected(&view, &TFileListViewDlg::OnFileSelect);
    view.CurrentView()->setCurrentIndex(view.Model().index(RowOf("x.jpg"), 0));
    Key(Qt::Key_Return);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected[0][0].toString().toStdString(), tree.Home() + "/a/x.jpg");
    EXPECT_EQ(edit.text(), "x.jpg");
    view.CurrentView()->setCurrentIndex(view.Model().index(RowOf("b"), 0));
    Key(Qt::Key_Return);
    EXPECT_EQ(view.Directory(), tree.Home() + "/a/b");
}

TEST_F(FileListView, LanguageRebuildsTheMenuAndTheHeaders)
{
    EXPECT_EQ(view.PopupMenu()->Item("ItemViewIcon")->text(), "&Large icons");
    EXPECT_EQ(view.PopupMenu()->Item("ItemBrow128x")->text(), "&128 x 128");
    view.SetLanguage(TFileViewLanguage::lnGerman);
    EXPECT_EQ(view.PopupMenu()->Item("ItemViewIcon")->text(), "&Große Symbole");
    EXPECT_EQ(view.PopupMenu()->Item("ItemOpDelete")->text(), "&Löschen");
    EXPECT_EQ(view.Model().horizontalHeaderItem(1)->text(), "Größe");
    for (const char* name :
         {"SubMenuView", "SubMenuBrow", "SubMenuSort", "SubMenuSend", "SubMenuOpen", "ItemViewBrow",
          "ItemBrowMask", "ItemBrow1616", "ItemSortAttr", "ItemOpRename", "ItemOpFolder"})
        EXPECT_NE(view.PopupMenu()->Item(name), nullptr) << name;
    EXPECT_FALSE(view.PopupMenu()->Item("SubMenuSend")->isVisible());
    view.PopupMenu()->Item("ItemViewRepr")->trigger();
    EXPECT_EQ(view.ViewIconStyle(), TViewIconStyle::visReport);
}

TEST_F(FileListView, HeaderClicksSortBothWays)
{
    tree.Write(tree.Home() + "/a/big.png", std::string(5000, 'x'));
    view.SetViewIconStyle(TViewIconStyle::visReport);
    view.SetDirectory(tree.Home() + "/a");
    view.HeaderClicked(1);
    EXPECT_EQ(view.SortedBy(), TSortedBy::sbSize);
    EXPECT_EQ(Captions().last(), "big.png");
    view.HeaderClicked(1);
    EXPECT_EQ(view.SortedBy(), TSortedBy::sbSizeInv);
    EXPECT_EQ(Captions().first(), "big.png");
    view.HeaderClicked(0);
    EXPECT_EQ(view.SortedBy(), TSortedBy::sbName);
    EXPECT_EQ(Captions(), (QStringList{"b", "big.png", "x.jpg", "y.txt"}));
    EXPECT_EQ(view.Model().item(1, 1)->text(), "5,000");
}

TEST_F(FileListView, BindingsGoBothWaysAndEndWithEitherSide)
{
    auto combo = std::make_unique<TDirectoryComboDlg>();
    combo->SetFileListView(&view);
    EXPECT_EQ(view.DirCombo(), combo.get());
    view.SetDirectory(tree.Volume() + "/data");
    const QStringList entries = combo->Entries();
    EXPECT_TRUE(entries.contains("0000000DeskTop;Desktop"));
    EXPECT_TRUE(entries.contains("0001010Drives;Computer"));
    EXPECT_TRUE(entries.contains(QString::fromStdString("0004020" + tree.Volume() + ";Volume")));
    EXPECT_TRUE(entries.contains(QString::fromStdString("0005030" + tree.Volume() + "/data;data")));
    EXPECT_EQ(combo->currentText(), "data");
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_EQ(view.Directory(), kDrives);
    combo.reset();
    EXPECT_EQ(view.DirCombo(), nullptr);

    auto edit = std::make_unique<TFileNameEditDlg>();
    view.SetFileEdit(edit.get());
    EXPECT_EQ(edit->FileListView(), &view);
    view.SetFileEdit(nullptr);
    EXPECT_EQ(edit->FileListView(), nullptr);
}

TEST_F(FileListView, RenameAndDropsReplaceNothing)
{
    const std::string a = tree.Home() + "/a";
    view.SetDirectory(a);
    EXPECT_FALSE(view.RenameItem(RowOf("x.jpg"), "y.txt"));
    EXPECT_EQ(test::ReadFileBytes(a + "/y.txt").size(), 4u);
    EXPECT_TRUE(fs::exists(a + "/x.jpg"));
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(view.RenameItem(RowOf("x.jpg"), "z.jpg"));
    EXPECT_TRUE(fs::exists(a + "/z.jpg"));

    tree.Write(tree.Home() + "/y.txt", "other text");
    dialogs.Reset();
    dialogs.Answer(mrNo);
    QSignalSpy drops(&view, &TFileListViewDlg::OnFileDrop);
    view.DropFiles({QString::fromStdString(tree.Home() + "/y.txt")}, -1);
    EXPECT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(test::ReadFileBytes(a + "/y.txt").size(), 4u);
    EXPECT_EQ(drops.count(), 1);
    // Into the folder under the drop point; never a folder into itself.
    view.DropFiles({QString::fromStdString(tree.Home() + "/y.txt")}, RowOf("b"));
    EXPECT_EQ(test::ReadFileBytes(a + "/b/y.txt").size(), 10u);
    view.DropFiles({QString::fromStdString(a)}, RowOf("b"));
    EXPECT_FALSE(fs::exists(a + "/b/a"));
}

TEST_F(FileListView, DroppedFolderKeepsItsLinkedFoldersAsLinks)
{
    const std::string source = tree.Home() + "/looped";
    fs::create_directories(source + "/inner");
    tree.Write(source + "/inner/n.txt", "text");
    fs::create_directory_symlink("..", source + "/inner/up");
    view.SetDirectory(tree.Home() + "/a");
    view.DropFiles({QString::fromStdString(source)}, -1);
    const std::string copy = tree.Home() + "/a/looped";
    EXPECT_EQ(test::ReadFileBytes(copy + "/inner/n.txt").size(), 4u);
    EXPECT_TRUE(fs::is_symlink(copy + "/inner/up"));
    EXPECT_EQ(fs::read_symlink(copy + "/inner/up"), fs::path(".."));
}

TEST_F(FileListView, ThumbnailsSitOnWhiteSquares)
{
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(tree.Home() + "/a/wide.bmp"), "BMP"));
    view.SetDirectory(tree.Home() + "/a");
    const TFileListItem& wide = view.Items()[std::size_t(RowOf("wide.bmp"))];
    const QImage square = view.Thumbnail(wide);
    EXPECT_EQ(square.size(), QSize(32, 32));
    EXPECT_EQ(square.pixel(16, 4), qRgb(255, 255, 255));
    EXPECT_EQ(square.pixel(16, 8), qRgb(255, 0, 0));
    EXPECT_EQ(square.pixel(16, 23), qRgb(255, 0, 0));
    EXPECT_EQ(square.pixel(16, 24), qRgb(255, 255, 255));
    view.SetMaskBrowseImage(true);
    EXPECT_EQ(qAlpha(view.Thumbnail(wide).pixel(16, 4)), 0);
    EXPECT_EQ(qAlpha(view.Thumbnail(wide).pixel(16, 16)), 255);
    // A file that does not load gets its icon instead.
    const QImage text = view.Thumbnail(view.Items()[std::size_t(RowOf("y.txt"))]);
    EXPECT_EQ(text.size(), QSize(32, 32));
    view.SetViewIconStyle(TViewIconStyle::visBrowseImage);
    EXPECT_EQ(view.Model().rowCount(), int(view.Items().size()));
}

// Pictures are decoded on workers and kept while their files stay the same.
class FileListViewThumbnails : public FileListView {
protected:
    void WritePicture(const std::string& path, Qt::GlobalColor color)
    {
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(color);
        ASSERT_TRUE(picture.save(QString::fromStdString(path), "BMP"));
    }
    QRgb Shown(const std::string& caption)
    {
        return view.Model().item(RowOf(caption))->icon().pixmap(32, 32).toImage().pixel(16, 16);
    }
    bool Settled(const std::string& caption, QRgb colour)
    {
        return QTest::qWaitFor([&] { return Shown(caption) == colour; }, 10000);
    }
};

TEST_F(FileListViewThumbnails, DecodeOffTheWindowThreadAndSurviveARefresh)
{
    const std::string path = tree.Home() + "/a/red.bmp";
    WritePicture(path, Qt::red);
    view.SetDirectory(tree.Home() + "/a");
    view.SetViewIconStyle(TViewIconStyle::visBrowseImage);
    // Nothing decoded yet: the results come through the window's loop.
    EXPECT_NE(Shown("red.bmp"), qRgb(255, 0, 0));
    ASSERT_TRUE(Settled("red.bmp", qRgb(255, 0, 0)));

    // Same size and time: the refresh shows the kept picture.
    const auto time = fs::last_write_time(path);
    WritePicture(path, Qt::blue);
    fs::last_write_time(path, time);
    view.Refresh();
    EXPECT_EQ(Shown("red.bmp"), qRgb(255, 0, 0));
    QTest::qWait(50);
    EXPECT_EQ(Shown("red.bmp"), qRgb(255, 0, 0));

    // A newer file is decoded again.
    fs::last_write_time(path, time + std::chrono::seconds(5));
    view.Refresh();
    EXPECT_TRUE(Settled("red.bmp", qRgb(0, 0, 255)));
}

TEST_F(FileListViewThumbnails, PicturesOfAFolderLeftBehindAreDropped)
{
    WritePicture(tree.Home() + "/a/one.bmp", Qt::red);
    fs::create_directory(tree.Home() + "/b");
    WritePicture(tree.Home() + "/b/one.bmp", Qt::blue);
    view.SetDirectory(tree.Home() + "/a");
    view.SetViewIconStyle(TViewIconStyle::visBrowseImage);
    view.SetDirectory(tree.Home() + "/b");
    ASSERT_TRUE(Settled("one.bmp", qRgb(0, 0, 255)));
    QTest::qWait(50);
    EXPECT_EQ(Shown("one.bmp"), qRgb(0, 0, 255));
}

} // namespace
} // namespace lumeno
