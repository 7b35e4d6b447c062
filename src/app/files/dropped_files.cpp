#include "app/files/dropped_files.h"

#include "app/files/file_operations.h"
#include "app/files/file_transfer.h"
#include "app/files/files_host.h"
#include "app/viewer/list_drag.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

#include <QMimeData>
#include <QUrl>

namespace lumeno {

std::vector<std::string> DroppedLocalFiles(const QMimeData* Data)
{
    std::vector<std::string> paths;
    if (!Data || Data->hasFormat(ListDragMimeType) || !Data->hasUrls())
        return paths;
    for (const QUrl& url : Data->urls()) {
        if (!url.isLocalFile())
            continue;
        std::string path = url.toLocalFile().toStdString();
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        paths.push_back(path);
    }
    return paths;
}

void MoveDroppedFiles(const std::vector<std::string>& Paths, TFilesHost& Host)
{
    const std::vector<std::string> selected = Host.SelectedCaptions();
    const std::string folder = Host.TreeFolder();
    for (const std::string& path : Paths) {
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
