#include "app/common/list_drag.h"
#include "app/thumbs/exif_form.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/glimpset_form.h"
#include "app/thumbs/save_thumbnail_form.h"
#include "app/thumbs/select_folder_form.h"
#include "app/thumbs/thumb_list_view.h"
#include "app/thumbs/thumbnails_form.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panels.h"
#include "controls/shell/system_tree_view.h"
#include "fake_thumbs_host.h"
#include "imagelib/pg_startup.h"
#include "screenshot.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"
#include "thumb_files.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QTreeView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

constexpr int kWaitMs = 20000;

class ThumbnailsForm : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartup(); }
    void SetUp() override
    {
        SetThumbnailSize(64);
        form = std::make_unique<TfrmThumbnails>();
        frmSaveThumbnail();
    }
    void TearDown() override
    {
        form.reset();
        delete frmSaveThumbnail();
    }

    std::string Panel(int index) { return form->SB1->Panels()[index].Text(); }
    void ShowAndLoad()
    {
        form->ShowFolder(dir.Path().string());
        ASSERT_TRUE(QTest::qWaitFor([&] { return Panel(1) == "Thumbnails loaded"; }, kWaitMs)) << Panel(1);
    }
    void SelectCaptions(const std::vector<std::string>& captions)
    {
        form->SLV2->ClearSelection();
        for (int i = 0; i < form->SLV2->Count(); ++i)
            for (const std::string& caption : captions)
                if (form->SLV2->Row(i).Name == caption)
                    form->SLV2->Select(i);
    }
    // Runs the batch with the dialog's OK, as JPG into out (or the list's
    // folder), and waits for its end.
    void SaveSelected(const std::string& out = "", int type = 1)
    {
        form->tbPixToDiskClick();
        TfrmSaveThumbnail* dialog = frmSaveThumbnail();
        ASSERT_TRUE(dialog->isVisible());
        dialog->cbFileType->setCurrentIndex(type);
        if (!out.empty())
            dialog->eDirPath->setText(QString::fromStdString(out));
        dialog->accept();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Busy(); }, kWaitMs)) << Panel(1);
    }

    test::TempDir dir;
    test::TempDir out;
    test::FakeThumbsHost host;
    test::RecordingDialogs dialogs;
    std::unique_ptr<TfrmThumbnails> form;
};

TEST_F(ThumbnailsForm, LoadsEveryThumbnailSortedAndShowsThemAsIcons)
{
    test::WriteGradientImage(dir.File("b.jpg"), 400, 300);
    test::WriteSolidImage(dir.File("a.bmp"), 50, 30, 0x0000FF);
    test::WriteGradientImage(dir.File("c.png"), 120, 240);
    test::WriteFileBytes(dir.File("d.jpg"), {1, 2, 3});
    test::WriteFileBytes(dir.File("notes.txt"), {1});
    ShowAndLoad();
    ASSERT_EQ(form->SLV2->Count(), 4);
    EXPECT_EQ(form->SLV2->Row(0).Name, "a.bmp");
    EXPECT_EQ(form->SLV2->Row(3).Name, "d.jpg");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->SLV2->Thumbnail(i).size(), QSize(64, 64));
    EXPECT_EQ(form->SLV2->Thumbnail(0).pixel(7, 0), qRgb(255, 0, 0));
    EXPECT_EQ(form->SLV2->Thumbnail(0).pixel(6, 0), qRgb(254, 255, 230));
    EXPECT_FALSE(form->Busy());
    EXPECT_TRUE(form->ProgressBar1->isHidden());
    EXPECT_EQ(Panel(3), "");

    // A column click sorts with the window's own state; thumbnails move along.
    emit form->SLV2->ColumnClicked(0);
    EXPECT_EQ(form->SLV2->Row(0).Name, "d.jpg");
    EXPECT_EQ(form->SLV2->Thumbnail(3).pixel(7, 0), qRgb(255, 0, 0));

    form->resize(760, 420);
    test::SaveScreenshot(form.get(), "thumbnails_report");
    form->SizeClick(128);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Panel(1) == "Thumbnails loaded"; }, kWaitMs));
    EXPECT_EQ(form->SLV2->Thumbnail(0).width(), 128);
    form->tbIconClick();
    form->resize(760, 420);
    QTest::qWait(50);
    test::SaveScreenshot(form.get(), "thumbnails_icons");
}

TEST_F(ThumbnailsForm, EscapeKeepsTheThumbnailsMadeAndSaysSo)
{
    for (int i = 0; i < 40; ++i)
        test::WriteGradientImage(dir.File("p" + std::to_string(100 + i) + ".jpg"), 800, 600);
    form->ShowFolder(dir.Path().string());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->SLV2->Thumbnail(0).isNull(); }, kWaitMs));
    form->EscapePressed();
    EXPECT_EQ(Panel(1), "Stopped by user!");
    EXPECT_FALSE(form->Busy());
    QTest::qWait(200);
    EXPECT_EQ(Panel(1), "Stopped by user!") << "no late results after ESC";
    EXPECT_FALSE(form->SLV2->Thumbnail(0).isNull());
    EXPECT_TRUE(form->SLV2->updatesEnabled());
}

TEST_F(ThumbnailsForm, CommandsNeedTheirSelection)
{
    test::WriteSolidImage(dir.File("a.bmp"), 20, 10, 0);
    test::WriteSolidImage(dir.File("b.bmp"), 20, 10, 0);
    ShowAndLoad();
    SelectCaptions({"a.bmp", "b.bmp"});
    form->PopupMenu1->popup(QPoint(0, 0));
    emit form->SLV2->ContextMenuRequested(QPoint(0, 0));
    EXPECT_FALSE(form->ViewImage1->isEnabled());
    EXPECT_FALSE(form->EXIFData1->isEnabled());
    EXPECT_TRUE(form->SaveAsThumbnail1->isEnabled());
    form->PopupMenu1->hide();

    SelectCaptions({"b.bmp"});
    form->ImagePropertiesClick();
    ASSERT_NE(frmFileProp(), nullptr);
    EXPECT_EQ(frmFileProp()->FileName, dir.File("b.bmp"));
    EXPECT_TRUE(frmFileProp()->isVisible());
    form->EXIFDataClick();
    ASSERT_NE(frmEXIF(), nullptr);
    EXPECT_TRUE(frmEXIF()->isVisible());
    form->tbGlimpset->trigger();
    EXPECT_EQ(host.SheetShown, 1);
    delete frmFileProp();
    delete frmEXIF();

    // The list drags its folder and captions with a tag of its own.
    const QModelIndexList rows = form->SLV2->ReportView()->selectionModel()->selectedRows();
    std::unique_ptr<QMimeData> data(form->SLV2->ReportView()->model()->mimeData(rows));
    const auto drag = DecodeListDrag(data.get());
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->Folder.toStdString(), dir.Path().string());
    EXPECT_EQ(drag->Captions, QStringList{"b.bmp"});
    EXPECT_EQ(drag->Tag, 2);
}

// A mouse click in the thumbnail and list views, where the view picks what
// it selects, counts for every command that needs a selected file.
TEST_F(ThumbnailsForm, AClickInTheThumbnailAndListViewsSelectsItsFile)
{
    test::WriteSolidImage(dir.File("a.bmp"), 20, 10, 0);
    test::WriteSolidImage(dir.File("b.bmp"), 20, 10, 0);
    ShowAndLoad();
    auto* icons = form->SLV2->findChild<QListView*>("SLV2Icons");
    ASSERT_NE(icons, nullptr);
    for (QAction* style : {form->tbIcon, form->tbList}) {
        SCOPED_TRACE(style->text().toStdString());
        style->trigger();
        QTest::qWait(20);
        form->SLV2->ClearSelection();
        const QPoint centre = icons->visualRect(icons->model()->index(1, 0)).center();
        QTest::mouseClick(icons->viewport(), Qt::LeftButton, {}, centre);
        EXPECT_EQ(form->SLV2->SelectedIndexes(), std::vector<int>{1});

        emit form->SLV2->ContextMenuRequested(QPoint(0, 0));
        for (QAction* command : {form->ViewImage1, form->ImageProperties1, form->EXIFData1, form->SaveAsThumbnail1})
            EXPECT_TRUE(command->isEnabled()) << command->text().toStdString();
        form->PopupMenu1->hide();

        QTest::mouseDClick(icons->viewport(), Qt::LeftButton, {}, centre);
        TfrmGlimpset* full = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* glimpset = qobject_cast<TfrmGlimpset*>(window))
                full = glimpset;
        ASSERT_NE(full, nullptr) << "a double click opens the full-image window";
        EXPECT_EQ(full->windowTitle(), "b.bmp");
        delete full;

        form->tbPixToDiskClick();
        EXPECT_TRUE(frmSaveThumbnail()->isVisible());
        EXPECT_TRUE(dialogs.Shown().empty());
        frmSaveThumbnail()->reject();
    }
    // The report view shows the whole row a thumbnail click selected.
    form->tbReport->trigger();
    EXPECT_EQ(form->SLV2->ReportView()->selectionModel()->selectedRows().size(), 1);
}

TEST(ThumbnailBatchNames, PrefixCaptionAndType)
{
    EXPECT_EQ(ThumbnailFileName("thm_", "my.photo.jpg", "JPG"), "thm_my.JPG");
    EXPECT_EQ(ThumbnailFileName("thm_", "readme", "BMP"), "thm_readme.BMP");
    EXPECT_EQ(NumberedFileName("thm_a.BMP", 2), "thm_a_2.BMP");
    const auto items = PlanThumbnailBatch("/p/", {"a.jpg", "a.png", "b.jpg"}, "/p/", "", "JPG");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Target, "/p/a_2.JPG") << "never the source itself, whatever the case";
    EXPECT_EQ(items[1].Target, "/p/a_3.JPG") << "a.JPG would be a.jpg on some disks";
    EXPECT_EQ(items[2].Target, "/p/b_2.JPG");
    const auto same = PlanThumbnailBatch("/p/", {"x.jpg", "x.png"}, "/q/", "thm_", "BMP");
    EXPECT_EQ(same[0].Target, "/q/thm_x.BMP");
    EXPECT_EQ(same[1].Target, "/q/thm_x_2.BMP") << "a name this batch wrote is not written over";
    const auto spelled = PlanThumbnailBatch("/p/", {"a.jpg"}, "/p//./", "", "jpg");
    EXPECT_EQ(spelled[0].Target, "/p//./a_2.jpg") << "the source folder spelled another way";
}

TEST_F(ThumbnailsForm, BatchSavesSelectedCellsAndRefillsTheLists)
{
    test::WriteGradientImage(dir.File("my.photo.jpg"), 300, 200);
    test::WriteSolidImage(dir.File("z.bmp"), 10, 10, 0);
    ShowAndLoad();
    form->SLV2->ClearSelection();
    form->tbPixToDiskClick();
    ASSERT_FALSE(dialogs.Shown().empty());
    EXPECT_EQ(dialogs.Shown().back().Text, "Select files to convert by clicking on them");

    host.Main = out.Path().string();
    SelectCaptions({"my.photo.jpg"});
    form->EscapePressed(); // a batch after ESC still saves
    SaveSelected(out.Path().string());
    EXPECT_EQ(Panel(1), "Done processing");
    EXPECT_EQ(frmSaveThumbnail()->LNumSelected->text(), "Files to save: 1");
    TPixelGraphic saved;
    saved.LoadFromFile(out.File("thm_my.JPG"));
    EXPECT_EQ(saved.GetWidth(), 64);
    EXPECT_EQ(host.MainRefills, 1);

    // Into the listed folder: the list is refilled with the new file.
    SelectCaptions({"z.bmp"});
    SaveSelected("", 0);
    EXPECT_EQ(Panel(1), "Thumbnails loaded");
    EXPECT_EQ(form->SLV2->Count(), 3);
}

TEST_F(ThumbnailsForm, BatchAsksBeforeReplacingAndReportsUnreadableFiles)
{
    test::WriteSolidImage(dir.File("a.bmp"), 10, 10, 0x00FF00);
    test::WriteFileBytes(dir.File("broken.jpg"), {0xFF, 0xD8, 0});
    test::WriteFileBytes(out.File("thm_a.BMP"), {'k', 'e', 'e', 'p'});
    ShowAndLoad();
    SelectCaptions({"a.bmp", "broken.jpg"});
    dialogs.Reset();
    dialogs.Answer(mrNo);
    SaveSelected(out.Path().string(), 0);
    const auto shown = dialogs.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].Text, "file " + out.File("thm_a.BMP") + " already exists. Replace it?");
    EXPECT_EQ(shown[1].Text, "Error reading " + dir.File("broken.jpg"));
    EXPECT_EQ(test::ReadFileBytes(out.File("thm_a.BMP")).size(), 4u);

    dialogs.Reset();
    dialogs.Answer(mrYes);
    SaveSelected(out.Path().string(), 0);
    TPixelGraphic saved;
    saved.LoadFromFile(out.File("thm_a.BMP"));
    EXPECT_EQ(saved.GetPixelColor(27, 0), 0x00FF00u);
}

TEST_F(ThumbnailsForm, AWriteFailureNamesTheTargetAndEndsTheBatch)
{
    test::WriteSolidImage(dir.File("a.bmp"), 10, 10, 0);
    test::WriteSolidImage(dir.File("b.bmp"), 10, 10, 0);
    ShowAndLoad();
    SelectCaptions({"a.bmp", "b.bmp"});
    dialogs.Reset();
    const std::string missing = out.File("no/such/folder");
    SaveSelected(missing, 0);
    const auto shown = dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u) << "the batch stops at the first failed write";
    EXPECT_NE(shown[0].Text.find(missing + "/thm_a.BMP"), std::string::npos) << shown[0].Text;
    EXPECT_EQ(shown[0].Type, TMsgDlgType::mtError);
    EXPECT_EQ(Panel(1), "Done processing");
}

TEST_F(ThumbnailsForm, SaveDialogAndFolderPickerLookRight)
{
    frmSelectFolder();
    TfrmSaveThumbnail* dialog = frmSaveThumbnail();
    EXPECT_EQ(dialog->ePrefix->text(), "thm_");
    EXPECT_EQ(dialog->cbFileType->count(), 5);
    EXPECT_EQ(dialog->cbSize->currentText(), "64 X 64");
    dialog->eDirPath->setText(QString::fromStdString(dir.Path().string()));
    dialog->LNumSelected->setText("Files to save: 3");
    dialog->show();
    test::SaveScreenshot(dialog, "save_thumbnail");
    dialog->btnBrowse->click();
    TfrmSelectFolder* picker = frmSelectFolder();
    ASSERT_TRUE(picker->isVisible());
    EXPECT_TRUE(picker->windowFlags() & Qt::WindowStaysOnTopHint);
    picker->STV3->SetDirectory(out.Path().string());
    QTest::qWait(50);
    test::SaveScreenshot(picker, "select_folder");
    picker->accept();
    EXPECT_EQ(dialog->eDirPath->text().toStdString(), out.Path().string() + "/");
    dialog->reject();
    delete picker;
}

// Numbered names differ only past the first eight characters.
TEST(ThumbListView, IconCaptionsKeepWhatTellsFilesApart)
{
    for (const int size : {64, 80}) {
        TThumbListView view;
        view.resize(600, 400);
        view.SetIconSize(size);
        view.SetViewStyle(TViewStyle::vsIcon);
        view.SetRows({{"img_000123.jpg", 1, "JPG", 10}, {"img_000124.jpg", 1, "JPG", 10}});
        view.show();
        QTest::qWait(20);
        auto* icons = view.findChild<QListView*>("SLV2Icons");
        ASSERT_NE(icons, nullptr);
        const QImage shot = icons->viewport()->grab().toImage();
        const QRect first = icons->visualRect(icons->model()->index(0, 0));
        const QRect second = icons->visualRect(icons->model()->index(1, 0));
        ASSERT_EQ(first.size(), second.size());
        EXPECT_NE(shot.copy(first), shot.copy(second)) << size;
        if (size == 64)
            test::SaveScreenshot(&view, "thumbnail_captions");
    }
}

TEST(ThumbListView, CaptionsWrapOverThreeLinesAndElideTheirMiddle)
{
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    const int width = 68;
    EXPECT_EQ(WrapCaption("a.jpg", font, width, 3), "a.jpg");
    const QString long_name = "holiday_at_the_beach_in_the_summer_of_2019_day_three_0042.jpg";
    const QStringList lines = WrapCaption(long_name, font, width, 3).split(QChar::LineSeparator);
    ASSERT_EQ(lines.size(), 3);
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), width) << line.toStdString();
    EXPECT_TRUE(lines[0].startsWith("holiday"));
    EXPECT_TRUE(lines[2].endsWith(".jpg")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].contains(QChar(0x2026)));
    const QStringList words = WrapCaption("two words here", font, metrics.horizontalAdvance("two words") + 1, 3)
                                  .split(QChar::LineSeparator);
    EXPECT_EQ(words, (QStringList{"two words", "here"}));
    // A name breaks before its extension's dot, never inside the extension.
    const int tight = metrics.horizontalAdvance("img_0000.j") + 1;
    EXPECT_EQ(WrapCaption("img_0000.jpg", font, tight, 3).split(QChar::LineSeparator),
              (QStringList{"img_0000", ".jpg"}));
    EXPECT_EQ(WrapCaption("my photo.jpeg", font, metrics.horizontalAdvance("my photo.jp") + 1, 3)
                  .split(QChar::LineSeparator),
              (QStringList{"my photo", ".jpeg"}));
}

TEST(ThumbListView, ASortKeepsHandlesAndSelectionOnTheirRows)
{
    TThumbListView view;
    view.SetRows({{"b.jpg", 3, "JPG", 20}, {"a.jpg", 1, "JPG", 30}, {"c.jpg", 2, "JPG", 10}});
    const std::vector<QPersistentModelIndex> handles = view.ItemHandles();
    view.Select(0);
    view.SortRows(0, true);
    ASSERT_EQ(view.Row(0).Name, "a.jpg");
    QImage cell(8, 8, QImage::Format_BGR888);
    cell.fill(Qt::red);
    view.SetThumbnail(handles[0], cell); // made for "b.jpg" before the sort
    EXPECT_EQ(view.Thumbnail(1), cell);
    EXPECT_TRUE(view.Thumbnail(0).isNull());
    EXPECT_EQ(view.SelectedIndexes(), std::vector<int>{1});

    view.SortRows(1, false);
    EXPECT_EQ(view.Row(0).Name, "b.jpg");
    EXPECT_EQ(view.Row(2).Name, "a.jpg");
    EXPECT_EQ(view.Thumbnail(0), cell);
}

} // namespace
} // namespace lumeno
