#pragma once
// A file's size and modification time: a picture read earlier still stands
// for the file when its stamp has not changed since.

#include <cstdint>
#include <string>

namespace lumeno {

struct TFileStamp {
    std::int64_t Size = -1;
    std::int64_t Time = 0;
    std::int64_t TimeNs = 0;
    bool operator==(const TFileStamp&) const = default;
};

// The stamp of Path now; Size -1 when it cannot be read.
TFileStamp FileStampOf(const std::string& Path);

} // namespace lumeno
