// Windows open where the user sees them: on the screen, frame and all, over
// or beside the window they belong to, and above it when it stays on top.

#include "app/album/album_host.h"
#include "app/album/f_album.h"
#include "app/files/frm_inc_rename.h"
#include "app/on_screen/on_screen_fixture.h"
#include "app/sheet/frm_glimpset_options.h"
#include "app/sheet/frm_thumb_edit.h"
#include "app/thumbs/glimpset_form.h"
#include "app/viewer/main_window_album_host.h"
#include "platform/qt/asking_window.h"

#include <QMenuBar>

namespace lumeno {
namespace {

class Placement : public test::OnScreenTest {
protected:
    void TearDown() override
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<TfrmGlimpset*>(window))
                delete window;
        SetAlbumHost(nullptr);
        delete fAlbum();
        delete frmThumbEdit();
        delete frmGlimpsetOptions();
        delete frmIncRename();
        test::OnScreenTest::TearDown();
    }

    static TfrmGlimpset* ShownGlimpset()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* glimpset = qobject_cast<TfrmGlimpset*>(window); glimpset && glimpset->isVisible())
                return glimpset;
        return nullptr;
    }

    static QRect MenuBar(TForm1& Form)
    {
        const QWidget* bar = Form.menuWidget();
        return {bar->mapToGlobal(QPoint(0, 0)), bar->size()};
    }

    static bool OnScreen(QWidget* Window)
    {
        return Window->screen()->availableGeometry().contains(Window->frameGeometry());
    }
};

// A picture nearly as tall as the screen.
TEST_F(Placement, TheAlbumsViewImageIsItsOwnAboveItAndOnScreen)
{
    Picture("tall.png", 700, 990);
    InstallMainWindowAlbumHost();
    fAlbum()->AddEntry({pics_.File("tall.png"), "", 0});
    fAlbum()->SelectIndex(0);
    fAlbum()->show();
    ASSERT_TRUE(WaitHeld(fAlbum()));
    fAlbum()->ViewImageClick();
    TfrmGlimpset* window = ShownGlimpset();
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitHeld(window));
    EXPECT_EQ(window->parentWidget(), fAlbum());
    EXPECT_TRUE(Eventually([window] { return OnScreen(window); })) << window->frameGeometry().bottom();
    EXPECT_TRUE(Eventually([window] { return Level(window) > Level(fAlbum()); }));
}

TEST_F(Placement, GlimpsetOptionsOpenOverOrBesideTheCreator)
{
    // In the middle of the screen, with room on every side.
    frmThumbEdit()->setGeometry(500, 300, 600, 400);
    frmThumbEdit()->show();
    ASSERT_TRUE(WaitHeld(frmThumbEdit()));
    frmThumbEdit()->btnOptionsClick();
    ASSERT_TRUE(WaitHeld(frmGlimpsetOptions()));
    EXPECT_TRUE(Eventually([] { return OverOrBeside(frmGlimpsetOptions()->frameGeometry(), frmThumbEdit()); }))
        << frmGlimpsetOptions()->frameGeometry().x() << "," << frmGlimpsetOptions()->frameGeometry().y();
}

TEST_F(Placement, TheFullImageWindowAndTheListingPreviewLeaveTheMainWindowsMenusFree)
{
    Picture("a.png", 400, 300);
    TForm1& form = ShowMainWindow();
    TfrmGlimpset* window = ShowGlimpset(pics_.File("a.png"), &form, false);
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitHeld(window));
    EXPECT_EQ(window->parentWidget(), &form);
    EXPECT_TRUE(Eventually([window, &form] {
        return OverOrBeside(window->frameGeometry(), &form) && !window->frameGeometry().intersects(MenuBar(form));
    }));

    test::ModalWatch watch;
    {
        const TAskingWindow asking(&form);
        form.PrintFolderListing1Click();
    }
    ASSERT_TRUE(watch.WaitFor(1));
    EXPECT_TRUE(watch.Seen[0].Seen);
    EXPECT_TRUE(OverOrBeside(watch.Seen[0].Frame, &form));
    EXPECT_FALSE(watch.Seen[0].Frame.intersects(MenuBar(form)));
}

TEST_F(Placement, IncrementalRenameOpensBesideTheMainWindow)
{
    TForm1& form = ShowMainWindow();
    {
        const TAskingWindow asking(&form);
        form.IncrementalRename1Click();
    }
    ASSERT_TRUE(WaitHeld(frmIncRename()));
    EXPECT_TRUE(Eventually([&form] {
        const QRect frame = frmIncRename()->frameGeometry();
        return OverOrBeside(frame, &form) && frame.top() == form.frameGeometry().top();
    })) << frmIncRename()->frameGeometry().top();
}

} // namespace
} // namespace lumeno
