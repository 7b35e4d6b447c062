#pragma once
// What the codec tests share: the text of a codec's error, a reader's
// description of a file, and a stream that runs out of room.

#include "platform/stream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno::test {

// The message of the exception E that f raises, or "no error".
template <class E, class F> std::string ErrorText(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "no error";
}

struct Description {
    std::string SubFormat, Remarks, Colors;
    int Width = 0, Height = 0, BitCount = 0, ImageCount = 0;
};

template <class Reader> Description Describe(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream s(bytes);
    Description d;
    Reader().GetInfo(s, 0, d.SubFormat, d.Remarks, d.Width, d.Height, d.Colors, d.BitCount, d.ImageCount);
    return d;
}

// A stream that takes a fixed number of bytes and then fails.
class TFullStream : public TMemoryStream {
public:
    explicit TFullStream(std::int64_t room) : room_(room) {}
    std::int64_t Write(const void* buffer, std::int64_t count) override
    {
        if (GetSize() + count > room_)
            return 0;
        return TMemoryStream::Write(buffer, count);
    }

private:
    std::int64_t room_;
};

} // namespace lumeno::test
