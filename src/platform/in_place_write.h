#pragma once
// Rewriting a file through its own inode, for files a rename must not
// replace (hard links, files in folders that cannot take a temporary file,
// files whose owner a new file could not keep).

#include <string>

namespace lumeno {

// A read-write file with no name in the system's temporary folder, or -1
// with errno set.
int OpenAnonymousTempFile();

// Replaces the contents of the file at path with the contents of contentFd
// (read from its beginning). The old bytes are set aside first and put back
// when the new ones cannot be written in full. Raises EWriteError naming
// nameForErrors.
void ReplaceContentInPlace(int contentFd, const std::string& path, const std::string& nameForErrors);

} // namespace lumeno
