#include "app/desktop/dde_handler.h"
#include "app/desktop/prefs_form.h"
#include "app/thumbs/exif_form.h"
#include "app/thumbs/thumbnails_form.h"
#include "app/thumbs/thumbs_host.h"
#include "app/viewer/main_window_desktop_links.h"
#include "app/viewer/main_window_fixture.h"
#include "controls/media/preview_printer.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panels.h"
#include "controls/shell/system_tree_view.h"
#include "platform/qt/registry/reg_ini_file.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace lumeno::test {
namespace {

class DesktopLinks : public MainWindowTest {
protected:
    void TearDown() override
    {
        ticker_.stop();
        delete frmThumbnails();
        delete frmEXIF();
        delete fPrefs();
        DDEHandler().SetMacroHandler(nullptr);
        SetThumbsHost(nullptr);
        MainWindowTest::TearDown();
    }

    // A small picture and three large ones, selected in the window.
    TForm1& OpenWithPicturesToPrint()
    {
        Picture("a.png");
        for (const char* name : {"big1.jpg", "big2.jpg", "big3.jpg"})
            Picture(name, 4000, 3000, "JPG");
        TForm1& form = Open();
        Select({"a.png", "big1.jpg", "big2.jpg", "big3.jpg"});
        return form;
    }

    // What the window does while it prints pictures, seen at each turn of
    // its loop until the preview opens; the preview is closed at once.
    struct PrintWatch {
        int Turns = 0;
        bool GaugeShown = false;
        int MostDone = 0;
        bool PrinterCommandsOff = false;
        int PreviewPages = -1;
    };

    void WatchPrinting(TForm1& form, PrintWatch& watch)
    {
        QObject::connect(&ticker_, &QTimer::timeout, [&form, &watch] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                watch.PreviewPages = form.PP1->PageCount();
                modal->close();
                return;
            }
            if (watch.PreviewPages >= 0)
                return;
            ++watch.Turns;
            TdfsStatusPanel& panel = form.SB1->Panels()[4];
            watch.GaugeShown |= panel.PanelType() == sptGauge;
            watch.MostDone = std::max(watch.MostDone, int(panel.GaugeAttrs().Position()));
            watch.PrinterCommandsOff |= !form.Command("PageSetup1")->isEnabled();
        });
        ticker_.start(0);
    }

    QTimer ticker_;
};

TEST_F(DesktopLinks, OpenRequestsShowTheLastFileInTheMainWindow)
{
    Picture("a.png");
    Picture("b c.png");
    TForm1& form = Open();
    LinkDesktopWindows(form);
    DDEHandler().ExecuteMacro({OpenMacro(pics_.File("a.png")) + OpenMacro(pics_.File("b c.png"))});
    EXPECT_EQ(form.CurrentFile(), pics_.File("b c.png"));
}

TEST_F(DesktopLinks, WindowsOpenOnTheSelectedFile)
{
    Picture("a.png");
    TForm1& form = Open();
    LinkDesktopWindows(form);
    Select({"a.png"});
    MainExifData(form);
    ASSERT_NE(frmEXIF(), nullptr);
    EXPECT_TRUE(frmEXIF()->isVisible());
    MainThumbnailExplorer(form);
    ASSERT_NE(frmThumbnails(), nullptr);
    EXPECT_TRUE(frmThumbnails()->isVisible());
    EXPECT_EQ(frmThumbnails()->STV2->Directory(), form.Folder());
    EXPECT_TRUE(QTest::qWaitFor([] { return frmThumbnails()->SLV2->Count() == 1; }, 5000));
}

TEST_F(DesktopLinks, RemovingTheWallpaperWithoutADesktopSaysSoAndStoresNothing)
{
    ::setenv("XDG_CURRENT_DESKTOP", "none-such", 1);
    TForm1& form = Open();
    MainSetWallpaper(form, TWallpaperCommand::Remove);
    EXPECT_EQ(TRegIniFile("Control Panel").ReadString("desktop", "Wallpaper", ""), "");
    EXPECT_EQ(dialogs_.Shown().back().Text, "The wallpaper could not be removed on this desktop");
    ::unsetenv("XDG_CURRENT_DESKTOP");
}

TEST_F(DesktopLinks, PreferencesRebuildTheMainListAndSetTheDeletionChoices)
{
    Picture("a.png");
    Picture("b.bmp", 64, 48, "BMP");
    TForm1& form = Open();
    LinkDesktopWindows(form);
    EXPECT_EQ(Captions().size(), 2);
    fPrefs()->open();
    fPrefs()->TypeBoxes[7]->setChecked(false); // PNG
    fPrefs()->DeletionType->button(1)->setChecked(true);
    fPrefs()->cbConfirmDeletions->setChecked(false);
    fPrefs()->BitBtn1->click();
    EXPECT_EQ(Captions(), QStringList{"b.bmp"});
    EXPECT_EQ(form.DeleteMode(), 1);
    EXPECT_FALSE(form.ConfirmDeletions());
}

TEST_F(DesktopLinks, PrintImageReadsThePicturesWhileTheWindowTurnsThenPreviews)
{
    TForm1& form = OpenWithPicturesToPrint();
    PrintWatch watch;
    WatchPrinting(form, watch);
    MainPrintImage(form);
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.PreviewPages >= 0; }, 60000));
    EXPECT_GT(watch.Turns, 0);
    EXPECT_TRUE(watch.GaugeShown);
    EXPECT_GT(watch.MostDone, 0) << "the gauge moves while the pictures are read";
    EXPECT_TRUE(watch.PrinterCommandsOff) << "the printer's document is open meanwhile";
    EXPECT_EQ(watch.PreviewPages, 4);
    EXPECT_EQ(form.SB1->Panels()[4].PanelType(), sptNormal);
    EXPECT_TRUE(form.Command("PageSetup1")->isEnabled());
    EXPECT_TRUE(Texts().empty());
}

TEST_F(DesktopLinks, EscStopsPrintImageWithoutAPreview)
{
    TForm1& form = OpenWithPicturesToPrint();
    PrintWatch watch;
    WatchPrinting(form, watch);
    MainPrintImage(form);
    QAction* stop = form.findChild<QAction*>("StopPrintImage");
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->shortcut(), QKeySequence(Qt::Key_Escape));
    ASSERT_TRUE(stop->isEnabled());
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(form.SLV1, Qt::Key_Escape);
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(form.SB1->Panels()[4].PanelType(), sptNormal);
    EXPECT_TRUE(form.Command("PrintImage1")->isEnabled());
    const int pages = form.PP1->PageCount();
    QTest::qWait(300);
    EXPECT_EQ(watch.PreviewPages, -1);
    EXPECT_EQ(form.PP1->PageCount(), pages) << "nothing more is recorded";

    Select({"a.png"});
    MainPrintImage(form);
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.PreviewPages >= 0; }, 60000));
    EXPECT_EQ(watch.PreviewPages, 1);
}

} // namespace
} // namespace lumeno::test
