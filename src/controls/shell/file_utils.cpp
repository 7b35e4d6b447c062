#include "controls/shell/file_utils.h"

#include "platform/absolute_path.h"
#include "platform/move_no_replace.h"
#include "platform/stream.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace lumeno {

namespace {

constexpr std::int64_t kCopyBufferSize = 0x2000;
constexpr const char* kDosAttrName = "user.lumeno.dosattr";
constexpr int kStoredAttributes = faArchive | faSysFile;

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Refuses a destination that the copy must not replace.
void CheckDestination(const struct stat& source, const std::string& dest)
{
    struct stat st {};
    if (::stat(dest.c_str(), &st) != 0)
        return;
    if (SameFile(source, st))
        throw EFCreateError("Cannot copy file \"" + dest + "\" onto itself");
    if (!S_ISREG(st.st_mode))
        throw EFCreateError("Cannot create file \"" + dest + "\". It is not a plain file");
    if (!(st.st_mode & S_IWUSR))
        throw EFCreateError("Cannot create file \"" + dest + "\". The file is read-only");
}

// Days from 1970-01-01 to a proleptic Gregorian date.
long DaysFromCivil(long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

int StoredAttributes(const std::string& name)
{
    char text[16] = {};
    const ssize_t n = ::getxattr(name.c_str(), kDosAttrName, text, sizeof text - 1);
    int value = 0;
    if (n <= 0 || std::from_chars(text, text + n, value).ec != std::errc())
        return 0;
    return value & kStoredAttributes;
}

void SyncToDisk(const std::string& name)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!ok)
        throw EWriteError("Cannot write file \"" + name + "\". " + std::strerror(errno));
}

} // namespace

void CopyFileTo(const std::string& source, const std::string& destination)
{
    if (!IsAbsolutePath(source))
        throw EFOpenError("Cannot open file " + source);
    if (!IsAbsolutePath(destination))
        throw EFCreateError("Cannot create file " + destination);
    // The stream refuses anything but a regular file without waiting on it.
    TFileStream in(source, TFileMode::fmOpenRead);
    struct stat from {};
    ::stat(source.c_str(), &from);
    CheckDestination(from, destination);

    TSafeFileStream out(destination);
    std::vector<char> buffer(kCopyBufferSize);
    std::int64_t copied = 0;
    for (;;) {
        const std::int64_t n = in.Read(buffer.data(), kCopyBufferSize);
        if (n > 0 && out.Write(buffer.data(), n) != n)
            throw EWriteError("Cannot write file \"" + destination + "\". " + std::strerror(errno));
        copied += n;
        if (n < kCopyBufferSize)
            break;
    }
    // A read error looks like the end of the file; the size tells them apart.
    if (copied != from.st_size)
        throw EReadError("Cannot read file \"" + source + "\"");
    out.Commit();
}

void MoveFileTo(const std::string& source, const std::string& destination)
{
    if (!AreAbsolutePaths(source, destination))
        throw EFCantMove("Cannot move file " + source);
    struct stat from {};
    struct stat to {};
    if (::stat(source.c_str(), &from) == 0 && ::stat(destination.c_str(), &to) == 0 && SameFile(from, to))
        throw EFCantMove("Cannot move file " + source + " onto itself");
    if (::rename(source.c_str(), destination.c_str()) == 0)
        return;
    if (errno != EXDEV || HasAttr(source, faReadOnly))
        throw EFCantMove("Cannot move file " + source);

    CopyFileTo(source, destination);
    KeepModeAndTimes(from, destination);
    SyncToDisk(destination);
    if (GetFileSizeByName(destination) != from.st_size || RemoveCopiedSource(source, from, destination) != 0)
        throw EFCantMove("Cannot move file " + source);
}

std::int64_t GetFileSizeByName(const std::string& name)
{
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0)
        return -1;
    return S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
}

TDateTime GetFileDateTime(const std::string& name)
{
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0)
        return 0;
    struct tm local {};
    ::localtime_r(&st.st_mtime, &local);
    const long days = DaysFromCivil(local.tm_year + 1900L, static_cast<unsigned>(local.tm_mon + 1),
                                    static_cast<unsigned>(local.tm_mday)) -
                      DaysFromCivil(1899, 12, 30);
    const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return static_cast<double>(days) + seconds / 86400.0;
}

int FileGetAttr(const std::string& name)
{
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0)
        return -1;
    return FileAttrOf(name, st);
}

int FileAttrOf(const std::string& name, const struct stat& st)
{
    int attr = StoredAttributes(name);
    if (!(st.st_mode & S_IWUSR))
        attr |= faReadOnly;
    if (std::filesystem::path(name).filename().string().starts_with('.'))
        attr |= faHidden;
    if (S_ISDIR(st.st_mode))
        attr |= faDirectory;
    return attr;
}

namespace {

// File systems without user attributes keep only what the mode bits hold.
bool WriteStoredAttributes(const std::string& name, int stored)
{
    if (stored == 0)
        return ::removexattr(name.c_str(), kDosAttrName) == 0 || errno == ENODATA || errno == ENOTSUP;
    const std::string text = std::to_string(stored);
    return ::setxattr(name.c_str(), kDosAttrName, text.data(), text.size(), 0) == 0 || errno == ENOTSUP;
}

} // namespace

bool FileSetAttr(const std::string& name, int attributes)
{
    struct stat st {};
    if (!IsAbsolutePath(name) || ::stat(name.c_str(), &st) != 0)
        return false;
    const mode_t writeBits = S_IWUSR | S_IWGRP | S_IWOTH;
    // Clearing read-only gives the owner back the write bit only.
    const mode_t mode = (attributes & faReadOnly) ? st.st_mode & ~writeBits
                        : (st.st_mode & S_IWUSR)  ? st.st_mode
                                                  : st.st_mode | S_IWUSR;
    // Only a writable file takes a new user attribute, so the attribute goes
    // first, through a write bit lent for it, and the mode last.
    const bool lend = !(st.st_mode & S_IWUSR);
    if (lend && ::chmod(name.c_str(), (st.st_mode | S_IWUSR) & 07777) != 0)
        return false;
    if (!WriteStoredAttributes(name, attributes & kStoredAttributes)) {
        if (lend)
            ::chmod(name.c_str(), st.st_mode & 07777);
        return false;
    }
    return (mode == st.st_mode && !lend) || ::chmod(name.c_str(), mode & 07777) == 0;
}

bool HasAttr(const std::string& name, std::uint16_t attributes)
{
    return (FileGetAttr(name) & attributes) == attributes;
}

} // namespace lumeno
