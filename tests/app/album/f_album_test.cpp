#include "app/album/f_album.h"

#include "album_fixture.h"
#include "app/album/album_host.h"
#include "app/album/album_options.h"
#include "app/album/f_a_prefs.h"
#include "app/album/frm_edit.h"
#include "app/album/radio_group.h"
#include "app/common/list_drag.h"
#include "app/common/settings_store.h"
#include "controls/media/print_test_support.h"
#include "support/owner_recording_dialogs.h"
#include "support/recording_dialogs.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QUrl>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QSpinBox>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <thread>
#include <variant>

namespace lumeno {
namespace {

class AlbumWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::StartImageLibraryOnce();
        album.PreviewPrinter1.Printer().setResolution(100);
        album.PreviewPrinter1.Orientation = TPrinterOrientation::poPortrait;
        album.ShowPreview = [this](TPreviewPrinter& printer) { shownPages.push_back(printer.PageCount()); };
        album.PickFileName = [this](bool) { return pickedName; };
        fAPrefs()->SetOptions(TAlbumOptions{});
        red = test::WritePicture(dir, "red.jpg", 400, 300, clRed);
    }

    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const TDialogRequest& r : dialogs.Shown())
            texts.push_back(r.Text);
        return texts;
    }

    void RunPreview()
    {
        album.PreviewClick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !shownPages.empty(); }, 20000));
    }

    QImage PageImage(int index) { return test::QuarterPageImage(album.PreviewPrinter1.Page(index)); }

    std::vector<std::string> PageTexts(int index)
    {
        std::vector<std::string> texts;
        for (const TPageOp& op : album.PreviewPrinter1.Page(index).Ops())
            if (const auto* text = std::get_if<TPageText>(&op))
                texts.push_back(text->Text.toStdString());
        return texts;
    }

    test::TempDir dir;
    test::RecordingDialogs dialogs;
    TfAlbum album;
    std::vector<int> shownPages;
    std::string pickedName;
    std::string red;
};

TEST_F(AlbumWindow, EntryCommandsKeepTheCountInThePanel)
{
    EXPECT_EQ(album.windowTitle(), "Lumeno Folvio Maker");
    for (const char* name : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"})
        album.AddEntry({name, "", 0});
    EXPECT_EQ(album.SB1Panel1->text(), "3");
    album.SelectIndex(0);
    album.MoveUpClick();
    EXPECT_EQ(album.Entries()[0].Path, "/p/a.jpg");
    album.RotateClockwiseClick();
    album.MoveDownClick();
    EXPECT_EQ(album.Entries()[1], (TAlbumEntry{"/p/a.jpg", "", 1}));
    EXPECT_EQ(album.SelectedIndex(), 1);
    for (int i = 0; i < 3; ++i)
        album.RotateClockwiseClick();
    EXPECT_EQ(album.Entries()[1].Rotation, 0);
    album.RotateCounterClockwiseClick();
    EXPECT_EQ(album.Entries()[1].Rotation, 3);
    album.DeleteSelectionClick();
    EXPECT_EQ(album.SB1Panel1->text(), "2");
    album.ClearAllClick();
    EXPECT_EQ(album.SB1Panel1->text(), "0");
}

TEST_F(AlbumWindow, DropsTakePicturesOnlyAndRefuseUnstorableNames)
{
    album.AddDroppedFiles({"/photos", {"a.jpg", "clip.avi", "notes.txt", "b.WMF", "c.tiff"}, 1});
    ASSERT_EQ(album.Entries().size(), 3u);
    EXPECT_EQ(album.Entries()[0], (TAlbumEntry{"/photos/a.jpg", "", 0}));
    EXPECT_FALSE(album.AddEntry({"/p/tab\there.jpg", "", 0}));
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("tab\there.jpg"), std::string::npos);
    EXPECT_FALSE(album.Actions.at("ImageProperties1")->isEnabled());
}

// Alone, the album imports a folder the user picks, and takes files
// dragged from a file manager.
TEST_F(AlbumWindow, AloneItImportsAPickedFolderAndTakesFileManagerDrops)
{
    test::WritePicture(dir, "b.png", 8, 8, clBlue);
    std::ofstream(dir.File("notes.txt")) << "x";
    ASSERT_TRUE(album.Actions.at("ImportAll1")->isEnabled());
    album.ImportAllFilesClick();
    auto* picker = album.findChild<QFileDialog*>("ImportFolderDialog");
    ASSERT_TRUE(picker);
    EXPECT_TRUE(picker->isModal());
    emit picker->fileSelected(QString::fromStdString(dir.Path().string()));
    picker->reject();
    ASSERT_EQ(album.Entries().size(), 2u);
    EXPECT_EQ(album.Entries()[0].Path, dir.File("b.png"));
    EXPECT_EQ(album.Entries()[1].Path, red);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(red)), QUrl::fromLocalFile("/elsewhere/c.jpg"),
                  QUrl("https://example.com/d.jpg")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(album.LVAlbum->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(album.LVAlbum->viewport(), &drop);
    ASSERT_EQ(album.Entries().size(), 4u);
    EXPECT_EQ(album.Entries()[2].Path, red);
    EXPECT_EQ(album.Entries()[3].Path, "/elsewhere/c.jpg");
}

TEST_F(AlbumWindow, PopupItemsUseTheirOwnWording)
{
    QStringList popup;
    for (const QAction* action : album.LVAlbum->actions())
        popup << action->text();
    EXPECT_TRUE(popup.contains("Delete All")) << popup.join(", ").toStdString();
    EXPECT_TRUE(popup.contains("Preview Album..."));
    EXPECT_FALSE(popup.contains("Clear All Entries"));
    album.AddEntry({red, "", 0});
    for (QAction* action : album.LVAlbum->actions())
        if (action->text() == "Delete All")
            action->trigger();
    EXPECT_TRUE(album.Entries().empty());
}

// Windows of the rest of the program, as the album reaches them.
class FakeHost : public TAlbumHost {
public:
    bool HasFileList() const override { return true; }
    std::vector<std::string> FileListPaths() const override
    {
        return {"/f/a.jpg", "/f/clip.avi", "/f/b.png"};
    }
    bool CanViewImage() const override { return true; }
    void ViewImage(const std::string& path, int rotation) override
    {
        viewed = path + "@" + std::to_string(rotation);
    }
    TExifDateReader ExifDateReader() const override
    {
        return [](const std::string&) { return std::string("2024:07:01 12:00:00"); };
    }
    std::string viewed;
};

TEST_F(AlbumWindow, OtherWindowsAreReachedThroughTheHost)
{
    FakeHost host;
    SetAlbumHost(&host);
    album.AddEntry({red, "", 0});
    EXPECT_TRUE(album.Actions.at("ImportAll1")->isEnabled());
    EXPECT_TRUE(album.Actions.at("ViewImage1")->isEnabled());
    EXPECT_FALSE(album.Actions.at("ImageProperties1")->isEnabled());
    album.ImportAllFilesClick();
    ASSERT_EQ(album.Entries().size(), 3u);
    EXPECT_EQ(album.Entries()[2].Path, "/f/b.png");

    album.LVAlbum->clearSelection();
    album.ViewImageClick();
    EXPECT_EQ(Texts(), std::vector<std::string>{"You must click on a filename first"});
    album.SelectIndex(0);
    album.RotateClockwiseClick();
    album.ViewImageClick();
    EXPECT_EQ(host.viewed, red + "@1");

    TAlbumOptions o;
    o.Caption = acFilenameDateTime;
    o.Rows = 1;
    o.Cols = 1;
    fAPrefs()->SetOptions(o);
    album.SetEntries({{red, "", 0}});
    RunPreview();
    const QImage page = PageImage(0);
    // The caption under the picture: dark text near the cell's bottom.
    bool text = false;
    for (int y = page.height() * 90 / 100; y < page.height() * 96 / 100 && !text; ++y)
        for (int x = page.width() / 3; x < page.width() * 2 / 3 && !text; ++x)
            text = QColor(page.pixel(x, y)).lightness() < 160;
    EXPECT_TRUE(text);
    SetAlbumHost(nullptr);
}

// Dates by file name, noting the threads they are read on.
class DatingHost : public TAlbumHost {
public:
    TExifDateReader ExifDateReader() const override
    {
        return [this](const std::string& path) { return Read(path); };
    }
    std::vector<std::thread::id> Threads() const
    {
        std::lock_guard lock(mutex_);
        return threads_;
    }

private:
    std::string Read(const std::string& path) const
    {
        std::lock_guard lock(mutex_);
        threads_.push_back(std::this_thread::get_id());
        return path.ends_with("red.jpg") ? "2001:02:03 04:05:06" : "2002:03:04 05:06:07";
    }

    mutable std::mutex mutex_;
    mutable std::vector<std::thread::id> threads_;
};

TEST_F(AlbumWindow, CaptionDatesAreReadOnTheWorkersOnlyWhenShown)
{
    DatingHost host;
    SetAlbumHost(&host);
    const std::string blue = test::WritePicture(dir, "blue.png", 300, 400, clBlue);
    TAlbumOptions o;
    o.Caption = acFilenameDateTime;
    o.Rows = 1;
    o.Cols = 2;
    fAPrefs()->SetOptions(o);
    album.SetEntries({{red, "Red", 0}, {blue, "Blue", 0}});
    RunPreview();
    EXPECT_THAT(PageTexts(0),
                testing::IsSupersetOf({"red.jpg  2001:02:03 04:05:06", "blue.png  2002:03:04 05:06:07"}));
    const std::vector<std::thread::id> threads = host.Threads();
    EXPECT_EQ(threads.size(), 2u);
    for (const std::thread::id& thread : threads)
        EXPECT_NE(thread, std::this_thread::get_id()) << "the window's thread reads no file";

    o.Caption = acCaption;
    fAPrefs()->SetOptions(o);
    shownPages.clear();
    RunPreview();
    EXPECT_THAT(PageTexts(0), testing::IsSupersetOf({"Red", "Blue"}));
    EXPECT_EQ(host.Threads().size(), 2u) << "no date is read for a caption without one";
    SetAlbumHost(nullptr);
}

TEST_F(AlbumWindow, CaptionEditorStoresOnEnter)
{
    album.show();
    album.AddEntry({"/p/a.jpg", "old", 0});
    album.SelectIndex(0);
    album.EditCaptionClick();
    ASSERT_TRUE(album.frmEdit->isVisible());
    EXPECT_EQ(album.frmEdit->Edit1->selectedText(), "old");
    EXPECT_EQ(album.frmEdit->width(), album.LVAlbum->columnWidth(1));
    album.frmEdit->Edit1->setText("Beach\tday");
    QTest::keyClick(album.frmEdit->Edit1, Qt::Key_Return);
    EXPECT_FALSE(album.frmEdit->isVisible());
    EXPECT_EQ(album.Entries()[0].Caption, "Beach day");
}

TEST_F(AlbumWindow, SavingAsksForANameFirstThenToReplace)
{
    album.Save1Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"You need to have entries in the Album to save"});
    dialogs.Reset();

    album.AddEntry({red, "Red", 2});
    pickedName = dir.File("first.alb");
    album.Save1Click();
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(album.SaveName(), pickedName);
    EXPECT_EQ(ReadAlbumFileFrom(pickedName).Entries, album.Entries());

    album.AddEntry({red, "", 0});
    dialogs.Answer(mrYes);
    album.Save1Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Replace " + pickedName + "?"});
    EXPECT_EQ(ReadAlbumFileFrom(pickedName).Entries.size(), 2u);
}

TEST_F(AlbumWindow, OpenReplacesTheAlbumOrLeavesItAsItWas)
{
    TAlbumFileSettings settings;
    settings.Rows = 2;
    settings.Cols = 4;
    settings.Border = 50;
    settings.FontName = "Times New Roman";
    settings.FontSize = 12;
    WriteAlbumFileTo(dir.File("good.alb"), {{red, "A", 1}, {red, "B", 0}}, settings);
    album.AddEntry({"/p/keep.jpg", "", 0});
    ASSERT_TRUE(album.OpenAlbumFile(dir.File("good.alb")));
    EXPECT_EQ(album.Entries().size(), 2u);
    EXPECT_EQ(fAPrefs()->Cols->value(), 4);
    EXPECT_EQ(fAPrefs()->Border->value(), 50);
    EXPECT_EQ(album.CaptionFont().pointSize(), 12);
    EXPECT_EQ(album.SaveName(), dir.File("good.alb"));
    EXPECT_EQ(album.SB1Panel1->text(), "2");

    std::string bytes = EncodeAlbumFile({{red, "", 0}}, settings);
    for (const auto& [name, content] :
         {std::pair{"short.alb", bytes.substr(0, 900)},
          std::pair{"newer.alb", bytes.substr(0, 67) + "8.00" + bytes.substr(71)},
          std::pair{"damaged.alb", "  9" + bytes.substr(3)}}) {
        std::ofstream(dir.File(name), std::ios::binary) << content;
        dialogs.Reset();
        EXPECT_FALSE(album.OpenAlbumFile(dir.File(name)));
        ASSERT_EQ(Texts().size(), 1u);
        EXPECT_NE(Texts()[0].find(dir.File(name)), std::string::npos) << Texts()[0];
        EXPECT_EQ(album.Entries().size(), 2u);
        EXPECT_EQ(album.SaveName(), dir.File("good.alb"));
    }

    std::ofstream(dir.File("cut.alb"), std::ios::binary)
        << EncodeAlbumFile({{red, "A", 0}, {red, "B", 0}}, settings) << std::string("\x01/p/c", 5);
    dialogs.Reset();
    EXPECT_TRUE(album.OpenAlbumFile(dir.File("cut.alb")));
    EXPECT_EQ(album.Entries().size(), 2u);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("cut short"), std::string::npos);

    // LF line ends, and a line without its TAB that is left out.
    std::ofstream(dir.File("lf.alb"), std::ios::binary)
        << bytes.substr(0, 1067) << std::string("\0", 1) << red << "\tA\n" << std::string("\0", 1) << red
        << "\n" << std::string("\0", 1) << red << "\tC\n";
    dialogs.Reset();
    EXPECT_TRUE(album.OpenAlbumFile(dir.File("lf.alb")));
    EXPECT_EQ(album.Entries().size(), 2u);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("were left out (1)"), std::string::npos) << Texts()[0];
    EXPECT_TRUE(album.WriteAlbumFile(dir.File("lf.alb")));
    EXPECT_EQ(ReadAlbumFileFrom(dir.File("lf.alb")).Entries, album.Entries());
}

// The stored frame setup is for new albums: showing the window or Frame
// Setup does not put it over an opened album, whose Save would write it.
TEST_F(AlbumWindow, AnOpenedAlbumKeepsItsOwnLayout)
{
    WriteAlbumOptions(TSettingsStore(), TAlbumOptions{});
    TAlbumFileSettings settings;
    settings.Rows = 5;
    settings.Cols = 4;
    settings.Border = 60;
    WriteAlbumFileTo(dir.File("mine.alb"), {{red, "A", 0}}, settings);
    ASSERT_TRUE(album.OpenAlbumFile(dir.File("mine.alb")));
    album.show();
    fAPrefs()->show();
    fAPrefs()->done(QDialog::Accepted);
    album.hide();
    album.show();
    EXPECT_EQ(fAPrefs()->Rows->value(), 5);
    EXPECT_EQ(fAPrefs()->Cols->value(), 4);
    EXPECT_EQ(fAPrefs()->Border->value(), 60);
    dialogs.Answer(mrYes);
    album.Save1Click();
    const TAlbumFile saved = ReadAlbumFileFrom(dir.File("mine.alb"));
    EXPECT_EQ(saved.Settings.Rows, 5);
    EXPECT_EQ(saved.Settings.Border, 60);

    album.New1Click();
    EXPECT_EQ(fAPrefs()->Rows->value(), 5) << "the setup closed over the album was stored";
    WriteAlbumOptions(TSettingsStore(), TAlbumOptions{});
    album.hide();
    album.show();
    EXPECT_EQ(fAPrefs()->Rows->value(), TAlbumOptions{}.Rows) << "a new album takes the stored setup";
    album.hide();
}

TEST_F(AlbumWindow, SevenEntriesOnTwoByThreeMakeTwoPages)
{
    TAlbumOptions o;
    o.Rows = 3;
    o.Cols = 2;
    o.Border = 20;
    o.PrintFrames = true;
    fAPrefs()->SetOptions(o);
    for (int i = 0; i < 7; ++i)
        album.AddEntry({red, "", 0});
    RunPreview();
    EXPECT_EQ(shownPages, std::vector<int>{2});
    EXPECT_EQ(album.SB1Panel0->text(), "Done");
    EXPECT_EQ(album.PB1->value(), 0);
    EXPECT_EQ(album.SB1Panel1->text(), "7/7    ");
    const QImage second = PageImage(1);
    const int w = second.width(), h = second.height();
    // Cells of a letter page with half-inch margins: the first holds the
    // picture, the second is blank.
    const QColor picture(second.pixel(w * 3 / 10, h * 2 / 10));
    EXPECT_GT(picture.red(), 200);
    EXPECT_LT(picture.green(), 60);
    EXPECT_EQ(QColor(second.pixel(w * 7 / 10, h * 2 / 10)), QColor(Qt::white));
    EXPECT_TRUE(album.Actions.at("Preview1")->isEnabled());
}

TEST_F(AlbumWindow, MarginsAreTakenInThePrintersUnits)
{
    TTextOptions& text = album.PreviewPrinter1.TextOptions();
    text.MarginLeft = 0.5;
    text.MarginTop = 1;
    const int ppi = album.PreviewPrinter1.Metrics().PixelsPerInchX;
    const TAlbumPage inches = album.PrintedPage();
    EXPECT_EQ(inches.MarginLeft, ppi / 2);
    EXPECT_EQ(inches.MarginTop, ppi);
    album.PreviewPrinter1.SetUnits(TUnits::unCentimeters);
    text.MarginLeft = 2.54;
    const TAlbumPage centimetres = album.PrintedPage();
    EXPECT_EQ(centimetres.MarginLeft, ppi);
    EXPECT_EQ(centimetres.Width, inches.Width);
    album.PreviewPrinter1.SetUnits(TUnits::unInches);
}

TEST_F(AlbumWindow, BrokenEntryIsReportedAndThePreviewGoesOn)
{
    std::ofstream(dir.File("broken.png")) << "junk";
    album.AddEntry({red, "", 0});
    album.AddEntry({dir.File("broken.png"), "", 0});
    album.AddEntry({red, "", 0});
    RunPreview();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Can't load graphic file " + dir.File("broken.png")});
    EXPECT_EQ(album.SB1Panel1->text(), "3/3    ");
}

// The pool hands the cells over, not an event of the album: each report still
// opens in front of the album, also while another window is active.
TEST_F(AlbumWindow, EveryBrokenEntryIsReportedInFrontOfTheAlbum)
{
    test::OwnerRecordingDialogs boxes;
    album.show();
    QWidget other;
    other.show();
    other.activateWindow();
    std::ofstream(dir.File("broken.png")) << "junk";
    album.AddEntry({dir.File("broken.png"), "", 0});
    album.AddEntry({dir.File("broken.png"), "", 0});
    RunPreview();
    ASSERT_EQ(boxes.Owners.size(), 2u);
    EXPECT_EQ(boxes.Owners[0], &album);
    EXPECT_EQ(boxes.Owners[1], &album);
}

// Frame Setup is shared with the web wizard: it opens over the album and
// blocks it, and leaves it again when it closes.
TEST_F(AlbumWindow, FrameSetupOpensOverTheAlbum)
{
    album.show();
    album.FrameSetupClick();
    EXPECT_TRUE(fAPrefs()->isVisible());
    EXPECT_EQ(fAPrefs()->parentWidget(), &album);
    EXPECT_TRUE(fAPrefs()->isWindow());
    EXPECT_EQ(fAPrefs()->windowModality(), Qt::WindowModal);
    fAPrefs()->reject();
    EXPECT_EQ(fAPrefs()->parentWidget(), nullptr);
}

TEST_F(AlbumWindow, EscStopsAfterTheCurrentEntryAndShowsThePagesSoFar)
{
    TAlbumOptions o;
    o.Rows = 1;
    o.Cols = 1;
    fAPrefs()->SetOptions(o);
    for (int i = 0; i < 60; ++i)
        album.AddEntry({red, "", 0});
    album.PreviewClick();
    EXPECT_FALSE(album.Actions.at("Save1")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return album.PB1->value() >= 1; }, 20000));
    QTest::keyClick(&album, Qt::Key_Escape);
    EXPECT_FALSE(album.PreviewRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shownPages.empty(); }, 5000));
    EXPECT_GE(shownPages[0], 1);
    EXPECT_LT(shownPages[0], 60);
    EXPECT_TRUE(album.Actions.at("Save1")->isEnabled());
}

TEST_F(AlbumWindow, ContactSheetSetsItsLayout)
{
    album.AddEntry({red, "", 0});
    album.ContactSheetClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shownPages.empty(); }, 20000));
    const TAlbumOptions o = fAPrefs()->Options();
    EXPECT_EQ(o.Rows, 6);
    EXPECT_EQ(o.Cols, 6);
    EXPECT_EQ(o.Caption, acFilename);
    EXPECT_EQ(album.PreviewPrinter1.Orientation, TPrinterOrientation::poLandscape);
}

} // namespace
} // namespace lumeno
