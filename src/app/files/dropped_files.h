#pragma once
// Files dropped on the main window from the desktop: moved into the folder
// the main list shows.

#include <string>
#include <vector>

namespace lumeno {

class TFilesHost;

// Moves each path (taken whole) into the host's folder without replacing
// anything, then tells in one message about the ones skipped or failed
// (their count and the first few reasons); then refills
// the main list and selects and shows the item selected before. Does
// nothing while the list shows no folder.
void MoveDroppedFiles(const std::vector<std::string>& Paths, TFilesHost& Host);

} // namespace lumeno
