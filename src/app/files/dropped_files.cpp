#include "app/files/dropped_files.h"

#include "app/common/file_operations.h"
#include "app/common/names_and_more.h"
#include "app/files/file_transfer.h"
#include "app/files/files_host.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

namespace lumeno {

namespace {

// A drop of a thousand files may leave hundreds where they are: one box
// tells about them all.
constexpr std::size_t kProblemsShown = 5;

void TellProblems(const std::vector<std::string>& problems, std::size_t dropped)
{
    if (problems.size() == 1)
        ShowMessage(problems.front());
    else if (problems.size() > 1)
        ShowMessage(std::to_string(problems.size()) + " of " + std::to_string(dropped) + " files were not moved:\n" +
                    NamesAndMore(problems, kProblemsShown, "\n"));
}

} // namespace

void MoveDroppedFiles(const std::vector<std::string>& Paths, TFilesHost& Host)
{
    const std::string folder = Host.TreeFolder();
    if (folder.empty())
        return;
    const std::vector<std::string> selected = Host.SelectedCaptions();
    std::vector<std::string> problems;
    {
        TWaitCursor wait;
        for (std::string path : Paths) {
            while (path.size() > 1 && path.back() == '/')
                path.pop_back();
            if (auto problem = TransferFile(path, JoinPath(folder, NameOf(path)), TTransferMode::Move, path))
                problems.push_back(std::move(*problem));
        }
    }
    TellProblems(problems, Paths.size());
    Host.RefillList();
    if (!selected.empty())
        Host.SelectAndShow(selected.front());
}

} // namespace lumeno
