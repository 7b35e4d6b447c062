#pragma once
// A folder change notification over inotify: signalled when something that
// the filter asks for changed in the folder (or below it). Size, write-time,
// attribute and owner changes are told apart by comparing each entry's
// status with the one seen before.

#include <cstdint>
#include <map>
#include <string>
#include <sys/types.h>

namespace lumeno {

// Filter bits.
constexpr unsigned cnFileName = 0x001;
constexpr unsigned cnDirName = 0x002;
constexpr unsigned cnAttributes = 0x004;
constexpr unsigned cnSize = 0x008;
constexpr unsigned cnLastWrite = 0x010;
constexpr unsigned cnSecurity = 0x100;

class TChangeNotification {
public:
    enum TWaitResult { wrChange, wrStop, wrTimeout, wrFailed };

    // Check ErrorCode() afterwards: 0 when the folder is watched.
    TChangeNotification(const std::string& path, bool subtree, unsigned filter);
    ~TChangeNotification();
    TChangeNotification(const TChangeNotification&) = delete;
    TChangeNotification& operator=(const TChangeNotification&) = delete;

    int ErrorCode() const { return error_; }
    // Waits for a matching change or until stopFd becomes readable; the
    // stop wins when both are ready. timeoutMs < 0 waits for ever. Changes
    // that arrive while no one waits are kept for the next wait.
    TWaitResult Wait(int stopFd, int timeoutMs);

private:
    struct TStatus {
        off_t Size = 0;
        std::int64_t WriteTime = 0;
        mode_t Mode = 0;
        uid_t Owner = 0;
        gid_t Group = 0;
    };
    using TFolderStatus = std::map<std::string, TStatus>;

    bool AddWatch(const std::string& dir, bool root);
    void AddSubtree(const std::string& dir);
    bool NeedsStatus() const;
    // Reads the pending events; true when one of them matches the filter.
    bool ReadEvents();
    bool Classify(int wd, std::uint32_t mask, const std::string& name);
    unsigned StatusChange(const std::string& dir, const std::string& name);

    int fd_ = -1;
    int error_ = 0;
    int rootWd_ = -1;
    bool subtree_;
    unsigned filter_;
    std::map<int, std::string> dirs_;
    std::map<std::string, TFolderStatus> status_;
};

} // namespace lumeno
