#pragma once
// The bookmarked folders' file: one folder per line, UTF-8; read with LF or
// CR LF line ends, written with LF.

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

} // namespace lumeno
