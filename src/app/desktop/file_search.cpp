#include "app/desktop/file_search.h"

#include "controls/shell/file_masks.h"

#include <QStorageInfo>
#include <QString>

#include <algorithm>
#include <set>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumeno {

namespace {

bool Hidden(const char* name) { return name[0] == '.'; }

struct TWalk {
    const TMaskList& Masks;
    const std::atomic<bool>& Stop;
    const std::function<void(const std::string&)>& Found;
    const std::function<void(const std::string&)>& Folder;
    dev_t Device;
    // A bind mount of a parent inside its own tree shows the same folders
    // again and again; each is walked once.
    std::set<ino_t> Entered;

    // Folder ends with '/'; fd is its open descriptor (closed here).
    void Enter(const std::string& folder, int fd)
    {
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            return;
        }
        Folder(folder);
        std::vector<std::string> children;
        while (const dirent* entry = ::readdir(dir)) {
            if (Stop)
                break;
            if (Hidden(entry->d_name))
                continue;
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                struct stat st {};
                if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_LNK;
            }
            if (type == DT_DIR)
                children.emplace_back(entry->d_name);
            else if (type == DT_REG && MatchesMaskList(entry->d_name, Masks))
                Found(folder + entry->d_name);
        }
        // Closed before going deeper, so a deep tree holds no descriptors.
        ::closedir(dir);
        for (const std::string& child : children) {
            if (Stop)
                break;
            const std::string path = folder + child;
            const int childFd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (childFd < 0)
                continue;
            struct stat st {};
            if (::fstat(childFd, &st) != 0 || st.st_dev != Device || !Entered.insert(st.st_ino).second) {
                ::close(childFd);
                continue;
            }
            Enter(path + "/", childFd);
        }
    }
};

} // namespace

bool IsPseudoFileSystem(const std::string& Type, const std::string& MountPoint)
{
    static const char* const pseudo[] = {"proc",      "sysfs",     "devtmpfs", "devpts",    "cgroup",
                                         "cgroup2",   "securityfs", "pstore",  "debugfs",   "tracefs",
                                         "configfs",  "fusectl",   "mqueue",   "hugetlbfs", "bpf",
                                         "autofs",    "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",
                                         "selinuxfs", "ramfs"};
    for (const char* name : pseudo)
        if (Type == name)
            return true;
    for (const char* prefix : {"/proc", "/sys", "/dev", "/run/user/", "/run/lock"})
        if (MountPoint.rfind(prefix, 0) == 0)
            return true;
    return false;
}

std::vector<std::string> SearchVolumes()
{
    std::vector<std::string> roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const std::string root = volume.rootPath().toStdString();
        if (!volume.isValid() || !volume.isReady() ||
            IsPseudoFileSystem(volume.fileSystemType().toStdString(), root))
            continue;
        if (std::find(roots.begin(), roots.end(), root) == roots.end())
            roots.push_back(root);
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}

void SearchFolder(const std::string& Root, const std::string& Pattern, const std::atomic<bool>& Stop,
                  const std::function<void(const std::string&)>& Found,
                  const std::function<void(const std::string&)>& Folder)
{
    TMaskList masks;
    BuildMaskList(Pattern, masks);
    const int fd = ::open(Root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return;
    }
    TWalk walk{masks, Stop, Found, Folder, st.st_dev, {st.st_ino}};
    walk.Enter(Root.empty() || Root.back() != '/' ? Root + "/" : Root, fd);
}

void SortSearchResults(std::vector<std::string>& Paths)
{
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(Paths.size());
    for (std::string& path : Paths)
        keyed.emplace_back(QString::fromStdString(path).toCaseFolded(), std::move(path));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        Paths[i] = std::move(keyed[i].second);
}

TFileSearch::~TFileSearch()
{
    gate_.Cancel();
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void TFileSearch::Start(std::vector<std::string> Roots, std::string Pattern, TEvents Events)
{
    Stop();
    events_ = std::move(Events);
    stop_ = false;
    running_ = true;
    thread_ = std::thread(&TFileSearch::Run, this, std::move(Roots), std::move(Pattern), ++walk_);
}

void TFileSearch::Stop()
{
    if (!running_)
        return;
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    running_ = false;
    Flush();
}

void TFileSearch::Run(std::vector<std::string> Roots, std::string Pattern, unsigned Walk)
{
    const auto queueFlush = [this] {
        if (!flushQueued_.exchange(true))
            gate_.Queue([this] { Flush(); });
    };
    for (const std::string& root : Roots) {
        if (stop_)
            break;
        SearchFolder(
            root, Pattern, stop_,
            [&](const std::string& path) {
                std::lock_guard lock(mutex_);
                found_.push_back(path);
            },
            [&](const std::string& folder) {
                {
                    std::lock_guard lock(mutex_);
                    folder_ = folder;
                }
                queueFlush();
            });
    }
    if (stop_)
        return;
    // A walk stopped and started again before this runs must not be joined here.
    gate_.Queue([this, Walk] {
        if (!running_ || Walk != walk_)
            return;
        thread_.join();
        running_ = false;
        Flush();
        if (events_.OnDone)
            events_.OnDone();
    });
}

void TFileSearch::Flush()
{
    flushQueued_ = false;
    std::vector<std::string> found;
    std::string folder;
    {
        std::lock_guard lock(mutex_);
        found.swap(found_);
        folder = folder_;
    }
    if (events_.OnProgress && (!found.empty() || !folder.empty()))
        events_.OnProgress(found, folder);
}

} // namespace lumeno
