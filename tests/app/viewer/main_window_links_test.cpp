#include "app/converter/frm_convert.h"
#include "app/editor/editor_host.h"
#include "app/files/f_dir_add.h"
#include "app/files/files_host.h"
#include "app/files/frm_inc_rename.h"
#include "app/viewer/main_window_fixture.h"
#include "app/viewer/main_window_links.h"

#include "controls/shell/system_tree_view.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

class MainWindowLinks : public test::MainWindowTest {};

TEST_F(MainWindowLinks, DropsAndListsGoThroughTheMainWindow)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = Open();
    LinkMainWindow(form);
    ASSERT_NE(FilesHost(), nullptr);
    EXPECT_EQ(FilesHost()->TreeFolder(), form.Folder());
    EXPECT_EQ(FilesHost()->ListCaptions(), (std::vector<std::string>{"a.png", "b.png"}));
    form.SLV1->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(FilesHost()->SelectedCaptions(), (std::vector<std::string>{"b.png"}));

    test::TempDir elsewhere;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(elsewhere.File("c.png"))));
    ASSERT_TRUE(form.MoveDroppedFiles);
    form.MoveDroppedFiles({QString::fromStdString(elsewhere.File("c.png"))});
    EXPECT_TRUE(fs::exists(form.ItemPath("c.png")));
    EXPECT_FALSE(fs::exists(elsewhere.File("c.png")));
    EXPECT_EQ(Captions(), (QStringList{"a.png", "b.png", "c.png"}));
    EXPECT_EQ(FilesHost()->SelectedCaptions(), (std::vector<std::string>{"b.png"}));

    FreeForm1();
    EXPECT_EQ(FilesHost(), nullptr);
}

TEST_F(MainWindowLinks, CommandsOpenTheirWindowsWithTheSelection)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = Open();
    LinkMainWindow(form);
    test::RecordingDialogs dialogs;

    MainConvert(form);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].Text, "Click on an image filename first");
    form.SLV1->topLevelItem(0)->setSelected(true);
    MainConvert(form);
    ASSERT_NE(frmConvert(), nullptr);
    EXPECT_TRUE(frmConvert()->isVisible());
    EXPECT_EQ(frmConvert()->SourceFileName(), form.ItemPath("a.png"));
    frmConvert()->close();

    form.SLV1->topLevelItem(1)->setSelected(true);
    MainIncrementalRename();
    ASSERT_NE(frmIncRename(), nullptr);
    EXPECT_EQ(frmIncRename()->Entries(), (std::vector<std::string>{form.ItemPath("a.png"), form.ItemPath("b.png")}));
    frmIncRename()->close();
    delete frmConvert();
    delete frmIncRename();
}

TEST_F(MainWindowLinks, AVirtualTreeItemLeavesCommandsOnTheListedFolder)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = Open();
    LinkMainWindow(form);
    const std::string listed = form.ListedFolder();
    ASSERT_FALSE(listed.empty());
    form.STV1->setCurrentItem(form.STV1->topLevelItem(0));
    Drain();
    ASSERT_EQ(form.Folder(), "");
    ASSERT_EQ(form.ListedFolder(), listed);

    // Bare names would land here.
    test::TempDir working;
    const test::WorkingFolder here(working.Path());
    EXPECT_EQ(FilesHost()->TreeFolder(), listed);
    EXPECT_EQ(EditorHost().TreeFolder(), listed);

    test::TempDir elsewhere;
    test::WriteFileBytes(elsewhere.File("c.png"), {'c'});
    form.MoveDroppedFiles({QString::fromStdString(elsewhere.File("c.png"))});
    EXPECT_TRUE(fs::exists(form.ItemPath("c.png")));
    EXPECT_FALSE(fs::exists(working.File("c.png")));

    form.SLV1->topLevelItem(0)->setSelected(true);
    form.SLV1->topLevelItem(1)->setSelected(true);
    MainIncrementalRename();
    EXPECT_EQ(frmIncRename()->Entries(), (std::vector<std::string>{form.ItemPath("a.png"), form.ItemPath("b.png")}));
    frmIncRename()->close();
    delete frmIncRename();

    QTimer::singleShot(0, [] {
        fDirAdd()->NewFolder->setText("Made");
        fDirAdd()->accept();
    });
    MainAddFolder(form);
    EXPECT_TRUE(fs::is_directory(listed + "/Made"));
    EXPECT_FALSE(fs::exists(working.File("Made")));
}

TEST_F(MainWindowLinks, DeleteFolderLeavesForTheParent)
{
    TForm1& form = Open();
    const std::string parent = form.Folder();
    const std::string child = parent + "/Empty";
    fs::create_directory(child);
    form.STV1->Refill();
    form.STV1->SetSelection(child);
    Drain();
    ASSERT_EQ(form.Folder(), child);
    test::RecordingDialogs dialogs;
    dialogs.Answer(mrYes);
    MainDeleteFolder(form);
    EXPECT_FALSE(fs::exists(child));
    EXPECT_EQ(form.Folder(), parent);
}

} // namespace
} // namespace lumeno
