#include "app/album/f_a_prefs.h"
#include "app/album/f_album.h"
#include "app/album/frm_pub_wizard.h"
#include "app/converter/frm_convert.h"
#include "app/desktop/prefs_form.h"
#include "app/desktop/search_form.h"
#include "app/editor/editor_host.h"
#include "app/files/f_select_files.h"
#include "app/sheet/frm_glimpset_options.h"
#include "app/sheet/frm_thumb_edit.h"
#include "app/thumbs/exif_form.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/thumbnails_form.h"
#include "app/viewer/command_table.h"
#include "app/viewer/main_window_desktop_links.h"
#include "app/viewer/main_window_fixture.h"
#include "app/viewer/main_window_links.h"
#include "app/viewer/tool_switch.h"

#include <QAction>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace lumeno {
namespace {

// The album, the sheet creator, the thumbnail explorer, the property windows
// and the desktop commands, joined to the main window as the program starts.
class MainWindowWindows : public test::MainWindowTest {
protected:
    void TearDown() override
    {
        delete frmEXIF();
        delete frmPubWizard();
        delete frmThumbEdit();
        delete frmGlimpsetOptions();
        delete frmThumbnails();
        delete frmConvert();
        delete frmFileProp();
        delete fAlbum();
        delete fAPrefs();
        delete fSearch();
        delete fPrefs();
        delete fSelectFiles();
        MainWindowTest::TearDown();
    }

    TForm1& OpenLinked(const QStringList& Selected)
    {
        TForm1& form = Open();
        LinkMainWindow(form);
        LinkDesktopWindows(form);
        Select(Selected);
        return form;
    }
};

TEST_F(MainWindowWindows, EveryCommandHasAHandlerAndTheJoinedOnesAreOn)
{
    for (const TCommand& row : CommandTable())
        EXPECT_TRUE(std::string(row.Name) == "-" || row.Handler != nullptr) << row.Name;

    Picture("a.png");
    TForm1& form = OpenLinked({"a.png"});
    emit form.PopupMenu1->aboutToShow();
    for (const char* name :
         {"Folvios1", "GlimpsetCreator1", "Glimpset1", "Questra1", "SearchFiles1", "SetPreferences1",
          "InExternalEditor1", "OpenExternalEditor1", "PrintFolderListing1", "PrintImage1", "PrintImage2",
          "EditwithExternalEditor1", "EXIFData1", "ImageProperties1", "Centered1", "Tiled1", "Stretched1",
          "RemoveWallpaper1"}) {
        ASSERT_NE(form.Command(name), nullptr) << name;
        EXPECT_TRUE(form.Command(name)->isEnabled()) << name;
    }
    for (QToolButton* button : {form.tbPhotoAlbum, form.SearchButton, form.tbGlimpset, form.ToolButton5})
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_EQ(form.Command("SearchFiles1")->shortcut(), QKeySequence(Qt::Key_F3));
}

TEST_F(MainWindowWindows, WallpaperStylesNeedExactlyOneSelectedFile)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = OpenLinked({"a.png", "b.png"});
    emit form.PopupMenu1->aboutToShow();
    for (const char* name : {"Centered1", "Tiled1", "Stretched1", "EXIFData1", "ImageProperties1"})
        EXPECT_FALSE(form.Command(name)->isEnabled()) << name;
    EXPECT_TRUE(form.Command("RemoveWallpaper1")->isEnabled());
}

TEST_F(MainWindowWindows, ToolbarButtonsShowTheAlbumTheCreatorAndTheExplorer)
{
    TForm1& form = OpenLinked({});
    form.tbPhotoAlbum->click();
    ASSERT_NE(fAlbum(), nullptr);
    EXPECT_TRUE(fAlbum()->isVisible());

    form.ToolButton5->click();
    ASSERT_NE(frmThumbEdit(), nullptr);
    EXPECT_TRUE(frmThumbEdit()->isVisible());

    form.tbGlimpset->click();
    ASSERT_NE(frmThumbnails(), nullptr);
    EXPECT_TRUE(frmThumbnails()->isVisible());
    EXPECT_TRUE(frmThumbnails()->tbReport->isChecked());
    EXPECT_EQ(frmThumbnails()->Folder(), form.Folder());
    // The editor's "thumbnail folder" follows the explorer.
    EXPECT_EQ(EditorHost().ThumbFolder(), frmThumbnails()->Folder());
}

TEST_F(MainWindowWindows, PropertiesAreReachedFromTheMoverTheConverterAndTheList)
{
    Picture("a.png");
    TForm1& form = OpenLinked({"a.png"});
    // The mover's view and properties buttons only work once their windows are joined.
    EXPECT_TRUE(fSelectFiles()->tbView->isEnabled());
    EXPECT_TRUE(fSelectFiles()->tbImageInfo->isEnabled());

    form.Command("Morphel1")->trigger();
    frmConvert()->ImagePropertiesLeftClick();
    ASSERT_NE(frmFileProp(), nullptr);
    EXPECT_TRUE(frmFileProp()->isVisible());
    EXPECT_EQ(frmFileProp()->FileName, form.ItemPath("a.png"));
    frmFileProp()->hide();
    frmFileProp()->FileName.clear();

    form.Command("ImageProperties1")->trigger();
    EXPECT_TRUE(frmFileProp()->isVisible());
    EXPECT_EQ(frmFileProp()->FileName, form.ItemPath("a.png"));
}

TEST_F(MainWindowWindows, AShownExifWindowFollowsTheListSelection)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = OpenLinked({"a.png"});
    form.Command("EXIFData1")->trigger();
    ASSERT_NE(frmEXIF(), nullptr);
    EXPECT_TRUE(frmEXIF()->isVisible());

    // A picture without EXIF data empties the list, once the selection rests.
    frmEXIF()->LV1->addTopLevelItem(new QTreeWidgetItem(QStringList{"Stale", "row"}));
    Select({"b.png"});
    EXPECT_TRUE(QTest::qWaitFor([] { return frmEXIF()->LV1->topLevelItemCount() == 0; }, 2000));

    frmEXIF()->hide();
    frmEXIF()->LV1->addTopLevelItem(new QTreeWidgetItem(QStringList{"Stale", "row"}));
    Select({"a.png"});
    QTest::qWait(250);
    EXPECT_EQ(frmEXIF()->LV1->topLevelItemCount(), 1);
}

// Search, the file mover and the thumbnail explorer used to open at the
// screen's corner, over the main window's menus.
TEST_F(MainWindowWindows, CompanionWindowsOpenClearOfTheMainWindowsMenus)
{
    Picture("a.png");
    TForm1& form = OpenLinked({"a.png"});
    form.setGeometry(0, 0, 500, 400);
    form.SearchButton->click();
    form.MoveButton->click();
    form.tbGlimpset->click();
    const QRect menus(form.menuBar()->mapToGlobal(QPoint(0, 0)), form.menuBar()->size());
    const QRect screen = form.screen()->availableGeometry();
    for (QWidget* window : std::initializer_list<QWidget*>{fSearch(), fSelectFiles(), frmThumbnails()}) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->frameGeometry().intersects(menus));
        EXPECT_TRUE(screen.contains(window->frameGeometry().topLeft()));
    }
}

TEST_F(MainWindowWindows, ToolSwitchShowsTheAlbumTheWizardAndTheSheetCreatorAlone)
{
    Picture("a.png");
    Picture("b.png");
    CreateForm1();
    const TToolTable& tools = ToolWindows();
    for (const char* name : {"album", "webwizard", "sheet"})
        ASSERT_EQ(tools.count(name), 1u) << name;

    EXPECT_EQ(tools.at("album")({}), fAlbum());
    EXPECT_TRUE(fAlbum()->isVisible());

    EXPECT_EQ(tools.at("sheet")(
                  {QString::fromStdString(pics_.File("a.png")), QString::fromStdString(pics_.File("b.png"))}),
              frmThumbEdit());
    EXPECT_TRUE(frmThumbEdit()->isVisible());
    EXPECT_EQ(frmThumbEdit()->ListBox1->count(), 2);

    EXPECT_EQ(tools.at("webwizard")({}), frmPubWizard());
    EXPECT_TRUE(frmPubWizard()->isVisible());
    EXPECT_FALSE(Form1()->isVisible());
}

} // namespace
} // namespace lumeno
