#include "app/converter/convert_naming.h"

#include <cctype>

namespace lumeno {

namespace {

std::size_t NameStart(const std::string& Path)
{
    const std::size_t slash = Path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

} // namespace

std::string ConverterExtension(int ItemIndex)
{
    if (ItemIndex < 0 || ItemIndex >= static_cast<int>(ConverterFileTypes.size()))
        return {};
    std::string ext(ConverterFileTypes[static_cast<std::size_t>(ItemIndex)], 3);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string ConvertTargetName(const std::string& Source, const std::string& Extension)
{
    const std::size_t start = NameStart(Source);
    const std::size_t dot = Source.find('.', start + 1);
    if (start >= Source.size() || dot == std::string::npos)
        return Source + "." + Extension;
    return Source.substr(0, dot + 1) + Extension;
}

std::string BangName(const std::string& Path)
{
    const std::size_t start = NameStart(Path);
    return Path.substr(0, start) + "!" + Path.substr(start);
}

std::string ChooseConvertTarget(std::string Target, const std::function<bool(const std::string&)>& Exists,
                                const std::function<bool(const std::string&)>& AskOverwrite)
{
    while (Exists(Target) && !AskOverwrite(Target))
        Target = BangName(Target);
    return Target;
}

std::string FileSizeKText(const std::string& Name, std::int64_t Size)
{
    return Name + " " + std::to_string(Size / 1024 + 1) + "K";
}

} // namespace lumeno
