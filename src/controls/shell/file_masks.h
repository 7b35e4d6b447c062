#pragma once
// File masks with '*' and '?', compared without regard to case. A mask for
// ".jpg" files also takes ".jpeg" and ".jpe", one for ".tif" also ".tiff", as
// the short names of those files did.

#include <string>
#include <vector>

namespace lumeno {

// Sorted lower-case masks without duplicates.
using TMaskList = std::vector<std::string>;

// Fills list from ";"-separated masks; an empty string gives the single
// mask "*".
void BuildMaskList(const std::string& maskString, TMaskList& list);

// True when the name matches a mask of the list, or the list is empty. A
// name without '.' is matched as if it ended with one, so "*.*" takes it.
bool MatchesMaskList(const std::string& name, const TMaskList& list);

// True when the name matches the mask; an empty mask matches nothing.
bool MatchesMask(const std::string& name, const std::string& mask);

} // namespace lumeno
