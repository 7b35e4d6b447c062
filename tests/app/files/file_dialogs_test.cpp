#include "app/files/dialog_texts.h"
#include "app/files/f_dir_add.h"
#include "app/files/f_rename.h"
#include "app/files/file_attr_form.h"
#include "app/files/file_commands.h"
#include "controls/shell/file_utils.h"
#include "support/test_env.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>

namespace lumeno {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

class FileDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteFileBytes(dir.File("a.jpg"), {'a'});
        test::WriteFileBytes(dir.File("b.jpg"), {'b'});
        folder = dir.Path().string();
    }
    std::vector<std::string> Texts() { return test::DialogTexts(dialogs); }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    std::string folder;
};

TEST_F(FileDialogs, RenameDialogOffersTheCaption)
{
    TfRename form;
    form.Prepare("a.jpg");
    EXPECT_EQ(form.windowTitle(), "Rename File");
    EXPECT_EQ(form.lOldName->text(), "a.jpg");
    EXPECT_EQ(form.NewName(), "a.jpg");
}

TEST_F(FileDialogs, RenameClashOrSlashFailsAndKeepsBothFiles)
{
    EXPECT_EQ(ApplyRename(folder, "a.jpg", "b.jpg"), std::nullopt);
    EXPECT_EQ(ApplyRename(folder, "a.jpg", "../a.jpg"), std::nullopt);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Error changing name", "Error changing name"}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("a.jpg")), Bytes{'a'});
    EXPECT_EQ(test::ReadFileBytes(dir.File("b.jpg")), Bytes{'b'});
    EXPECT_EQ(ApplyRename(folder, "a.jpg", "z.jpg"), "z.jpg");
}

TEST_F(FileDialogs, AttributesRoundTripReadOnly)
{
    TFileAttrForm form;
    form.Prepare(folder, "a.jpg");
    EXPECT_EQ(form.windowTitle(), "File attributes");
    EXPECT_EQ(form.FileDirName->text(), "a.jpg");
    EXPECT_EQ(form.FilePathName->text().toStdString(), folder);
    EXPECT_FALSE(form.ChangeDate->text().isEmpty());
    EXPECT_EQ(form.ReadOnly->text(), "&Read Only");
    EXPECT_FALSE(form.ReadOnly->isChecked());
    EXPECT_FALSE(form.Hidden->isEnabled());

    form.ReadOnly->setChecked(true);
    EXPECT_TRUE(ApplyFileAttributes(folder, "a.jpg", form.Choice()));
    EXPECT_TRUE(FileGetAttr(dir.File("a.jpg")) & faReadOnly);
    form.Prepare(folder, "a.jpg");
    EXPECT_TRUE(form.ReadOnly->isChecked());
    form.ReadOnly->setChecked(false);
    EXPECT_TRUE(ApplyFileAttributes(folder, "a.jpg", form.Choice()));
    EXPECT_FALSE(FileGetAttr(dir.File("a.jpg")) & faReadOnly);

    if (form.Archive->isEnabled()) {
        form.Archive->setChecked(true);
        form.System->setChecked(true);
        EXPECT_TRUE(ApplyFileAttributes(folder, "a.jpg", form.Choice()));
        form.Prepare(folder, "a.jpg");
        EXPECT_TRUE(form.Archive->isChecked());
        EXPECT_TRUE(form.System->isChecked());
    }
    EXPECT_TRUE(Texts().empty());

    EXPECT_FALSE(ApplyFileAttributes(folder, "gone.jpg", form.Choice()));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Cannot change the attributes of gone.jpg"}));
}

TEST_F(FileDialogs, HiddenFilesShowTheirHiddenBox)
{
    test::WriteFileBytes(dir.File(".secret.jpg"), {'s'});
    TFileAttrForm form;
    form.Prepare(folder, ".secret.jpg");
    EXPECT_TRUE(form.Hidden->isChecked());
    EXPECT_TRUE(ApplyFileAttributes(folder, ".secret.jpg", form.Choice()));
}

TEST_F(FileDialogs, AddFolderMakesItOrSaysWhy)
{
    TfDirAdd form;
    form.NewFolder->setText("old");
    form.Prepare(folder);
    EXPECT_EQ(form.windowTitle(), "Add New Folder");
    EXPECT_EQ(form.Label1->text().toStdString(), folder + "/");
    EXPECT_TRUE(form.NewFolder->text().isEmpty());

    EXPECT_EQ(ApplyAddFolder(folder, "Trip"), dir.File("Trip"));
    EXPECT_TRUE(fs::is_directory(dir.File("Trip")));
    EXPECT_EQ(ApplyAddFolder(folder, "Trip"), std::nullopt);
    EXPECT_EQ(ApplyAddFolder(folder, "a/b"), std::nullopt);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Cannot create directory " + dir.File("Trip"),
                                                 "Cannot create directory " + dir.File("a/b")}));
}

TEST_F(FileDialogs, DeleteFolderAsksLeavesItAndRemovesOnlyAnEmptyOne)
{
    fs::create_directory(dir.File("Empty"));
    fs::create_directory(dir.File("Full"));
    test::WriteFileBytes(dir.File("Full/x.jpg"), {'x'});
    std::vector<std::string> treeMoves;
    const auto moveTree = [&](const std::string& to) { treeMoves.push_back(to); };

    dialogs.Answer(mrNo);
    EXPECT_FALSE(DeleteFolderCommand(dir.File("Empty"), moveTree));
    EXPECT_TRUE(fs::exists(dir.File("Empty")));
    EXPECT_TRUE(treeMoves.empty());

    dialogs.Answer(mrYes);
    EXPECT_TRUE(DeleteFolderCommand(dir.File("Empty"), moveTree));
    EXPECT_FALSE(fs::exists(dir.File("Empty")));
    EXPECT_EQ(treeMoves, (std::vector<std::string>{folder}));

    dialogs.Reset();
    dialogs.Answer(mrYes);
    EXPECT_FALSE(DeleteFolderCommand(dir.File("Full"), moveTree));
    EXPECT_TRUE(fs::exists(dir.File("Full/x.jpg")));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Delete folder " + dir.File("Full") + "?",
                                                 "Directory can't be deleted - there might be files in it!"}));
}

} // namespace
} // namespace lumeno
