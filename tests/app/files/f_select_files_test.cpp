#include "app/common/settings_store.h"
#include "app/files/dialog_texts.h"
#include "app/files/f_select_files.h"
#include "app/files/fake_files_host.h"
#include "controls/media/dcavi_play.h"
#include "controls/media/gif_image.h"
#include "controls/media/gif_writer.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "controls/shell/system_tree_view.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/shell/item_prop.h"
#include "support/avi_clip.h"
#include "support/test_env.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace lumeno {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Names = std::vector<std::string>;

void WritePicture(const std::string& Path, int W, int H)
{
    TPixelGraphic g;
    g.SetDimensions(W, H, pf24Bit);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            g.SetPixelColor(x, y, RGB(x * 7 % 256, y * 5 % 256, 90));
    g.SaveToFile(Path);
}

// Records like RecordingDialogs and runs a hook while a box is open.
class HookedDialogs : public TDialogs {
public:
    HookedDialogs() : previous_(&Dialogs()) { SetDialogs(this); }
    ~HookedDialogs() override { SetDialogs(previous_); }
    int Show(const TDialogRequest& request) override
    {
        texts.push_back(request.Text);
        if (whileOpen)
            whileOpen();
        return request.DefaultResult;
    }
    std::vector<std::string> texts;
    std::function<void()> whileOpen;

private:
    TDialogs* previous_;
};

class Mover : public ::testing::Test {
protected:
    void SetUp() override
    {
        PGStartup();
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
            WritePicture(source.File(name), 40, 30);
        test::WriteFileBytes(source.File("notes.txt"), {'t'});
        TSettingsStore().WriteSetting("SourceDir", source.Path().string());
        form.resize(900, 560);
        form.show();
        QTest::qWait(20);
    }
    void TearDown() override
    {
        TSettingsStore().WriteSetting("Deletions", "0");
        TSettingsStore().WriteSetting("Confirm Deletions", "1");
        PGShutdown();
    }
    std::vector<std::string> Texts() { return test::DialogTexts(dialogs); }
    std::string Panel(int i) { return form.StatusBar1->Panels()[i].Text(); }

    test::TempDir source;
    test::TempDir target;
    test::FakeFilesHost host{target.Path().string()};
    test::RecordingDialogs dialogs;
    TfSelectFiles form;
};

TEST_F(Mover, ShowsTheDefaultSourceFoldersImages)
{
    EXPECT_EQ(form.windowTitle().toStdString(), source.Path().string());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.SourceFolder(), source.Path().string());
    EXPECT_EQ(form.Captions(), (Names{"a.bmp", "b.bmp", "c.bmp", "d.bmp"}));
    EXPECT_EQ(Panel(1), "4 files");
    EXPECT_EQ(form.StatusBar1->Panels()[0].Width(), 25);
    EXPECT_TRUE(form.AutoPreview->isChecked());
    EXPECT_FALSE(form.AutoUpdate->isChecked());

    form.SLV4ColumnClick(0);
    EXPECT_EQ(form.Captions(), (Names{"d.bmp", "c.bmp", "b.bmp", "a.bmp"}));

    TSettingsStore().WriteSetting("SourceDir", source.File("missing"));
    form.FormShow();
    EXPECT_EQ(form.SourceFolder(), SettingDefault("SourceDir"));
}

TEST_F(Mover, SelectingOneFilePreviewsIt)
{
    form.SelectCaptions({"b.bmp"});
    EXPECT_EQ(form.pnlName->text(), "b.bmp");
    EXPECT_TRUE(form.PGImage1->isVisibleTo(&form));
    EXPECT_EQ(form.PGImage1->GetPixelGraphicWidth(), 40);
    EXPECT_EQ(Panel(3), " (40 x 30)");
    EXPECT_EQ(Panel(2), std::to_string(fs::file_size(source.File("b.bmp")) / 1024 + 1) + "K");

    TPixelGraphic small;
    small.SetDimensions(20, 10, pf8Bit);
    small.SetPaletteType(pSys16);
    ASSERT_TRUE(SaveBitmapAsGIF(source.File("e.gif"), small, false, 0, false));
    form.RefreshClick();
    form.SelectCaptions({"e.gif"});
    EXPECT_TRUE(form.GIFImage1->isVisibleTo(&form));
    EXPECT_FALSE(form.PGImage1->isVisibleTo(&form));
    EXPECT_EQ(form.GIFImage1->size(), QSize(20, 10));

    test::WriteFileBytes(source.File("broken.bmp"), {'B', 'M', 1, 2});
    form.RefreshClick();
    form.SelectCaptions({"broken.bmp"});
    EXPECT_EQ(Texts(), (Names{"Error reading image file"}));
    EXPECT_EQ(form.pnlName->text(), "broken.bmp");
}

TEST_F(Mover, MovingLeavesClashesAndEmptyFilesAndSelectsTheNearestAbove)
{
    test::WriteFileBytes(target.File("c.bmp"), {'t'});
    test::WriteFileBytes(source.File("e.bmp"), {});
    form.RefreshClick();
    form.SelectCaptions({"c.bmp", "d.bmp", "e.bmp"});
    form.TransferClick(TTransferMode::Move);

    EXPECT_EQ(Texts(), (Names{"file " + target.File("c.bmp") + " already exists. Select another directory before moving",
                              source.File("e.bmp") + " has a size of zero. This may be because it is not yet closed."}));
    EXPECT_EQ(test::ReadFileBytes(target.File("c.bmp")), Bytes{'t'});
    EXPECT_TRUE(fs::exists(source.File("c.bmp")));
    EXPECT_TRUE(fs::exists(target.File("d.bmp")));
    EXPECT_FALSE(fs::exists(source.File("d.bmp")));
    EXPECT_EQ(form.Captions(), (Names{"a.bmp", "b.bmp", "c.bmp", "e.bmp"}));
    // The main list shows what arrived; the mover selects the nearest item above.
    EXPECT_EQ(host.shown, (Names{"d.bmp"}));
    EXPECT_EQ(form.SelectedCaptions(), (Names{"b.bmp"}));
    EXPECT_EQ(Panel(3), " (40 x 30)");
    EXPECT_EQ(form.NameList().count("d.bmp"), 0u);
    EXPECT_TRUE(form.tbMove->isEnabled());
}

TEST_F(Mover, NothingIsTransferredWhileTheMainListShowsNoFolder)
{
    const test::WorkingFolder here(target.Path());
    host.folder.clear();
    form.RefreshClick();
    form.SelectCaptions({"a.bmp"});
    for (const TTransferMode mode : {TTransferMode::Move, TTransferMode::Copy})
        form.TransferClick(mode);
    EXPECT_TRUE(fs::exists(source.File("a.bmp")));
    EXPECT_FALSE(fs::exists(target.File("a.bmp")));
    EXPECT_TRUE(Texts().empty());
}

TEST_F(Mover, CopyingKeepsTheSource)
{
    form.SelectCaptions({"a.bmp", "b.bmp"});
    form.TransferClick(TTransferMode::Copy);
    EXPECT_TRUE(Texts().empty());
    EXPECT_TRUE(fs::exists(source.File("a.bmp")));
    EXPECT_TRUE(fs::exists(target.File("a.bmp")));
    EXPECT_TRUE(fs::exists(target.File("b.bmp")));
    EXPECT_EQ(host.shown, (Names{"b.bmp"}));
    EXPECT_EQ(form.Captions().size(), 4u);
}

TEST_F(Mover, AnArrivalBecomesTheOnlySelectionAndIsPreviewed)
{
    form.AutoUpdate->click();
    EXPECT_EQ(form.NameList().size(), 4u);
    form.SelectCaptions({"a.bmp", "b.bmp"});
    WritePicture(source.File("new.bmp"), 60, 20);
    form.ChangeNotify1Change();
    EXPECT_EQ(form.SelectedCaptions(), (Names{"new.bmp"}));
    EXPECT_EQ(form.pnlName->text(), "new.bmp");
    EXPECT_EQ(Panel(3), " (60 x 20)");
    EXPECT_EQ(form.NameList().count("new.bmp"), 1u);
    // Nothing new: the selection stays.
    form.ChangeNotify1Change();
    EXPECT_EQ(form.SelectedCaptions(), (Names{"new.bmp"}));

    form.STV4Change(target.Path().string());
    EXPECT_FALSE(form.AutoUpdate->isChecked());
    EXPECT_EQ(form.SourceFolder(), target.Path().string());
}

TEST_F(Mover, ChangesDuringAMessageBoxAreHandledOnceAfterwards)
{
    HookedDialogs hooked;
    form.AutoUpdate->click();
    test::WriteFileBytes(target.File("a.bmp"), {'t'});
    int handledDuringBox = 0;
    hooked.whileOpen = [&] {
        WritePicture(source.File("late.bmp"), 10, 10);
        form.ChangeNotify1Change();
        form.ChangeNotify1Change();
        handledDuringBox += form.SelectedCaptions() == Names{"late.bmp"};
    };
    form.SelectCaptions({"a.bmp"});
    form.TransferClick(TTransferMode::Move);
    EXPECT_EQ(hooked.texts.size(), 1u);
    EXPECT_EQ(handledDuringBox, 0);
    EXPECT_EQ(form.SelectedCaptions(), (Names{"late.bmp"}));
}

TEST_F(Mover, ArrivalsWaitWhileAnotherWindowsBoxIsOpen)
{
    form.AutoUpdate->click();
    TQtDialogs boxes;
    bool handledUnderTheBox = true;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(300, [&] {
            handledUnderTheBox = form.SelectedCaptions() == Names{"late.bmp"};
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        boxes.Show({"", "Another window's box", TMsgDlgType::mtWarning, mbOK, mrOk});
    });
    QTimer::singleShot(100, [&] {
        WritePicture(source.File("late.bmp"), 10, 10);
        form.ChangeNotify1Change();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.SelectedCaptions() == Names{"late.bmp"}; }, 5000));
    EXPECT_FALSE(handledUnderTheBox);
}

TEST_F(Mover, ClipsArePreviewedInTheMainWindowsBox)
{
    const std::pair<QSize, QSize> cases[] = {
        {{64, 48}, {145, 109}}, {{320, 240}, {145, 109}}, {{48, 64}, {109, 145}}};
    host.mask = "*.bmp;*.avi;";
    for (const auto& [frame, shown] : cases) {
        test::AviClip clip;
        clip.Width = frame.width();
        clip.Height = frame.height();
        clip.Write(source.File("clip.avi"));
        form.RefreshClick();
        form.SelectNoneClick();
        form.SelectCaptions({"clip.avi"});
        form.ForcePreviewClick();
        EXPECT_TRUE(form.AVIPlay1->isVisibleTo(&form));
        EXPECT_EQ(form.AVIPlay1->size(), shown) << frame.width() << " x " << frame.height();
    }
}

TEST_F(Mover, TheTreeShowsItsOwnMenu)
{
    QTreeWidgetItem* node = form.STV4->currentItem();
    ASSERT_NE(node, nullptr);
    bool shellMenu = false;
    SetMenuTracker([&](QMenu&, const QPoint&) -> QAction* {
        shellMenu = true;
        return nullptr;
    });
    const QPoint pos = form.STV4->visualItemRect(node).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, form.STV4->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(form.STV4->viewport(), &event);
    SetMenuTracker({});
    EXPECT_FALSE(shellMenu);
    EXPECT_TRUE(form.PopupMenu2->isVisible());
    QStringList captions;
    for (QAction* action : form.PopupMenu2->actions())
        captions << action->text();
    EXPECT_EQ(captions, (QStringList{"Add Folder...", "Delete Folder...", "Refresh", "Save Default Path"}));
    form.PopupMenu2->close();
}

TEST_F(Mover, SmallCommandsCheckTheSelection)
{
    form.SelectNoneClick();
    form.RenameFileClick();
    form.SelectAllClick();
    form.RenameFileClick();
    EXPECT_EQ(Texts(), (Names{"You must click on a file", "You must select a single file for this function"}));

    form.PopupMenu1Popup();
    EXPECT_FALSE(form.RenameFile1->isEnabled());
    EXPECT_TRUE(form.MoveFiles1->isEnabled());
    EXPECT_FALSE(form.LargeView1->isEnabled());
    form.SelectCaptions({"a.bmp"});
    form.PopupMenu1Popup();
    EXPECT_TRUE(form.RenameFile1->isEnabled());
    EXPECT_TRUE(form.ForcePreview1->isEnabled());
    EXPECT_FALSE(form.ImageProperties1->isEnabled());

    std::vector<std::string> viewed;
    form.SetLargeViewAction([&](const std::string& Path, const std::string&) { viewed.push_back(Path); });
    form.PopupMenu1Popup();
    EXPECT_TRUE(form.LargeView1->isEnabled());
    form.LargeViewClick();
    EXPECT_EQ(viewed, (Names{source.File("a.bmp")}));

    dialogs.Reset();
    form.SaveDefaultPathClick();
    EXPECT_EQ(Texts(), (Names{"Saved default as " + source.Path().string()}));
    EXPECT_EQ(TSettingsStore().ReadString("SourceDir"), source.Path().string());
}

TEST_F(Mover, DeletingSelectsTheSuccessorAndTellsTheThumbnails)
{
    TSettingsStore().WriteSetting("Deletions", "1");
    form.SelectCaptions({"b.bmp", "c.bmp"});
    dialogs.Answer(mrYes);
    form.DeleteFilesClick();
    EXPECT_EQ(Texts(), (Names{"Delete selected files?"}));
    EXPECT_EQ(form.Captions(), (Names{"a.bmp", "d.bmp"}));
    EXPECT_EQ(form.SelectedCaptions(), (Names{"a.bmp"}));
    EXPECT_EQ(host.changedFolders, (Names{source.Path().string()}));
}

// A source folder on a tmpfs, as a camera's import folder may be: the trash
// refuses its files.
TEST_F(Mover, AFileTheTrashRefusesIsExplainedAndDeletedForGoodOnlyOnYes)
{
    if (const std::string why = test::NoTmpfsApart(); !why.empty())
        GTEST_SKIP() << why;
    const test::TempDir shm("/dev/shm");
    TSettingsStore().WriteSetting("Confirm Deletions", "0");
    form.AutoPreview->setChecked(false);
    for (const char* name : {"a.bmp", "b.bmp"})
        test::WriteFileBytes(shm.File(name), {'B', 'M'});
    form.STV4Change(shm.Path().string());
    const std::string question = "Error moving " + shm.File("a.bmp") +
                                 " to recycle bin: Trashing on system internal mounts is not supported\n\n"
                                 "Permanently delete it from your disk (can not be restored)?";
    form.SelectCaptions({"a.bmp"});
    dialogs.Answer(mrNo);
    form.DeleteFilesClick();
    EXPECT_EQ(Texts(), (Names{question}));
    EXPECT_EQ(dialogs.Shown()[0].DefaultResult, mrNo);
    EXPECT_TRUE(fs::exists(shm.File("a.bmp")));
    EXPECT_EQ(form.Captions(), (Names{"a.bmp", "b.bmp"}));

    dialogs.Reset();
    dialogs.Answer(mrYes);
    form.SelectCaptions({"a.bmp"});
    form.DeleteFilesClick();
    EXPECT_EQ(Texts(), (Names{question}));
    EXPECT_FALSE(fs::exists(shm.File("a.bmp")));
    EXPECT_EQ(form.Captions(), (Names{"b.bmp"}));
}

TEST_F(Mover, ANameTheTrashCannotTakeIsExplainedAndKeptOnNo)
{
    TSettingsStore().WriteSetting("Confirm Deletions", "0");
    // With ".trashinfo" the trash's record of it passes 255 bytes.
    const std::string name = std::string(246, 'n') + ".bmp";
    test::WriteFileBytes(source.File(name), {'B', 'M'});
    form.AutoPreview->setChecked(false);
    form.RefreshClick();
    form.SelectCaptions({name});
    form.DeleteFilesClick();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("Error moving " + source.File(name) + " to recycle bin: ", 0), 0u)
        << Texts()[0];
    EXPECT_NE(Texts()[0].find("File name too long"), std::string::npos) << Texts()[0];
    EXPECT_TRUE(fs::exists(source.File(name)));
}

} // namespace
} // namespace lumeno
