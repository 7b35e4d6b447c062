#pragma once
// A list of names that may run to thousands, told in one message box.

#include <cstddef>
#include <string>
#include <vector>

namespace lumeno {

// The first Shown names joined by Separator; when more follow, Separator +
// "and " + how many + " more".
std::string NamesAndMore(const std::vector<std::string>& Names, std::size_t Shown, const std::string& Separator);

} // namespace lumeno
