#include "app/files/file_transfer.h"

#include "controls/shell/file_utils.h"
#include "platform/move_no_replace.h"

#include <cerrno>
#include <sys/stat.h>

namespace lumeno {

std::optional<std::string> TransferFile(const std::string& Source, const std::string& Destination,
                                        TTransferMode Mode, const std::string& ErrorName)
{
    struct stat st {};
    if (::lstat(Destination.c_str(), &st) == 0)
        return "file " + Destination + " already exists. Select another directory before moving";
    // A folder measures 0 too, so dropped folders are skipped here.
    if (GetFileSizeByName(Source) < 1)
        return Source + " has a size of zero. This may be because it is not yet closed.";
    const int error = Mode == TTransferMode::Move ? MoveFileNoReplace(Source, Destination)
                                                  : CopyFileNoReplace(Source, Destination);
    if (error == EBUSY)
        return "error moving file " + ErrorName + ": it changed while it was copied, so both " + Source +
               " and its copy " + Destination + " were kept";
    if (error != 0)
        return "error moving file " + ErrorName;
    return std::nullopt;
}

} // namespace lumeno
