#include "app/common/names_and_more.h"

namespace lumeno {

std::string NamesAndMore(const std::vector<std::string>& Names, std::size_t Shown, const std::string& Separator)
{
    std::string text;
    for (std::size_t i = 0; i < Names.size() && i < Shown; ++i)
        text += (i ? Separator : "") + Names[i];
    if (Names.size() > Shown)
        text += (Shown ? Separator : "") + "and " + std::to_string(Names.size() - Shown) + " more";
    return text;
}

} // namespace lumeno
