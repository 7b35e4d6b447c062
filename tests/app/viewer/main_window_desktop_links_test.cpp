#include "app/desktop/dde_handler.h"
#include "app/desktop/prefs_form.h"
#include "app/thumbs/exif_form.h"
#include "app/thumbs/thumbnails_form.h"
#include "app/thumbs/thumbs_host.h"
#include "app/viewer/main_window_desktop_links.h"
#include "app/viewer/main_window_fixture.h"
#include "controls/shell/system_tree_view.h"
#include "platform/qt/registry/reg_ini_file.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

namespace lumeno::test {
namespace {

class DesktopLinks : public MainWindowTest {
protected:
    void TearDown() override
    {
        delete frmThumbnails();
        delete frmEXIF();
        delete fPrefs();
        DDEHandler().SetMacroHandler(nullptr);
        SetThumbsHost(nullptr);
        MainWindowTest::TearDown();
    }
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
    CreatefPrefs();
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

} // namespace
} // namespace lumeno::test
