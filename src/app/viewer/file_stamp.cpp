#include "app/viewer/file_stamp.h"

#include <sys/stat.h>

namespace lumeno {

TFileStamp FileStampOf(const std::string& Path)
{
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0)
        return {};
    return {.Size = st.st_size,
            .Time = st.st_mtim.tv_sec,
            .TimeNs = st.st_mtim.tv_nsec,
            .ChangeTime = st.st_ctim.tv_sec,
            .ChangeTimeNs = st.st_ctim.tv_nsec,
            .Device = st.st_dev,
            .Inode = st.st_ino};
}

} // namespace lumeno
