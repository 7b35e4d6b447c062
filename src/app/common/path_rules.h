#pragma once
// When two typed names land on the same file: the rule the windows that
// write next to their sources share, so none overwrites what it reads.

#include <string>

namespace lumeno {

// The path with its links, "." and ".." resolved as far as it exists: a
// typed output folder ("/p//./", a link to the source folder) is seen as the
// folder it is.
std::string ResolvedPath(const std::string& Path);
// The resolved path in one case: equal for two names that may land on the
// same file, whatever the disk.
std::string FoldedPath(const std::string& Path);

} // namespace lumeno
