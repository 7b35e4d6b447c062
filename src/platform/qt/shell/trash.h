#pragma once
// The recycle bin: the freedesktop trash of the user, the one road to it for
// the whole program.

#include <string>

namespace lumeno {

// Moves a file or folder to the trash; false when it could not be moved (the
// item then stays where it was), also for a relative path. Reason, when
// given, receives the trash's own words for a refusal (a folder on a system
// mount such as tmpfs has no trash; a very long name fits no trash record).
bool MoveFileToTrash(const std::string& path, std::string* reason = nullptr);

} // namespace lumeno
