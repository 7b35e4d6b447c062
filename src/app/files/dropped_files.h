#pragma once
// Files dropped on the main window from the desktop: moved into the folder
// the main tree shows.

#include <string>
#include <vector>

class QMimeData;

namespace lumeno {

class TFilesHost;

// The local paths of a desktop drop (text/uri-list), whole; nothing for a
// drag from the program's own file lists.
std::vector<std::string> DroppedLocalFiles(const QMimeData* Data);

// Moves each path into the host's tree folder without replacing anything,
// telling about each one that is skipped or fails; then refills the main
// list and selects and shows the item that was selected before.
void MoveDroppedFiles(const std::vector<std::string>& Paths, TFilesHost& Host);

} // namespace lumeno
