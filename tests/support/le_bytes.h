#pragma once
// Little-endian words appended to a byte buffer, for tests that build files
// byte by byte.

#include <cstdint>
#include <vector>

namespace lumeno::test {

inline void Put16(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Put32(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

} // namespace lumeno::test
