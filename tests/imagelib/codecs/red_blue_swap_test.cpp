#include "imagelib/codecs/red_blue_swap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace lumeno {
namespace {

// Every width around the vector steps, copied and in place, with guard bytes
// after the row that must stay untouched.
TEST(RedBlueSwap, EveryWidthCopiedAndInPlace)
{
    for (std::size_t pixels = 0; pixels <= 40; ++pixels) {
        std::vector<std::uint8_t> in(pixels * 3 + 4), out(pixels * 3 + 4, 0xEE), expected(pixels * 3);
        for (std::size_t i = 0; i < in.size(); ++i)
            in[i] = static_cast<std::uint8_t>(i * 37 + 11);
        for (std::size_t p = 0; p < pixels; ++p) {
            expected[p * 3] = in[p * 3 + 2];
            expected[p * 3 + 1] = in[p * 3 + 1];
            expected[p * 3 + 2] = in[p * 3];
        }
        SwapRedBlue(in.data(), out.data(), pixels);
        EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + pixels * 3), expected) << pixels;
        EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + pixels * 3, out.end()),
                  std::vector<std::uint8_t>(4, 0xEE))
            << pixels;
        const std::vector<std::uint8_t> tail(in.begin() + pixels * 3, in.end());
        SwapRedBlue(in.data(), in.data(), pixels);
        EXPECT_EQ(std::vector<std::uint8_t>(in.begin(), in.begin() + pixels * 3), expected) << pixels;
        EXPECT_EQ(std::vector<std::uint8_t>(in.begin() + pixels * 3, in.end()), tail) << pixels;
    }
}

} // namespace
} // namespace lumeno
