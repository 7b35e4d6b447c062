#pragma once
// Routines that change files take whole paths only: a relative one would be
// resolved against the process's working folder, which nobody chose.

#include <string>

namespace lumeno {

inline bool IsAbsolutePath(const std::string& Path) { return !Path.empty() && Path.front() == '/'; }

// Both ends of a rename, move or copy.
inline bool AreAbsolutePaths(const std::string& From, const std::string& To)
{
    return IsAbsolutePath(From) && IsAbsolutePath(To);
}

} // namespace lumeno
