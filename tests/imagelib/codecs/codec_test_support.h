#pragma once
// What the codec tests share: the text of a codec's error, and a reader's
// description of a file.

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

} // namespace lumeno::test
