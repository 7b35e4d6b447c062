#include "app/common/file_deletion.h"

#include "app/common/file_operations.h"
#include "platform/dialogs.h"
#include "platform/qt/normal_cursor.h"
#include "platform/qt/shell/trash.h"

#include <sys/stat.h>

namespace lumeno {

namespace {

bool DeleteForGood(const std::string& Path)
{
    if (RemoveFile(Path))
        return true;
    ShowMessage("Error deleting " + Path);
    return false;
}

bool StillThere(const std::string& Path)
{
    struct stat st {};
    return ::lstat(Path.c_str(), &st) == 0;
}

} // namespace

bool DeleteFileAsSet(const std::string& Path, int DeleteMode)
{
    if (DeleteMode == 1)
        return DeleteForGood(Path);
    std::string reason;
    if (MoveFileToTrash(Path, &reason))
        return true;
    const std::string refusal = "Error moving " + Path + " to recycle bin: " + reason;
    if (!StillThere(Path)) {
        ShowMessage(refusal);
        return false;
    }
    const TNormalCursor normal;
    const std::string question = refusal + "\n\nPermanently delete it from your disk (can not be restored)?";
    if (Dialogs().Show({"", question, TMsgDlgType::mtConfirmation, mbYesNo, mrNo}) != mrYes)
        return false;
    return DeleteForGood(Path);
}

} // namespace lumeno
