#include "platform/in_place_write.h"

#include "platform/exception.h"
#include "platform/fd.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lumeno {

namespace {

// Copies all of from into to from offset 0, cuts to to that length and
// flushes it to disk. False with errno set on failure.
bool Overwrite(int from, int to)
{
    std::vector<char> chunk(1 << 20);
    off_t pos = 0;
    for (;;) {
        const ssize_t n = ::pread(from, chunk.data(), chunk.size(), pos);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::pwrite(to, chunk.data() + done, static_cast<std::size_t>(n - done), pos + done);
            if (w < 0)
                return false;
            done += w;
        }
        pos += n;
    }
    return ::ftruncate(to, pos) == 0 && ::fsync(to) == 0;
}

} // namespace

int OpenAnonymousTempFile()
{
    std::error_code error;
    const std::string folder = std::filesystem::temp_directory_path(error).string();
    return ::open(error ? "/tmp" : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

void ReplaceContentInPlace(int contentFd, const std::string& path, const std::string& nameForErrors)
{
    const TFd target(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (target.Get() < 0)
        RaiseCannotWrite(nameForErrors, errno);
    const TFd backup(OpenAnonymousTempFile());
    if (backup.Get() < 0 || !Overwrite(target.Get(), backup.Get()))
        RaiseCannotWrite(nameForErrors, errno);
    if (Overwrite(contentFd, target.Get()))
        return;
    const int err = errno;
    Overwrite(backup.Get(), target.Get());
    RaiseCannotWrite(nameForErrors, err);
}

} // namespace lumeno
