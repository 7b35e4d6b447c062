#pragma once
// The bookmarked folders' file: one folder per line, UTF-8; read with LF,
// CR LF or CR line ends, written with LF. Entries are kept byte for byte,
// whatever their encoding.

#include <optional>
#include <string>
#include <vector>

namespace lumeno {

// $XDG_DATA_HOME/lumeno/bookmrks.dat
std::string BookmarkFilePath();
// The folders of the file; an empty list when it does not exist, nothing
// when it exists but cannot be read.
std::optional<std::vector<std::string>> ReadBookmarks(const std::string& Path);
// Replaces the file by way of a temporary one; raises on failure.
void WriteBookmarks(const std::string& Path, const std::vector<std::string>& Folders);
// Whether a folder can be a line of the file (it holds no CR or LF).
bool BookmarkableFolder(const std::string& Folder);

} // namespace lumeno
