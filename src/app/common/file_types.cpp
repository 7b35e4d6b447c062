#include "app/common/file_types.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace lumeno {

namespace {

struct TExtensionType {
    const char* Extension;
    TFileType Type;
};

constexpr std::array<TExtensionType, 13> ExtensionTypes{{
    {"JPG", TFileType::ftJPG}, {"JPEG", TFileType::ftJPG}, {"JPE", TFileType::ftJPG},
    {"GIF", TFileType::ftGIF}, {"BMP", TFileType::ftBMP}, {"ICO", TFileType::ftICO},
    {"WMF", TFileType::ftWMF}, {"AVI", TFileType::ftAVI}, {"PCX", TFileType::ftPCX},
    {"PNG", TFileType::ftPNG}, {"TGA", TFileType::ftTGA}, {"TIF", TFileType::ftTIF},
    {"TIFF", TFileType::ftTIF},
}};

constexpr std::array<const char*, FileTypeCount> TypeNames{"JPG", "GIF", "BMP", "ICO", "WMF",
                                                           "AVI", "PCX", "PNG", "TGA", "TIF"};

} // namespace

std::string FileExtension(const std::string& FileName)
{
    const auto slash = FileName.find_last_of('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = FileName.find_last_of('.');
    if (dot == std::string::npos || dot <= start)
        return {};
    return FileName.substr(dot + 1);
}

TFileType FileTypeOf(const std::string& FileName)
{
    std::string ext = FileExtension(FileName);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    for (const auto& entry : ExtensionTypes)
        if (ext == entry.Extension)
            return entry.Type;
    return TFileType::ftNone;
}

bool IsPictureFile(const std::string& FileName)
{
    const TFileType type = FileTypeOf(FileName);
    return type != TFileType::ftNone && type != TFileType::ftAVI;
}

const char* FileTypeName(TFileType Type)
{
    const int index = int(Type);
    return index >= 0 && index < FileTypeCount ? TypeNames[std::size_t(index)] : "";
}

} // namespace lumeno
