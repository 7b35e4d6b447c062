#include "controls/shell/file_masks.h"

#include <algorithm>
#include <array>
#include <utility>

namespace lumeno {

namespace {

// Extensions whose masks also take the long forms of the same type.
const std::array<std::pair<const char*, std::array<const char*, 2>>, 2> kExtensionAliases = {{
    {".jpg", {".jpeg", ".jpe"}},
    {".tif", {".tiff", nullptr}},
}};

std::string LowerCase(std::string text)
{
    // ASCII only: bytes of multi-byte UTF-8 characters are left as they are.
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The length of the UTF-8 character starting at text[i], so that '?' takes
// one character, not one byte.
std::size_t CharLength(const std::string& text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(n, text.size() - i);
}

// '*' takes any run of characters and '?' one; a mismatch after a '*' goes
// back and lets that '*' take one more character.
bool Glob(const std::string& name, const std::string& mask)
{
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && mask[m] == '?') {
            n += CharLength(name, n);
            ++m;
        } else if (m < mask.size() && mask[m] == name[n]) {
            ++n;
            ++m;
        } else if (starMask != std::string::npos) {
            starName += CharLength(name, starName);
            n = starName;
            m = starMask + 1;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

bool GlobWithAliases(const std::string& name, const std::string& mask)
{
    if (Glob(name, mask))
        return true;
    if (mask.find_first_of("*?") == std::string::npos)
        return false;
    for (const auto& [ext, aliases] : kExtensionAliases) {
        if (!mask.ends_with(ext))
            continue;
        const std::string stem = mask.substr(0, mask.size() - 4);
        for (const char* alias : aliases)
            if (alias && Glob(name, stem + alias))
                return true;
    }
    return false;
}

} // namespace

void BuildMaskList(const std::string& maskString, TMaskList& list)
{
    list.clear();
    if (maskString.empty()) {
        list.push_back("*");
        return;
    }
    std::size_t start = 0;
    while (start < maskString.size()) {
        const std::size_t end = std::min(maskString.find(';', start), maskString.size());
        list.push_back(LowerCase(maskString.substr(start, end - start)));
        start = end + 1;
    }
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
}

bool MatchesMaskList(const std::string& name, const TMaskList& list)
{
    if (list.empty())
        return true;
    std::string lower = LowerCase(name);
    if (lower.find('.') == std::string::npos)
        lower += '.';
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& mask) { return GlobWithAliases(lower, mask); });
}

bool MatchesMask(const std::string& name, const std::string& mask)
{
    return !mask.empty() && GlobWithAliases(LowerCase(name), LowerCase(mask));
}

} // namespace lumeno
