#include "app/common/path_rules.h"

#include <QString>

#include <filesystem>

namespace lumeno {

std::string ResolvedPath(const std::string& Path)
{
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(Path, error);
    if (error)
        resolved = std::filesystem::path(Path).lexically_normal();
    return resolved.string();
}

std::string FoldedPath(const std::string& Path)
{
    return QString::fromStdString(ResolvedPath(Path)).toCaseFolded().toStdString();
}

} // namespace lumeno
