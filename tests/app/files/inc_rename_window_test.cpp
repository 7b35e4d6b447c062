#include "app/common/list_drag.h"
#include "app/files/dialog_texts.h"
#include "app/files/fake_files_host.h"
#include "app/files/frm_inc_rename.h"
#include "support/test_env.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

class IncRenameWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"c.jpg", "a.jpg", "b.png", "clip.avi"})
            test::WriteFileBytes(dir.File(name), {'x'});
        host.RefillList();
    }
    std::vector<std::string> Texts() { return test::DialogTexts(dialogs); }
    test::TempDir dir;
    test::FakeFilesHost host{dir.Path().string()};
    test::RecordingDialogs dialogs;
    TfrmIncRename form;
};

TEST_F(IncRenameWindow, StartsWithItsDefaults)
{
    EXPECT_EQ(form.windowTitle(), "Incremental File Rename");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.txtNewName->text(), "NewName");
    EXPECT_EQ(form.txtNumber->text(), "001");
    EXPECT_EQ(form.txtNumber->maxLength(), 5);
    EXPECT_EQ(form.lbRenameFiles->selectionMode(), QAbstractItemView::ExtendedSelection);
    // Digits only.
    form.txtNumber->clear();
    QTest::keyClicks(form.txtNumber, "1a2-3");
    EXPECT_EQ(form.txtNumber->text(), "123");
    QTest::keyClick(form.txtNumber, Qt::Key_Backspace);
    EXPECT_EQ(form.txtNumber->text(), "12");
}

TEST_F(IncRenameWindow, GathersFromSelectionDropsAndTheFolder)
{
    host.selected = {"a.jpg"};
    form.AddEntry("/old");
    form.OpenFromMainWindow(nullptr);
    EXPECT_TRUE(form.Entries().empty());
    host.selected = {"a.jpg", "c.jpg"};
    form.OpenFromMainWindow(nullptr);
    EXPECT_EQ(form.Entries(), (std::vector<std::string>{dir.File("a.jpg"), dir.File("c.jpg")}));
    form.close();

    std::unique_ptr<QMimeData> drag(
        EncodeListDrag({"/elsewhere", {"x.jpeg", "clip.avi", "notes.txt", "y.TIF"}, 2}));
    form.ClearAll();
    form.DropFiles(drag.get());
    EXPECT_EQ(form.Entries(), (std::vector<std::string>{"/elsewhere/x.jpeg", "/elsewhere/y.TIF"}));

    form.lbRenameFiles->item(0)->setSelected(true);
    form.DeleteSelected();
    EXPECT_EQ(form.Entries(), (std::vector<std::string>{"/elsewhere/y.TIF"}));
    form.ClearAll();
    form.ImportCurrentDirectory();
    EXPECT_EQ(form.Entries().size(), 4u);
    EXPECT_EQ(form.Entries().front(), dir.File("a.jpg"));
}

TEST_F(IncRenameWindow, GathersNothingWhileTheMainListShowsNoFolder)
{
    const test::WorkingFolder here(dir.Path());
    host.folder.clear();
    host.selected = {"a.jpg", "c.jpg"};
    form.OpenFromMainWindow(nullptr);
    EXPECT_TRUE(form.Entries().empty());
    form.ImportCurrentDirectory();
    EXPECT_TRUE(form.Entries().empty());
    form.close();
}

TEST_F(IncRenameWindow, RenamesAfterAskingAndMarksClashes)
{
    test::WriteFileBytes(dir.File("Trip_08.png"), {'!'});
    for (const char* name : {"a.jpg", "b.png", "c.jpg"})
        form.AddEntry(dir.File(name));
    form.txtNewName->setText("Trip");
    form.txtNumber->setText("07");

    dialogs.Answer(mrNo);
    form.RenameClick();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Ready to rename 3 files.  Proceed?"}));
    EXPECT_TRUE(fs::exists(dir.File("a.jpg")));
    EXPECT_EQ(host.updates, 0);

    dialogs.Answer(mrYes);
    form.RenameClick();
    EXPECT_EQ(form.Entries(), (std::vector<std::string>{dir.File("Trip_07.jpg"), "ERROR * " + dir.File("b.png"),
                                                        dir.File("Trip_09.jpg")}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("Trip_08.png")), std::vector<unsigned char>{'!'});
    EXPECT_EQ(host.updates, 1);
}

TEST_F(IncRenameWindow, EmptyStartNumberIsAskedFor)
{
    form.AddEntry(dir.File("a.jpg"));
    form.txtNumber->clear();
    form.RenameClick();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Enter a start number"}));
    EXPECT_TRUE(fs::exists(dir.File("a.jpg")));
}

} // namespace
} // namespace lumeno
