#pragma once
// The bookmarked folders' file: one folder per line, UTF-8; read with LF,
// CR LF or CR line ends, written with LF. Entries are kept byte for byte,
// whatever their encoding.

#include "platform/exception.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

// A file of folder names this large is no one's list of favourites (it
// would be tens of thousands of menu items), so it is refused.
inline constexpr std::int64_t kMaxBookmarkFileSize = std::int64_t{1} << 20;

LUMENO_DECLARE_EXCEPTION(EBookmarkFile, Exception);

// $XDG_DATA_HOME/lumeno/bookmrks.dat
std::string BookmarkFilePath();
// The folders of the file; an empty list when it does not exist. Raises
// EBookmarkFile, naming the file and why, when it exists but cannot be read
// or is larger than kMaxBookmarkFileSize.
std::vector<std::string> ReadBookmarks(const std::string& Path);
// The same, with no folders for a file that is refused: the menu starts
// empty, and saving checks the file again before writing.
std::vector<std::string> ReadBookmarksOrNone(const std::string& Path);
// Replaces the file by way of a temporary one; raises on failure, and
// raises EBookmarkFile, writing nothing, when the file would be larger than
// kMaxBookmarkFileSize.
void WriteBookmarks(const std::string& Path, const std::vector<std::string>& Folders);
// Whether a folder can be a line of the file (it holds no CR or LF).
bool BookmarkableFolder(const std::string& Folder);

} // namespace lumeno
