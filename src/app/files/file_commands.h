#pragma once
// The small file commands of the main window, repeated by the file mover on
// its own tree and list: each works on a folder (and a list caption), asks
// with its dialog, and tells about a failure. The Apply halves do the work
// once the dialog is answered.

#include "app/common/file_operations.h"

#include <functional>
#include <optional>
#include <string>

namespace lumeno {

// F2, "Rename File...": the new caption, nothing when cancelled or failed.
std::optional<std::string> RenameFileCommand(const std::string& Folder, const std::string& Caption);
std::optional<std::string> ApplyRename(const std::string& Folder, const std::string& Caption,
                                       const std::string& NewName);

// "File Attributes...".
void FileAttributesCommand(const std::string& Folder, const std::string& Caption);
bool ApplyFileAttributes(const std::string& Folder, const std::string& Caption, const TAttrChoice& Choice);

// "Add Folder...": the new folder's path, nothing when cancelled or failed.
std::optional<std::string> AddFolderCommand(const std::string& Folder);
std::optional<std::string> ApplyAddFolder(const std::string& Folder, const std::string& Name);

// "Delete Folder": asks, lets the tree leave the folder for its parent
// (MoveTreeTo), then removes the folder if it is empty. True when removed.
bool DeleteFolderCommand(const std::string& Folder, const std::function<void(const std::string&)>& MoveTreeTo);

} // namespace lumeno
