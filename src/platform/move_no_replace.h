#pragma once
// Moving and copying that never replace an existing file: the target is
// claimed atomically, so a file that appears at the target at any moment
// survives. Results are 0 or an errno value (EEXIST when the target exists,
// EINVAL for a relative path).

#include <string>

namespace lumeno {

// Renames within one file system (files and folders): renameat2 with
// RENAME_NOREPLACE, else link + unlink, else a check and rename. EXDEV
// across file systems.
int RenameNoReplace(const std::string& From, const std::string& To);

// Copies a file's contents into a new file To (exclusive create, flushed to
// disk); a failed copy leaves no To behind.
int CopyFileNoReplace(const std::string& From, const std::string& To);

// Renames; across file systems copies, checks the copy's size, and only
// then removes the source (a source that cannot be removed takes its copy
// back out). Files only.
int MoveFileNoReplace(const std::string& From, const std::string& To);

// The copy-and-delete half of MoveFileNoReplace on its own.
int MoveFileByCopy(const std::string& From, const std::string& To);

} // namespace lumeno
