#include "app/files/dropped_files.h"

#include "app/common/file_operations.h"
#include "app/files/file_transfer.h"
#include "app/files/files_host.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

namespace lumeno {

void MoveDroppedFiles(const std::vector<std::string>& Paths, TFilesHost& Host)
{
    const std::string folder = Host.TreeFolder();
    if (folder.empty())
        return;
    const std::vector<std::string> selected = Host.SelectedCaptions();
    for (std::string path : Paths) {
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        std::optional<std::string> problem;
        {
            TWaitCursor wait;
            problem = TransferFile(path, JoinPath(folder, NameOf(path)), TTransferMode::Move, path);
        }
        if (problem)
            ShowMessage(*problem);
    }
    Host.RefillList();
    if (!selected.empty())
        Host.SelectAndShow(selected.front());
}

} // namespace lumeno
