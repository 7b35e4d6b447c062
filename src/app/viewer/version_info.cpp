#include "app/viewer/version_info.h"

#include "lumeno_version.h"

namespace lumeno {

namespace {

constexpr const char* kBuiltInCopyright = "Copyright (c) Orvella Software";

} // namespace

std::optional<std::string> VersionValue(const std::string& Name)
{
    if (Name == "FileVersion")
        return std::string(LUMENO_FILE_VERSION);
    if (Name == "LegalCopyright")
        return std::string(LUMENO_LEGAL_COPYRIGHT);
    return std::nullopt;
}

std::string VersionLabel(const std::optional<std::string>& FileVersion)
{
    if (!FileVersion || FileVersion->size() + 1 < 8)
        return "Lumeno";
    return "Version " + *FileVersion;
}

std::string CopyrightLabel(const std::optional<std::string>& Copyright)
{
    if (!Copyright || Copyright->size() + 1 < 10)
        return kBuiltInCopyright;
    return *Copyright;
}

} // namespace lumeno
