#pragma once
// Incremental rename: every entry becomes NewName + "_" + a number
// zero-padded to the typed width + its own extension, in its own folder.

#include <string>
#include <vector>

namespace lumeno {

inline constexpr const char* IncRenameErrorMark = "ERROR * ";

// The number in the format "%W.Wd" with W = Width.
std::string IncRenameNumber(long Number, int Width);

// The new path for Entry.
std::string IncRenameTarget(const std::string& Entry, const std::string& NewName, long Number, int Width);

// Renames the entries in order, counting up from the start text's value at
// its width, also after a failure; an entry becomes its new path, or
// "ERROR * " + entry when its rename failed. Start must hold digits only.
std::vector<std::string> RunIncRename(const std::vector<std::string>& Entries, const std::string& NewName,
                                      const std::string& Start);

} // namespace lumeno
