#pragma once
// Moving and copying that never replace an existing file: the target is
// claimed atomically, so a file that appears at the target at any moment
// survives. Results are 0 or an errno value (EEXIST when the target exists,
// EINVAL for a relative path).

#include <string>
#include <sys/stat.h>

namespace lumeno {

// Renames within one file system (files and folders): renameat2 with
// RENAME_NOREPLACE, else link + unlink, else a check and rename. EXDEV
// across file systems.
int RenameNoReplace(const std::string& From, const std::string& To);

// Copies a file into a new file To (exclusive create, flushed to disk) with
// its mode and times; a failed copy leaves no To behind.
int CopyFileNoReplace(const std::string& From, const std::string& To);

// Renames; across file systems copies, checks the copy's size, and only
// then removes the source (a source that cannot be removed takes its copy
// back out; one that changed during the copy stays beside it: EBUSY).
// Files only.
int MoveFileNoReplace(const std::string& From, const std::string& To);

// Gives To the owner (where the process may), mode and times that Source
// (a file's stat) records, as cp -p does. 0 or an errno value.
int KeepModeAndTimes(const struct stat& Source, const std::string& To);

// Removes From, just copied to To, unless it changed since Before (its stat
// taken before the copy): then both stay and the result is EBUSY. A source
// that cannot be removed takes its copy back out.
int RemoveCopiedSource(const std::string& From, const struct stat& Before, const std::string& To);

// The copy-and-delete half of MoveFileNoReplace on its own.
int MoveFileByCopy(const std::string& From, const std::string& To);

} // namespace lumeno
