#include "controls/shell/change_notification.h"

#include <cerrno>
#include <chrono>
#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumeno {

namespace {

constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                     IN_MODIFY | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF |
                                     IN_ONLYDIR | IN_DONT_FOLLOW;

std::string Join(const std::string& dir, const std::string& name)
{
    return dir == "/" ? "/" + name : dir + "/" + name;
}

bool IsRealDirectory(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

TChangeNotification::TChangeNotification(const std::string& path, bool subtree, unsigned filter)
    : subtree_(subtree), filter_(filter)
{
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    // The watched folder itself may be a symbolic link; only folders below
    // it are never followed.
    if (!AddWatch(path, true))
        return;
    if (subtree_)
        AddSubtree(path);
}

TChangeNotification::~TChangeNotification()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool TChangeNotification::NeedsStatus() const
{
    return (filter_ & (cnAttributes | cnSize | cnLastWrite | cnSecurity)) != 0;
}

bool TChangeNotification::AddWatch(const std::string& dir, bool root)
{
    const std::uint32_t mask = root ? (kWatchMask & ~IN_DONT_FOLLOW) : kWatchMask;
    const int wd = ::inotify_add_watch(fd_, dir.c_str(), mask);
    if (wd < 0) {
        if (root)
            error_ = errno;
        return false;
    }
    if (root)
        rootWd_ = wd;
    dirs_[wd] = dir;
    if (!NeedsStatus())
        return true;
    TFolderStatus& folder = status_[dir];
    folder.clear();
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                StatusChange(dir, name);
        }
        ::closedir(d);
    }
    return true;
}

void TChangeNotification::AddSubtree(const std::string& dir)
{
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string child = Join(dir, name);
        if ((e->d_type == DT_DIR || (e->d_type == DT_UNKNOWN && IsRealDirectory(child))) && AddWatch(child, false))
            AddSubtree(child);
    }
    ::closedir(d);
}

// Compares the entry with its last known status and records the new one;
// returns the filter bits of what changed.
unsigned TChangeNotification::StatusChange(const std::string& dir, const std::string& name)
{
    TFolderStatus& folder = status_[dir];
    struct stat st {};
    if (::lstat(Join(dir, name).c_str(), &st) != 0) {
        folder.erase(name);
        return 0;
    }
    TStatus now;
    now.Size = st.st_size;
    now.WriteTime = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    now.Mode = st.st_mode;
    now.Owner = st.st_uid;
    now.Group = st.st_gid;
    const auto found = folder.find(name);
    unsigned changed = 0;
    if (found != folder.end()) {
        const TStatus& before = found->second;
        if (before.Size != now.Size)
            changed |= cnSize;
        if (before.WriteTime != now.WriteTime)
            changed |= cnLastWrite;
        if (before.Mode != now.Mode)
            changed |= cnAttributes;
        if (before.Owner != now.Owner || before.Group != now.Group)
            changed |= cnSecurity;
    }
    folder[name] = now;
    return changed;
}

bool TChangeNotification::Classify(int wd, std::uint32_t mask, const std::string& name)
{
    if (mask & IN_Q_OVERFLOW)
        return true;
    const auto dir = dirs_.find(wd);
    if (dir == dirs_.end())
        return false;
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
        const bool root = wd == rootWd_;
        if (mask & IN_IGNORED) {
            status_.erase(dir->second);
            dirs_.erase(dir);
        }
        // The watched folder itself went away: whoever watches must look.
        return root && !(mask & IN_IGNORED);
    }
    if (name.empty())
        return false;
    const std::string folder = dir->second;
    if (mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) {
        const bool isDir = (mask & IN_ISDIR) != 0;
        if (NeedsStatus()) {
            if (mask & (IN_DELETE | IN_MOVED_FROM))
                status_[folder].erase(name);
            else
                StatusChange(folder, name);
        }
        if (subtree_ && isDir && (mask & (IN_CREATE | IN_MOVED_TO)) && AddWatch(Join(folder, name), false))
            AddSubtree(Join(folder, name));
        return (filter_ & (isDir ? cnDirName : cnFileName)) != 0;
    }
    if (!NeedsStatus())
        return false;
    return (StatusChange(folder, name) & filter_) != 0;
}

bool TChangeNotification::ReadEvents()
{
    alignas(inotify_event) char buffer[16384];
    bool matched = false;
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t offset = 0; offset + ssize_t(sizeof(inotify_event)) <= length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            const std::string name = event->len ? std::string(event->name, ::strnlen(event->name, event->len)) : "";
            matched = Classify(event->wd, event->mask, name) || matched;
            offset += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    return matched;
}

TChangeNotification::TWaitResult TChangeNotification::Wait(int stopFd, int timeoutMs)
{
    if (fd_ < 0 || error_ != 0)
        return wrFailed;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        int wait = -1;
        if (timeoutMs >= 0)
            wait = int(std::max<std::int64_t>(
                0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, stopFd >= 0 ? 2 : 1, wait);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return wrFailed;
        }
        if (ready == 0)
            return wrTimeout;
        if (stopFd >= 0 && (fds[1].revents & POLLIN))
            return wrStop;
        if (fds[0].revents & (POLLERR | POLLNVAL))
            return wrFailed;
        if ((fds[0].revents & POLLIN) && ReadEvents())
            return wrChange;
    }
}

} // namespace lumeno
