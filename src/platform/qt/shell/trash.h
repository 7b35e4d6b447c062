#pragma once
// The recycle bin: the freedesktop trash of the user.

#include <string>

namespace lumeno {

// Moves a file or folder to the trash; false when it could not be moved (the
// item then stays where it was).
bool MoveFileToTrash(const std::string& path);

} // namespace lumeno
