// Deleting a file as the "Deletions" setting says, and what the user reads
// and chooses when the trash refuses it.

#include "app/common/file_deletion.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace lumeno {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class FileDeletion : public ::testing::Test {
protected:
    std::string Picture(const test::TempDir& Folder, const std::string& Name) const
    {
        const std::string path = Folder.File(Name);
        test::WriteFileBytes(path, {'p'});
        return path;
    }

    test::RecordingDialogs dialogs;
};

// The last version put /dev/shm files in the trash; GIO refuses them.
TEST_F(FileDeletion, ATmpfsFileTheTrashRefusesIsDeletedForGoodOnlyOnYes)
{
    if (const std::string why = test::NoTmpfsApart(); !why.empty())
        GTEST_SKIP() << why;
    const test::TempDir shm("/dev/shm");
    const std::string path = Picture(shm, "photo.jpg");

    // Unanswered, then No: the file stays.
    EXPECT_FALSE(DeleteFileAsSet(path, 0));
    dialogs.Answer(mrNo);
    EXPECT_FALSE(DeleteFileAsSet(path, 0));
    EXPECT_TRUE(fs::exists(path));
    const std::vector<TDialogRequest> asked = dialogs.Shown();
    ASSERT_EQ(asked.size(), 2u);
    for (const TDialogRequest& question : asked) {
        EXPECT_EQ(question.Text,
                  "Error moving " + path +
                      " to recycle bin: Trashing on system internal mounts is not supported\n\n"
                      "Permanently delete it from your disk (can not be restored)?");
        EXPECT_EQ(question.Type, TMsgDlgType::mtConfirmation);
        EXPECT_EQ(question.Buttons, mbYesNo);
        EXPECT_EQ(question.DefaultResult, mrNo);
    }

    dialogs.Reset();
    dialogs.Answer(mrYes);
    EXPECT_TRUE(DeleteFileAsSet(path, 0));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(dialogs.Shown().size(), 1u);

    // Deleting for good asks nothing.
    const std::string other = Picture(shm, "other.jpg");
    dialogs.Reset();
    EXPECT_TRUE(DeleteFileAsSet(other, 1));
    EXPECT_FALSE(fs::exists(other));
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(FileDeletion, ANameTooLongForTheTrashRecordSaysWhyAndAsks)
{
    const test::TempDir dir;
    // With ".trashinfo" the trash's record of it passes 255 bytes.
    const std::string path = Picture(dir, std::string(246, 'n') + ".jpg");
    EXPECT_FALSE(DeleteFileAsSet(path, 0));
    EXPECT_TRUE(fs::exists(path));
    const std::vector<TDialogRequest> asked = dialogs.Shown();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_THAT(asked[0].Text, StartsWith("Error moving " + path + " to recycle bin: "));
    EXPECT_THAT(asked[0].Text, HasSubstr("File name too long"));
    EXPECT_EQ(asked[0].DefaultResult, mrNo);
}

TEST_F(FileDeletion, AFileAlreadyGoneIsToldWithoutAQuestion)
{
    const test::TempDir dir;
    const std::string path = dir.File("gone.jpg");
    EXPECT_FALSE(DeleteFileAsSet(path, 0));
    EXPECT_FALSE(DeleteFileAsSet(path, 1));
    const std::vector<TDialogRequest> told = dialogs.Shown();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_THAT(told[0].Text, StartsWith("Error moving " + path + " to recycle bin: "));
    EXPECT_THAT(told[0].Text, HasSubstr("No such file or directory"));
    EXPECT_EQ(told[0].Buttons, mbOK);
    EXPECT_EQ(told[1].Text, "Error deleting " + path);
}

} // namespace
} // namespace lumeno
