#pragma once
// Zeroed pixel memory. Large blocks are mapped from the kernel in huge pages:
// they arrive zeroed without a pass over them, and a reader's first write
// faults them in a few large pages instead of thousands of small ones.
// On a thread within a memory budget's scope, blocks of a megabyte or more
// draw on the budget.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lumeno {

struct TBudgetCharge;

struct TPixelMemoryRelease {
    std::size_t Size = 0;
    // The budget scope that paid for the block, if any.
    std::shared_ptr<TBudgetCharge> Charge;
    void operator()(std::uint8_t* p) const;
};

using TPixelMemory = std::unique_ptr<std::uint8_t[], TPixelMemoryRelease>;

// Size zeroed bytes; empty when the memory cannot be had or the thread's
// budget refuses it. Large blocks freed lately are reused for blocks of
// their size.
TPixelMemory AllocatePixelMemory(std::size_t Size);
// Bytes of freed large blocks kept for reuse.
std::size_t PooledPixelMemory();

} // namespace lumeno
