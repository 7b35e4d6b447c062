#pragma once
// Zeroed pixel memory. Large blocks are mapped from the kernel in huge pages:
// they arrive zeroed without a pass over them, and a reader's first write
// faults them in a few large pages instead of thousands of small ones.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lumeno {

struct TPixelMemoryRelease {
    std::size_t Size = 0;
    void operator()(std::uint8_t* p) const;
};

using TPixelMemory = std::unique_ptr<std::uint8_t[], TPixelMemoryRelease>;

// Size zeroed bytes; empty when the memory cannot be had. Large blocks freed
// lately are reused for blocks of their size.
TPixelMemory AllocatePixelMemory(std::size_t Size);
// Bytes of freed large blocks kept for reuse.
std::size_t PooledPixelMemory();

} // namespace lumeno
