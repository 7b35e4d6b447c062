#pragma once
// The stream headers of an AVI file's header list: what each stream says
// about its kind, time base, length and frame rectangle before any data is
// decoded.

#include "platform/types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

struct TAviStreamHeader {
    std::string Type;        // "vids", "auds", ...
    std::uint32_t Scale = 0; // time base = Scale / Rate seconds
    std::uint32_t Rate = 0;
    std::uint32_t Start = 0;  // first sample, in stream time
    std::uint32_t Length = 0; // samples (frames for video)
    std::uint32_t SampleSize = 0;
    TRect Frame; // empty when the header has none
};

// The headers in stream order; empty when the file is not a RIFF AVI file.
// Throws EReadError when the header list is cut short or lies about sizes.
std::vector<TAviStreamHeader> ReadAviStreamHeaders(const std::string& fileName);

} // namespace lumeno
