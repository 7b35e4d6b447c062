#include "imagelib/pixel_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace lumeno {
namespace {

// Both kinds of block, small from the heap and large mapped, come zeroed and
// whole; releasing them (each its own way) is checked by the sanitizers.
TEST(PixelMemory, BlocksOfEverySizeAreZeroedAndWritable)
{
    for (const std::size_t size : {std::size_t{1}, std::size_t{4096}, (std::size_t{2} << 20) - 1,
                                   std::size_t{2} << 20, std::size_t{36000000}}) {
        TPixelMemory block = AllocatePixelMemory(size);
        ASSERT_TRUE(block) << size;
        EXPECT_TRUE(std::all_of(block.get(), block.get() + size, [](std::uint8_t b) { return b == 0; }))
            << size;
        std::memset(block.get(), 0xA5, size);
        EXPECT_EQ(block[size - 1], 0xA5) << size;
    }
}

} // namespace
} // namespace lumeno
