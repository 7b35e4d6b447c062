#include "app/common/list_drag.h"
#include "app/sheet/frm_glimpset_options.h"
#include "app/sheet/frm_thumb_edit.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/glimpset_form.h"
#include "controls/kit/fc_font_combo.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/pg_save_dialog.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QAction>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QPainter>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

class SheetWindowsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartup(); }
    void SetUp() override
    {
        creator = frmThumbEdit();
        options = frmGlimpsetOptions();
        ASSERT_NE(creator, nullptr);
        ASSERT_NE(options, nullptr);
    }
    void TearDown() override
    {
        delete creator;
        delete options;
    }
    std::string Picture(const std::string& name, int w, int h)
    {
        TPixelGraphic image;
        image.SetFillColor(clBlue);
        image.SetDimensions(w, h, pf24Bit);
        image.Clear();
        image.SaveToFile(dir.File(name));
        return dir.File(name);
    }
    // Generates the sheet and lets the event loop run until it is built.
    bool Generate()
    {
        creator->GenerateGlimpset1Click();
        return QTest::qWaitFor([this] { return !creator->Building(); }, 30000);
    }
    std::string Panel(int index) { return creator->StatusBar1->Panels()[index].Text(); }
    bool Processing() { return Panel(1).rfind("Processing ", 0) == 0; }
    std::vector<std::string> Shown()
    {
        std::vector<std::string> texts;
        for (const TDialogRequest& request : dialogs.Shown())
            texts.push_back(request.Text);
        return texts;
    }

    test::RecordingDialogs dialogs;
    test::TempDir dir;
    TfrmThumbEdit* creator = nullptr;
    TfrmGlimpsetOptions* options = nullptr;
};

TEST_F(SheetWindowsTest, OptionsStartWithTheirDefaults)
{
    EXPECT_EQ(options->windowTitle(), "Glimpset Options");
    EXPECT_EQ(creator->windowTitle(), "Glimpset Creator");
    const TSheetOptions o = options->Options();
    EXPECT_EQ(o.Size, 96);
    EXPECT_EQ(o.Cols, 6);
    EXPECT_EQ(o.HSpace, 20);
    EXPECT_EQ(o.VSpace, 30);
    EXPECT_TRUE(o.IncFileNames);
    EXPECT_EQ(o.BGColor, clWhite);
    EXPECT_EQ(o.FontColor, clBlack);
    EXPECT_TRUE(o.AutoSharpen);
    EXPECT_EQ(o.SharpeningFactor, 50);
    EXPECT_TRUE(o.AddBorder);
    EXPECT_EQ(o.BorderColor, clRed);
    EXPECT_TRUE(o.DropShadow);
    EXPECT_FALSE(o.Bevel);
    EXPECT_EQ(o.TitleText, "Glimpset created by Lumeno");
    EXPECT_EQ(o.TitleColor, clRed);
    EXPECT_EQ(o.TitleSize, 24);
    EXPECT_EQ(o.FooterText, "");
    EXPECT_EQ(o.FooterColor, clMaroon);
    EXPECT_EQ(o.FooterSize, 8);
    EXPECT_EQ(options->eBGImage->text(), "None selected...");
    options->fcbTitle->setText("DejaVu Serif");
    EXPECT_EQ(options->Options().TitleFont, "DejaVu Serif"); // read by its text
    EXPECT_TRUE(options->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(creator->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(SheetWindowsTest, SizeCheckSpacingMinimumAndSharpening)
{
    options->eSize->setText("25");
    options->eSizeExit();
    EXPECT_EQ(Shown(), std::vector<std::string>{"Invalid value. Enter a value between 30 and 900"});
    EXPECT_EQ(options->eSize->text(), "96");
    options->eSize->setText("900");
    options->eSizeExit();
    EXPECT_EQ(Shown().size(), 1u);
    QTest::keyClicks(options->eSize, "x");
    EXPECT_EQ(options->eSize->text(), "900");

    options->cbIncFileNames->setChecked(false);
    EXPECT_EQ(options->udVSpace->minimum(), 5);
    options->udVSpace->setValue(10);
    options->cbIncFileNames->setChecked(true);
    EXPECT_EQ(options->udVSpace->minimum(), 20);
    EXPECT_EQ(options->udVSpace->value(), 20);

    options->cbAutoSharpen->setChecked(false);
    EXPECT_FALSE(options->tbSharpeningFactor->isEnabled());
    options->cbAutoSharpen->setChecked(true);
    EXPECT_TRUE(options->tbSharpeningFactor->isEnabled());
}

TEST_F(SheetWindowsTest, GeneratingNeedsFilesThenShowsSizeAndProgress)
{
    creator->GenerateGlimpset1Click();
    EXPECT_EQ(Shown(), std::vector<std::string>{"You must drag some images into the listbox first!"});

    options->cbIncFileNames->setChecked(false);
    QStringList files;
    for (int i = 0; i < 7; ++i)
        files << QString::fromStdString(Picture("f" + std::to_string(i) + ".bmp", 40, 30));
    files << QString::fromStdString(dir.File("clip.avi"));
    creator->AddFiles(files);
    EXPECT_EQ(creator->ListBox1->count(), 7);
    ASSERT_TRUE(Generate());
    EXPECT_EQ(Panel(0), "Glimpset size : 716 X 282");
    const int panelWidth = creator->StatusBar1->Panels()[0].Width();
    EXPECT_GE(panelWidth, 160);
    EXPECT_GT(panelWidth, creator->StatusBar1->TextWidth("Glimpset size : 716 X 282")) << "the size is not clipped";
    EXPECT_EQ(Panel(1), "Processing 7 of 7");
    ASSERT_FALSE(creator->PGImage1->GetEmpty());
    EXPECT_EQ(creator->PGImage1->GetPixelGraphicWidth(), 716);

    creator->ClearAllItems1Click();
    EXPECT_EQ(creator->ListBox1->count(), 0);
    EXPECT_TRUE(creator->PGImage1->GetEmpty());
}

TEST_F(SheetWindowsTest, TheWindowStaysLiveAndEscapeEndsTheBuildWithoutAHalfSheet)
{
    const QString big = QString::fromStdString(Picture("big.bmp", 1600, 1200));
    creator->AddFiles(QStringList(200, big));
    creator->show();
    QApplication::setActiveWindow(creator);
    creator->GenerateGlimpset1Click();
    EXPECT_TRUE(creator->Building());
    EXPECT_EQ(creator->cursor().shape(), Qt::BusyCursor);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Processing(); }, 30000));
    ASSERT_TRUE(creator->Building());
    QTest::keyClick(creator->ListBox1, Qt::Key_Escape);
    EXPECT_FALSE(creator->Building());
    EXPECT_EQ(Panel(1), "Stopped by user!");
    QTest::qWait(200);
    EXPECT_EQ(Panel(1), "Stopped by user!") << "no cell after ESC";
    EXPECT_TRUE(creator->PGImage1->GetEmpty());
    EXPECT_EQ(creator->cursor().shape(), Qt::ArrowCursor);

    // Minimising lets it go on; hiding the creator ends it like ESC.
    creator->GenerateGlimpset1Click();
    creator->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(creator->Building());
    creator->showNormal();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Processing(); }, 30000));
    creator->hide();
    EXPECT_FALSE(creator->Building());
    QTest::qWait(100);
    EXPECT_TRUE(creator->PGImage1->GetEmpty());
    EXPECT_TRUE(Shown().empty());
}

TEST_F(SheetWindowsTest, DropsTakeTheViewableFilesOfAFileList)
{
    const std::string a = Picture("a.png", 10, 10);
    TListDrag drag{QString::fromStdString(dir.Path().string()), {"a.png", "notes.txt", "b.JPG"}, 1};
    std::unique_ptr<QMimeData> data(EncodeListDrag(drag));
    EXPECT_TRUE(creator->ListDragDrop(data.get()));
    QMimeData text;
    text.setText("a.png");
    EXPECT_FALSE(creator->ListDragDrop(&text));
    ASSERT_EQ(creator->ListBox1->count(), 2);
    EXPECT_EQ(creator->ListBox1->item(0)->text().toStdString(), a);
    for (QAction* command : {creator->ViewImage1, creator->ImageProperties1, creator->DeleteSelectedItem1})
        EXPECT_FALSE(command->isEnabled());
    creator->ListBox1->item(1)->setSelected(true);
    for (QAction* command : {creator->ViewImage1, creator->ImageProperties1, creator->DeleteSelectedItem1})
        EXPECT_TRUE(command->isEnabled());
    creator->DeleteSelectedItem1Click();
    EXPECT_EQ(creator->ListBox1->count(), 1);
}

TEST_F(SheetWindowsTest, ViewImageAndPropertiesShowTheSelectedFile)
{
    const std::string a = Picture("a.bmp", 30, 20);
    creator->AddFiles({QString::fromStdString(a)});
    creator->ListBox1->item(0)->setSelected(true);
    creator->ViewImage1Click();
    TfrmGlimpset* shown = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* glimpset = qobject_cast<TfrmGlimpset*>(window); glimpset && glimpset->isVisible())
            shown = glimpset;
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->PGImage1->GetPixelGraphicWidth(), 30);
    shown->close();
    creator->ImageProperties1Click();
    ASSERT_NE(frmFileProp(), nullptr);
    EXPECT_EQ(frmFileProp()->FileName, a);
    EXPECT_TRUE(frmFileProp()->isVisible());
    frmFileProp()->hide();
}

TEST_F(SheetWindowsTest, ASheetSavesThroughEveryWriterAndReadsBack)
{
    creator->AddFiles({QString::fromStdString(Picture("a.bmp", 50, 40))});
    ASSERT_TRUE(Generate());
    for (const char* ext : {"bmp", "jpg", "pbm", "pgm", "png", "ppm", "tga", "tif"}) {
        const std::string path = dir.File(std::string("sheet.") + ext);
        creator->SaveSheet(path);
        TPixelGraphic back;
        back.LoadFromFile(path);
        EXPECT_EQ(back.GetWidth(), creator->PGImage1->GetPixelGraphicWidth()) << ext;
        EXPECT_EQ(back.GetHeight(), creator->PGImage1->GetPixelGraphicHeight()) << ext;
    }
    dialogs.Reset(); // the library's warnings for PBM and PGM
    // A writer that fails reports its error and leaves the old file alone.
    const std::string kept = dir.File("kept.xyz");
    test::WriteFileBytes(kept, {'o', 'l', 'd'});
    creator->SaveSheet(kept);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].Type, TMsgDlgType::mtError);
    EXPECT_EQ(test::ReadFileBytes(kept), (std::vector<unsigned char>{'o', 'l', 'd'}));
}

// The sheet once replaced a photo of the same name without a word.
TEST_F(SheetWindowsTest, SaveToFileAsksBeforeReplacing)
{
    creator->AddFiles({QString::fromStdString(Picture("a.bmp", 50, 40))});
    ASSERT_TRUE(Generate());
    creator->btnSave->click();
    ASSERT_TRUE(creator->PGSaveDialog1->isVisible());
    EXPECT_FALSE(creator->PGSaveDialog1->testOption(QFileDialog::DontConfirmOverwrite));
    creator->PGSaveDialog1->reject();
}

TEST_F(SheetWindowsTest, HidingTheCreatorHidesTheOptions)
{
    creator->show();
    creator->btnOptionsClick();
    EXPECT_TRUE(options->isVisible());
    creator->hide();
    EXPECT_FALSE(options->isVisible());
    creator->sbKAR->setChecked(true);
    EXPECT_EQ(creator->PGImage1->GetStretch(), sAlwaysKAR);
}

} // namespace
} // namespace lumeno

namespace lumeno {
namespace {

// Windows painted where they stand on an imagined screen.
QImage ScreenOf(std::initializer_list<QWidget*> windows, QSize size)
{
    QImage screen(size, QImage::Format_RGB32);
    screen.fill(QColor(0, 96, 128));
    QPainter painter(&screen);
    for (QWidget* window : windows)
        painter.drawPixmap(window->geometry().topLeft(), window->grab());
    return screen;
}

// With LUMENO_SHOT_DIR set, pictures of both windows are written there.
TEST_F(SheetWindowsTest, PicturesOfTheWindows)
{
    const QString folder = qEnvironmentVariable("LUMENO_SHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "LUMENO_SHOT_DIR not set";
    TPixelGraphic tile;
    tile.SetDimensions(24, 24, pf24Bit);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            tile.SetPixelColor(x, y, RGB(200 + (x + y) % 24, 220, 235 - (x * y) % 20));
    tile.SaveToFile(dir.File("tile.bmp"));
    options->cbUseBGImage->setChecked(true);
    options->eBGImage->setText(QString::fromStdString(dir.File("tile.bmp")));
    options->cbTitle->setChecked(true);
    options->cbFooter->setChecked(true);
    options->eFooter->setText("Holiday 2026");
    options->udCols->setValue(4);
    QStringList files;
    for (int i = 0; i < 7; ++i) {
        TPixelGraphic image;
        image.SetDimensions(i % 2 ? 120 : 200, i % 2 ? 200 : 130, pf24Bit);
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x)
                image.SetPixelColor(x, y, RGB(40 * i, x, y));
        const std::string path = dir.File("photo_" + std::to_string(i) + ".bmp");
        image.SaveToFile(path);
        files << QString::fromStdString(path);
    }
    creator->move(20, 20);
    creator->resize(900, 560);
    creator->show();
    // While a long list is built: the workers run ahead, one turn of the
    // event loop takes in what they made.
    for (int i = 0; i < 8; ++i)
        creator->AddFiles(files);
    creator->GenerateGlimpset1Click();
    QTest::qSleep(300);
    QCoreApplication::processEvents();
    EXPECT_TRUE(creator->Building());
    EXPECT_TRUE(ScreenOf({creator}, QSize(940, 600)).save(folder + "/sheet_creator_building.png"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !creator->Building(); }, 30000));
    creator->sbKAR->setChecked(true);
    QTest::qWait(100);
    EXPECT_TRUE(ScreenOf({creator}, QSize(940, 600)).save(folder + "/sheet_creator_built_long.png"));

    creator->ClearAllItems1Click();
    creator->sbKAR->setChecked(false);
    creator->AddFiles(files);
    ASSERT_TRUE(Generate());
    QTest::qWait(100);
    EXPECT_TRUE(ScreenOf({creator}, QSize(940, 600)).save(folder + "/sheet_creator.png"));

    options->move(60, 40);
    options->show();
    QApplication::setActiveWindow(options);
    auto* tabs = options->findChild<QTabWidget*>();
    EXPECT_TRUE(ScreenOf({options}, QSize(600, 520)).save(folder + "/sheet_options_basic.png"));
    tabs->setCurrentIndex(3);
    QTest::qWait(50);
    options->fcbTitle->setFocus();
    options->fcbTitle->DropDown();
    QTest::qWait(50);
    EXPECT_TRUE(ScreenOf({options, options->fcbTitle->Panel()}, QSize(600, 520)).save(folder + "/sheet_options.png"));
    options->fcbTitle->CloseUp(false);
}

} // namespace
} // namespace lumeno
