#include "platform/move_no_replace.h"

#include "platform/absolute_path.h"
#include "platform/fd.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace lumeno {

namespace {

bool Exists(const std::string& Path)
{
    struct stat st {};
    return ::lstat(Path.c_str(), &st) == 0;
}

int CopyData(int In, int Out)
{
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(In, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(Out, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += put;
        }
    }
}

} // namespace

int RenameNoReplace(const std::string& From, const std::string& To)
{
    if (!AreAbsolutePaths(From, To))
        return EINVAL;
    if (::syscall(SYS_renameat2, AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // The file system cannot refuse a replacement itself.
    if (::link(From.c_str(), To.c_str()) == 0) {
        if (::unlink(From.c_str()) == 0)
            return 0;
        const int error = errno;
        ::unlink(To.c_str());
        return error;
    }
    if (errno == EEXIST || errno == EXDEV || errno == ENOENT)
        return errno;
    if (Exists(To))
        return EEXIST;
    return std::rename(From.c_str(), To.c_str()) == 0 ? 0 : errno;
}

int CopyFileNoReplace(const std::string& From, const std::string& To)
{
    if (!AreAbsolutePaths(From, To))
        return EINVAL;
    TFd in(::open(From.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        return errno;
    struct stat st {};
    if (::fstat(in.Get(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EISDIR;
    TFd out(::open(To.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777));
    if (out.Get() < 0)
        return errno;
    int error = CopyData(in.Get(), out.Get());
    if (error == 0)
        error = KeepModeAndTimes(st, To);
    if (error == 0 && ::fsync(out.Get()) != 0)
        error = errno;
    struct stat written {};
    if (error == 0 && ::fstat(out.Get(), &written) == 0 && written.st_size != st.st_size)
        error = EIO;
    if (out.Close() != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(To.c_str());
    return error;
}

int KeepModeAndTimes(const struct stat& Source, const std::string& To)
{
    // Before the mode, which a change of owner would strip of set-id bits.
    if (::chown(To.c_str(), Source.st_uid, Source.st_gid) != 0 && errno != EPERM)
        return errno;
    const struct timespec times[2] = {Source.st_atim, Source.st_mtim};
    if (::chmod(To.c_str(), Source.st_mode & 07777) != 0 || ::utimensat(AT_FDCWD, To.c_str(), times, 0) != 0)
        return errno;
    return 0;
}

int RemoveCopiedSource(const std::string& From, const struct stat& Before, const std::string& To)
{
    // A file still being written (a camera, a download) must not lose what
    // arrived during the copy.
    struct stat now {};
    if (::stat(From.c_str(), &now) != 0)
        return errno;
    if (now.st_size != Before.st_size || now.st_mtim.tv_sec != Before.st_mtim.tv_sec ||
        now.st_mtim.tv_nsec != Before.st_mtim.tv_nsec || now.st_ino != Before.st_ino)
        return EBUSY;
    if (::unlink(From.c_str()) == 0)
        return 0;
    const int error = errno;
    ::unlink(To.c_str());
    return error;
}

int MoveFileByCopy(const std::string& From, const std::string& To)
{
    if (!AreAbsolutePaths(From, To))
        return EINVAL;
    struct stat before {};
    if (::stat(From.c_str(), &before) != 0)
        return errno;
    if (const int error = CopyFileNoReplace(From, To))
        return error;
    return RemoveCopiedSource(From, before, To);
}

int MoveFileNoReplace(const std::string& From, const std::string& To)
{
    const int error = RenameNoReplace(From, To);
    return error == EXDEV ? MoveFileByCopy(From, To) : error;
}

} // namespace lumeno
