#pragma once
// A file's identity, size and times: a picture read earlier still stands for
// the file when its stamp has not changed since. The change time is in it
// because a copy can carry over an old modification time, and no program
// can set the change time.

#include <cstdint>
#include <string>

namespace lumeno {

struct TFileStamp {
    std::int64_t Size = -1;
    std::int64_t Time = 0;
    std::int64_t TimeNs = 0;
    std::int64_t ChangeTime = 0;
    std::int64_t ChangeTimeNs = 0;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    bool operator==(const TFileStamp&) const = default;
};

// The stamp of Path now; Size -1 when it cannot be read.
TFileStamp FileStampOf(const std::string& Path);

} // namespace lumeno
