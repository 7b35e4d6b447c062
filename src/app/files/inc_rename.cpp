#include "app/files/inc_rename.h"

#include "app/common/file_operations.h"
#include "app/common/file_types.h"
#include "platform/move_no_replace.h"

#include <cstdio>
#include <cstdlib>

namespace lumeno {

std::string IncRenameNumber(long Number, int Width)
{
    char text[48];
    std::snprintf(text, sizeof text, "%*.*ld", Width, Width, Number);
    return text;
}

std::string IncRenameTarget(const std::string& Entry, const std::string& NewName, long Number, int Width)
{
    const std::string ext = FileExtension(NameOf(Entry));
    return JoinPath(FolderOf(Entry), NewName + "_" + IncRenameNumber(Number, Width) + (ext.empty() ? "" : "." + ext));
}

std::vector<std::string> RunIncRename(const std::vector<std::string>& Entries, const std::string& NewName,
                                      const std::string& Start)
{
    const int width = static_cast<int>(Start.size());
    long number = std::strtol(Start.c_str(), nullptr, 10);
    std::vector<std::string> result;
    result.reserve(Entries.size());
    for (const std::string& entry : Entries) {
        const std::string target = IncRenameTarget(entry, NewName, number++, width);
        const bool ok = NewName.find('/') == std::string::npos && (target == entry || RenameNoReplace(entry, target) == 0);
        result.push_back(ok ? target : IncRenameErrorMark + entry);
    }
    return result;
}

} // namespace lumeno
