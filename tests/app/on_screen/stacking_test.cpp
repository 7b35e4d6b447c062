// A box that blocks the program opens above every window of the program,
// the stay-on-top editor and sheet creator included, whether a window asks
// for it or not.

#include "app/editor/frm_acquire.h"
#include "app/on_screen/on_screen_fixture.h"
#include "app/sheet/frm_glimpset_options.h"
#include "app/sheet/frm_thumb_edit.h"
#include "app/viewer/tool_switch.h"
#include "platform/qt/asking_window.h"

#include <QTreeWidget>

#include <filesystem>
#include <fstream>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

class Stacking : public test::OnScreenTest {
protected:
    void TearDown() override
    {
        delete frmAcquire();
        delete frmThumbEdit();
        delete frmGlimpsetOptions();
        test::OnScreenTest::TearDown();
    }

    // A file named like a picture that holds text.
    std::string TextFile(const std::string& name)
    {
        std::ofstream(pics_.File(name)) << "not a picture\n";
        return pics_.File(name);
    }

    void SelectOnly(const QString& caption)
    {
        QTreeWidget* list = Form1()->SLV1;
        list->clearSelection();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            list->topLevelItem(i)->setSelected(list->topLevelItem(i)->text(0) == caption);
    }

    // The main window with the editor open over it, as the user leaves
    // them after editing the listed picture.
    TForm1& MainWindowUnderTheEditor()
    {
        TForm1& form = ShowMainWindow();
        SelectOnly("a.png");
        {
            const TAskingWindow asking(&form);
            form.InLumeno1Click();
        }
        EXPECT_TRUE(WaitHeld(frmAcquire()));
        EXPECT_GT(Level(frmAcquire()), Level(&form));
        return form;
    }
};

// The main window asks; the editor stays on top: the box is above it.
TEST_F(Stacking, TheMainWindowsBoxesOpenAboveTheEditor)
{
    Picture("a.png");
    TForm1& form = MainWindowUnderTheEditor();
    test::ModalWatch watch;
    {
        const TAskingWindow asking(&form);
        form.DeleteFile1Click();
        form.SLV1->clearSelection();
        form.Convert1Click();
        form.SetPreferences1Click();
    }
    ASSERT_TRUE(watch.WaitFor(3));
    const test::ModalSeen& remove = watch.Seen[0];
    EXPECT_TRUE(remove.Seen);
    EXPECT_EQ(remove.Text, "Delete file a.png?");
    EXPECT_EQ(remove.Owner, &form);
    EXPECT_TRUE(remove.AboveTheProgram);
    EXPECT_TRUE(fs::exists(pics_.File("a.png")));
    const test::ModalSeen& convert = watch.Seen[1];
    EXPECT_TRUE(convert.Seen);
    EXPECT_EQ(convert.Text, "Click on an image filename first");
    EXPECT_TRUE(convert.AboveTheProgram);
    const test::ModalSeen& preferences = watch.Seen[2];
    EXPECT_TRUE(preferences.Seen);
    EXPECT_EQ(preferences.Owner, &form);
    EXPECT_TRUE(preferences.AboveTheProgram);
}

// No window asks: the box takes the topmost one, the tool just shown.
TEST_F(Stacking, TheEditorStartedAloneShowsItsUnreadableFileAboveItself)
{
    const std::string text = TextFile("text.jpg");
    test::ModalWatch watch;
    ToolWindows().at("editor")({QString::fromStdString(text)});
    ASSERT_TRUE(watch.WaitFor(1));
    EXPECT_TRUE(watch.Seen[0].Seen);
    EXPECT_FALSE(watch.Seen[0].Text.empty());
    EXPECT_EQ(watch.Seen[0].Owner, frmAcquire());
    EXPECT_TRUE(watch.Seen[0].AboveTheProgram);
}

// The sheet's errors come from its workers, one box after the other.
TEST_F(Stacking, EveryUnreadableFileOfTheSheetIsShownAboveTheCreator)
{
    const std::string first = TextFile("first.jpg");
    const std::string second = TextFile("second.jpg");
    frmThumbEdit()->AddFiles({QString::fromStdString(first), QString::fromStdString(second)});
    frmThumbEdit()->show();
    ASSERT_TRUE(WaitHeld(frmThumbEdit()));

    test::ModalWatch watch;
    {
        const TAskingWindow asking(frmThumbEdit());
        frmThumbEdit()->GenerateGlimpset1Click();
    }
    ASSERT_TRUE(watch.WaitFor(2));
    EXPECT_EQ(watch.Seen[0].Text, "Error loading file " + first);
    EXPECT_EQ(watch.Seen[1].Text, "Error loading file " + second);
    for (const test::ModalSeen& box : watch.Seen) {
        EXPECT_TRUE(box.Seen);
        EXPECT_TRUE(box.AboveTheProgram);
        EXPECT_EQ(box.Owner, frmThumbEdit());
    }
}

} // namespace
} // namespace lumeno
