#include "app/common/window_holder.h"
#include "app/desktop/prefs_form.h"
#include "app/desktop/search_form.h"
#include "app/editor/frm_acquire.h"
#include "app/files/f_select_files.h"
#include "app/viewer/main_window_desktop_links.h"
#include "app/viewer/main_window_fixture.h"

#include <QTimer>

#include <cstdlib>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

// The windows other than the main one are made on their first use, behind
// their accessors, and from then on behave as if made at start-up.
class LazyWindows : public test::MainWindowTest {
protected:
    void TearDown() override
    {
        delete MadeWindow<TfrmAcquire>();
        delete MadeWindow<TfPrefs>();
        delete MadeWindow<TfSearch>();
        delete MadeWindow<TfSelectFiles>();
        MainWindowTest::TearDown();
    }
};

TEST_F(LazyWindows, AnAccessorMakesItsWindowOnceHiddenAndUnparented)
{
    delete MadeWindow<TfrmAcquire>();
    ASSERT_EQ(MadeWindow<TfrmAcquire>(), nullptr);
    TfrmAcquire* editor = frmAcquire();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(frmAcquire(), editor);
    EXPECT_EQ(MadeWindow<TfrmAcquire>(), editor);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(editor->parent(), nullptr);
    // Closing it never ends the program: only the main window does.
    EXPECT_FALSE(editor->testAttribute(Qt::WA_QuitOnClose));
    delete editor;
    EXPECT_EQ(MadeWindow<TfrmAcquire>(), nullptr);
    EXPECT_NE(frmAcquire(), nullptr);
}

TEST_F(LazyWindows, AWindowMadeLaterReadsItsSettingsWhenMade)
{
    delete MadeWindow<TfrmAcquire>();
    Store("AcquireWidth", "555");
    Store("AcquireHeight", "333");
    const TfrmAcquire* editor = frmAcquire();
    EXPECT_EQ(editor->width(), 555);
    EXPECT_EQ(editor->height(), 333);
}

TEST_F(LazyWindows, WindowsMadeAfterTheMainWindowAreJoinedToItUntilItGoes)
{
    delete MadeWindow<TfPrefs>();
    delete MadeWindow<TfSearch>();
    delete MadeWindow<TfSelectFiles>();
    TForm1& form = Open();
    LinkDesktopWindows(form);
    ASSERT_EQ(MadeWindow<TfPrefs>(), nullptr);

    ASSERT_TRUE(fPrefs()->OnApplied);
    fPrefs()->OnApplied(1, false);
    EXPECT_EQ(form.DeleteMode(), 1);
    EXPECT_FALSE(form.ConfirmDeletions());
    EXPECT_TRUE(fSearch()->OnOpenFile);

    // A window made once the main window has gone is not joined to it.
    FreeForm1();
    delete fPrefs();
    EXPECT_FALSE(fPrefs()->OnApplied);
}

TEST_F(LazyWindows, AJoinReachesAWindowMadeBeforeIt)
{
    delete MadeWindow<TfPrefs>();
    TfPrefs* prefs = fPrefs();
    ASSERT_FALSE(prefs->OnApplied);
    LinkDesktopWindows(Open());
    EXPECT_TRUE(prefs->OnApplied);
}

// Runs in a fresh process, where no window was asked for before the quit.
TEST(LazyWindowsAtQuit, AWindowFirstAskedForAsTheProgramQuitsIsNotMade)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
            std::_Exit(HeldWindow<TfrmAcquire>() == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace lumeno
