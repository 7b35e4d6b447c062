#include "app/files/file_commands.h"

#include "app/files/f_dir_add.h"
#include "app/files/f_rename.h"
#include "app/files/file_attr_form.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

namespace lumeno {

std::optional<std::string> RenameFileCommand(const std::string& Folder, const std::string& Caption)
{
    TfRename& dialog = *fRename();
    dialog.Prepare(Caption);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ApplyRename(Folder, Caption, dialog.NewName());
}

std::optional<std::string> ApplyRename(const std::string& Folder, const std::string& Caption,
                                       const std::string& NewName)
{
    if (!RenameInFolder(Folder, Caption, NewName)) {
        ShowMessage("Error changing name");
        return std::nullopt;
    }
    return NewName;
}

void FileAttributesCommand(const std::string& Folder, const std::string& Caption)
{
    TFileAttrForm& dialog = *FileAttrForm();
    dialog.Prepare(Folder, Caption);
    if (dialog.exec() == QDialog::Accepted)
        ApplyFileAttributes(Folder, Caption, dialog.Choice());
}

bool ApplyFileAttributes(const std::string& Folder, const std::string& Caption, const TAttrChoice& Choice)
{
    if (ApplyAttrChoiceToFile(JoinPath(Folder, Caption), Choice))
        return true;
    ShowMessage("Cannot change the attributes of " + Caption);
    return false;
}

std::optional<std::string> AddFolderCommand(const std::string& Folder)
{
    TfDirAdd& dialog = *fDirAdd();
    dialog.Prepare(Folder);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ApplyAddFolder(Folder, dialog.NewFolderName());
}

std::optional<std::string> ApplyAddFolder(const std::string& Folder, const std::string& Name)
{
    const std::string path = JoinPath(Folder, Name);
    bool made = false;
    {
        TWaitCursor wait;
        made = CreateFolderIn(Folder, Name);
    }
    if (!made) {
        ShowMessage("Cannot create directory " + path);
        return std::nullopt;
    }
    return path;
}

bool DeleteFolderCommand(const std::string& Folder, const std::function<void(const std::string&)>& MoveTreeTo)
{
    if (MessageDlg("Delete folder " + Folder + "?", TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
        return false;
    if (MoveTreeTo)
        MoveTreeTo(FolderOf(Folder));
    if (RemoveEmptyFolder(Folder))
        return true;
    ShowMessage("Directory can't be deleted - there might be files in it!");
    return false;
}

} // namespace lumeno
