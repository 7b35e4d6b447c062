#pragma once
// The recycle bin: the freedesktop trash of the user, the one road to it for
// the whole program.

#include <string>

namespace lumeno {

// Moves a file or folder to the trash; false when it could not be moved (the
// item then stays where it was), also for a relative path.
bool MoveFileToTrash(const std::string& path);

} // namespace lumeno
