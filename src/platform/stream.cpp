#include "platform/stream.h"

#include "platform/absolute_path.h"
#include "platform/exception.h"
#include "platform/fd.h"
#include "platform/in_place_write.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace lumeno {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileBufferSize = 1 << 16;
// Links followed before a chain counts as a loop, as the kernel counts.
constexpr int kMaxLinks = 40;

// The kernel's rule for links in shared folders (sticky and writable by
// all, as /tmp): only a link of the user or of the folder's owner is
// followed there, so another user cannot point a save at the user's files.
bool MayFollow(const struct stat& link, const struct stat& folder)
{
    constexpr mode_t kShared = S_ISVTX | S_IWOTH;
    const bool shared = (folder.st_mode & kShared) == kShared;
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

// The body of a link, read from the very link that was checked.
fs::path ReadLink(int link, const std::string& target)
{
    std::vector<char> body(PATH_MAX);
    const ssize_t n = ::readlinkat(link, "", body.data(), body.size());
    if (n < 0 || static_cast<std::size_t>(n) == body.size())
        RaiseCannotCreate(target, n < 0 ? errno : ENAMETOOLONG);
    return std::string(body.data(), static_cast<std::size_t>(n));
}

// Walks to the folder of an absolute path one name at a time, judging each
// link met on the way, those reached through other links too. What cannot
// be walked is left to the save's own open to report.
void CheckFolderLinks(const fs::path& path, const std::string& target)
{
    const fs::path folders = path.parent_path();
    std::vector<fs::path> rest(folders.begin(), folders.end());
    std::reverse(rest.begin(), rest.end());
    TFd folder(-1);
    for (int links = 0; !rest.empty();) {
        const fs::path name = rest.back();
        rest.pop_back();
        if (name.empty())
            continue;
        TFd next(name == "/" ? ::open("/", O_PATH | O_CLOEXEC)
                             : ::openat(folder.Get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (next.Get() < 0 || ::fstat(next.Get(), &st) != 0)
            return;
        if (!S_ISLNK(st.st_mode)) {
            folder = std::move(next);
            continue;
        }
        struct stat at {};
        if (++links > kMaxLinks)
            RaiseCannotCreate(target, ELOOP);
        if (::fstat(folder.Get(), &at) != 0 || !MayFollow(st, at))
            RaiseCannotCreate(target, EACCES);
        // The link's names take its place, the first to be walked next.
        const fs::path body = ReadLink(next.Get(), target);
        rest.insert(rest.end(), std::reverse_iterator(body.end()), std::reverse_iterator(body.begin()));
    }
}

// The file a path names after following its symbolic links, so a save
// replaces the link's target rather than the link; a dangling link names
// the file to create. The kernel judges the whole chain first where its
// rule for shared folders is on; every link on the way, in the folders of
// the path as in its last name, is judged here as well, as the setting may
// be off. A loop is refused as opening it would be.
std::string FollowLinks(const std::string& path)
{
    if (TFd(::open(path.c_str(), O_PATH | O_CLOEXEC)).Get() < 0 && errno == EACCES)
        RaiseCannotCreate(path, EACCES);
    fs::path p = path;
    for (int hops = 0;; ++hops) {
        CheckFolderLinks(p, path);
        const TFd link(::open(p.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (link.Get() < 0 || ::fstat(link.Get(), &st) != 0 || !S_ISLNK(st.st_mode))
            return p.string();
        if (hops == kMaxLinks)
            RaiseCannotCreate(path, ELOOP);
        struct stat folder {};
        if (::stat(p.parent_path().c_str(), &folder) != 0 || !MayFollow(st, folder))
            RaiseCannotCreate(path, EACCES);
        const fs::path next = ReadLink(link.Get(), path);
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
}

// The mode a file created now gets: 0666 less the umask, read without
// setting it, as other threads may be creating files. Private when unknown.
mode_t NewFileMode()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return 0666 & ~static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    return 0600;
}

// The read-only attribute is the owner's write bit; it holds for root too.
void CheckWritable(const std::string& resolved, const struct stat& st, const std::string& target)
{
    if ((st.st_mode & S_IWUSR) == 0)
        RaiseCannotCreate(target, EACCES);
    if (::faccessat(AT_FDCWD, resolved.c_str(), W_OK, AT_EACCESS) != 0)
        RaiseCannotCreate(target, errno);
}

// A relative path would save into whatever folder the process happens to be in.
const std::string& AbsoluteTarget(const std::string& target)
{
    if (!IsAbsolutePath(target))
        RaiseCannotCreate(target, EINVAL);
    return target;
}

bool FolderRefusesNewFiles(int err) { return err == EACCES || err == EPERM || err == EROFS; }

} // namespace

std::int64_t TStream::GetSize()
{
    const std::int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        RaiseWriteError();
}

void TStream::RaiseWriteError()
{
    throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::int64_t>(count, 1 << 20)));
    std::int64_t left = count;
    while (left > 0) {
        const std::int64_t n = std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size()));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= n;
    }
    return count;
}

// ---------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, TFileMode mode)
{
    // Non-blocking only for open() itself: a pipe would wait there for its
    // other end. Anything but a regular file is refused, as a pipe or device
    // can hang a reader or never end.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (mode) {
    case TFileMode::fmOpenRead: flags |= O_RDONLY; break;
    case TFileMode::fmOpenWrite: flags |= O_WRONLY; break;
    case TFileMode::fmOpenReadWrite: flags |= O_RDWR; break;
    case TFileMode::fmCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    const int fd = ::open(fileName.c_str(), flags, 0666);
    struct stat st {};
    const bool regular = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                         ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
    if (!regular) {
        const int error = fd < 0 ? errno : EINVAL;
        if (fd >= 0)
            ::close(fd);
        if (mode == TFileMode::fmCreate)
            RaiseCannotCreate(fileName, error);
        throw EFOpenError("Cannot open file " + fileName);
    }
    OpenFd(fd, fileName, mode != TFileMode::fmOpenRead);
}

void TFileStream::OpenFd(int fd, const std::string& fileName, bool writable)
{
    file_ = ::fdopen(fd, writable ? "r+b" : "rb");
    if (!file_) {
        ::close(fd);
        throw EFOpenError("Cannot open file " + fileName);
    }
    fileName_ = fileName;
    buffer_.resize(kFileBufferSize);
    std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
}

TFileStream::~TFileStream()
{
    if (file_)
        std::fclose(file_);
}

void TFileStream::Close()
{
    if (!file_)
        return;
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0)
        RaiseCannotWrite(fileName_, errno);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count)
{
    if (!file_ || count <= 0)
        return 0;
    return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), file_));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count)
{
    if (!file_ || count <= 0)
        return 0;
    const std::size_t written = std::fwrite(buffer, 1, static_cast<std::size_t>(count), file_);
    if (written < static_cast<std::size_t>(count))
        writeError_ = std::ferror(file_) && errno != 0 ? errno : EIO;
    return static_cast<std::int64_t>(written);
}

void TFileStream::RaiseWriteError()
{
    RaiseCannotWrite(fileName_, writeError_ != 0 ? writeError_ : EIO);
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    if (!file_)
        return 0;
    if (origin == TSeekOrigin::soCurrent && offset == 0)
        return ::ftello(file_);
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
    if (::fseeko(file_, offset, whence) != 0)
        return -1;
    return ::ftello(file_);
}

std::int64_t TFileStream::GetSize()
{
    if (!file_)
        return 0;
    std::fflush(file_);
    struct stat st {};
    if (::fstat(::fileno(file_), &st) != 0)
        return 0;
    return st.st_size;
}

void TFileStream::SetSize(std::int64_t newSize)
{
    if (!file_)
        return;
    std::fflush(file_);
    if (::ftruncate(::fileno(file_), newSize) != 0)
        RaiseCannotWrite(fileName_, errno);
    if (GetPosition() > newSize)
        SetPosition(newSize);
}

// ---------------------------------------------------------------------------

void TFileStream::Sync()
{
    if (file_ && (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0))
        RaiseCannotWrite(fileName_, errno);
}

TSafeFileStream::TSafeFileStream(const std::string& target)
    : target_(AbsoluteTarget(target)), resolved_(FollowLinks(target))
{
    struct stat st {};
    const bool exists = ::stat(resolved_.c_str(), &st) == 0;
    if (exists)
        CheckWritable(resolved_, st, target_);
    inPlace_ = exists && st.st_nlink > 1;
    CreateTempBeside();
    if (contentFd_ < 0) {
        if (!exists || !FolderRefusesNewFiles(errno))
            RaiseCannotCreate(target_, errno);
        inPlace_ = true;
        contentFd_ = OpenAnonymousTempFile();
        if (contentFd_ < 0)
            RaiseCannotCreate(target_, errno);
    } else if (exists && !KeepOwner(st.st_uid, st.st_gid)) {
        inPlace_ = true;
    }
    // Errors name the user's file, not the temporary one.
    const int fd = ::fcntl(contentFd_, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        RaiseCannotCreate(target_, errno);
    OpenFd(fd, target_, true);
}

void TSafeFileStream::CreateTempBeside()
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = resolved_ + ".lumeno-" + std::to_string(rd() % 1000000000u);
        // Private until Commit: whoever opens it now keeps reading after a chmod.
        contentFd_ = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (contentFd_ >= 0 || errno != EEXIST)
            break;
    }
    if (contentFd_ < 0)
        temp_.clear();
}

bool TSafeFileStream::KeepOwner(uid_t owner, gid_t group)
{
    struct stat own {};
    if (::fstat(contentFd_, &own) == 0 && own.st_uid == owner && own.st_gid == group)
        return true;
    return ::fchown(contentFd_, owner, group) == 0;
}

void TSafeFileStream::DropTemp()
{
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

TSafeFileStream::~TSafeFileStream()
{
    try {
        Close();
    } catch (...) {
        // The new content is discarded anyway.
    }
    if (!committed_ || inPlace_)
        DropTemp();
    if (contentFd_ >= 0)
        ::close(contentFd_);
}

void TSafeFileStream::Commit()
{
    Sync();
    Close();
    if (inPlace_) {
        ReplaceContentInPlace(contentFd_, resolved_, target_);
    } else {
        // Set once the content is complete, and after the owner, which
        // clears set-id bits.
        struct stat st {};
        const mode_t mode = ::stat(resolved_.c_str(), &st) == 0 ? st.st_mode & 07777 : NewFileMode();
        if (::fchmod(contentFd_, mode) != 0)
            RaiseCannotWrite(target_, errno);
        if (::rename(temp_.c_str(), resolved_.c_str()) != 0)
            RaiseCannotWrite(target_, errno);
    }
    committed_ = true;
}

// ---------------------------------------------------------------------------

TMemoryStream::TMemoryStream(const void* data, std::int64_t size)
    : data_(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size)
{
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count)
{
    const std::int64_t size = GetSize();
    if (count <= 0 || position_ >= size)
        return 0;
    const std::int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count)
{
    if (count <= 0)
        return 0;
    const std::int64_t end = position_ + count;
    if (end > GetSize()) {
        if (static_cast<std::size_t>(end) > data_.capacity())
            data_.reserve(std::max<std::size_t>(static_cast<std::size_t>(end), data_.capacity() * 2));
        data_.resize(static_cast<std::size_t>(end));
    }
    std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent)
        base = position_;
    else if (origin == TSeekOrigin::soEnd)
        base = GetSize();
    const std::int64_t pos = base + offset;
    if (pos < 0)
        return -1;
    position_ = pos;
    return position_;
}

void TMemoryStream::SetSize(std::int64_t newSize)
{
    data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(newSize, 0)));
    position_ = std::min(position_, GetSize());
}

void TMemoryStream::Clear()
{
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, TFileMode::fmOpenRead);
    const std::int64_t size = file.GetSize();
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    file.ReadBuffer(data.data(), size);
    data_ = std::move(data);
    position_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& fileName)
{
    TSafeFileStream file(fileName);
    file.WriteBuffer(data_.data(), GetSize());
    file.Commit();
}

} // namespace lumeno
