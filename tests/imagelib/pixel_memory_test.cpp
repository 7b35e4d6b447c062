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

// A freed large block comes back for the next block of its size, zeroed
// again; the blocks kept stay few.
TEST(PixelMemory, FreedLargeBlocksAreReusedZeroedAndBounded)
{
    const std::size_t size = 36000000;
    [[maybe_unused]] std::uint8_t* first = nullptr;
    {
        TPixelMemory block = AllocatePixelMemory(size);
        ASSERT_TRUE(block);
        first = block.get();
        std::memset(block.get(), 0x5A, size);
    }
    TPixelMemory again = AllocatePixelMemory(size);
    ASSERT_TRUE(again);
    EXPECT_TRUE(std::all_of(again.get(), again.get() + size, [](std::uint8_t b) { return b == 0; }));
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_EQ(again.get(), first);
#endif
    for (std::size_t i = 1; i <= 8; ++i)
        AllocatePixelMemory(i << 22).reset();
    EXPECT_LE(PooledPixelMemory(), std::size_t{512} << 20);
}

} // namespace
} // namespace lumeno
