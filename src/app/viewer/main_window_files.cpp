// Deleting the selected files, to the trash or for good.

#include "app/common/file_deletion.h"
#include "app/common/file_list.h"
#include "app/viewer/main_window.h"
#include "controls/shell/dfs_status_bar.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

#include <QTreeWidget>

namespace lumeno {

void TForm1::DeleteFile1Click()
{
    const QList<QTreeWidgetItem*> selected = SLV1->selectedItems();
    if (selected.isEmpty()) {
        ShowMessage("You need to click on a file name first");
        return;
    }
    if (confirmDeletions_) {
        const std::string question = selected.size() == 1
                                         ? "Delete file " + selected.first()->text(0).toStdString() + "?"
                                         : std::string("Delete selected files?");
        if (MessageDlg(question, TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
            return;
    }
    TWaitCursor wait;
    std::vector<std::string> paths;
    std::vector<bool> flags;
    for (int i = 0; i < SLV1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = SLV1->topLevelItem(i);
        flags.push_back(item->isSelected());
        if (item->isSelected())
            paths.push_back(ItemPath(item->text(0)));
    }
    const int next = DeleteSuccessor(flags);
    const std::string successor = next < 0 ? std::string() : ItemPath(SLV1->topLevelItem(next)->text(0));
    DeleteFiles(paths);
    SetStatus(3, "Updating...");
    FillFileList(SLV1, listedFolder_, SB1, fileMask_);
    SortFileList(SLV1);
    currentFile_ = successor;
    if (!successor.empty())
        SelectFileInList(successor);
    if (OnFilesDeleted)
        OnFilesDeleted(listedFolder_);
    SetStatus(3, "");
}

void TForm1::DeleteFiles(const std::vector<std::string>& Paths)
{
    for (const std::string& path : Paths) {
        SetStatus(3, "Deleting " + path);
        SB1->RepaintPanel(3);
        DeleteFileAsSet(path, deleteMode_);
    }
}

} // namespace lumeno
