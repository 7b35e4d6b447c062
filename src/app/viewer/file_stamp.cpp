#include "app/viewer/file_stamp.h"

#include <sys/stat.h>

namespace lumeno {

TFileStamp FileStampOf(const std::string& Path)
{
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0)
        return {};
    return {std::int64_t(st.st_size), std::int64_t(st.st_mtim.tv_sec), std::int64_t(st.st_mtim.tv_nsec)};
}

} // namespace lumeno
