#pragma once
// Deleting one file as the "Deletions" setting says, with the messages and
// the question of every window that deletes files.

#include <string>

namespace lumeno {

// Mode 1 deletes the file for good; any other mode moves it to the trash.
// When the trash refuses a file that is still there, the user reads the
// trash's reason and chooses whether to delete it for good instead (No
// unless chosen), as desktop file managers offer. Every failure is told.
// True when the file is gone.
bool DeleteFileAsSet(const std::string& Path, int DeleteMode);

} // namespace lumeno
