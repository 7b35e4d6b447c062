#include "imagelib/pixel_memory.h"

#include "imagelib/memory_budget.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/mman.h>
#include <vector>

namespace lumeno {

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer guards only its own heap: every block comes from there.
constexpr std::size_t MappedFrom = SIZE_MAX;
#else
constexpr std::size_t MappedFrom = std::size_t{2} << 20;
#endif
constexpr std::size_t HugePage = std::size_t{2} << 20;
// A budget is for pictures: the small blocks around them (work rows,
// thumbnail cells) do not draw on it, so work that cannot wait or fail
// midway is never refused.
constexpr std::size_t BudgetedFrom = std::size_t{1} << 20;

// Whole huge pages: the kernel then places the block on a huge-page boundary.
std::size_t MappedSize(std::size_t size)
{
    return (size + HugePage - 1) / HugePage * HugePage;
}

// Recently freed large blocks, kept for the next block of the same size:
// repeated loads, undo copies and filter targets then skip the kernel's
// page faults and clearing. Bounded in count and bytes; a block idle for
// long is unmapped at the next visit, and a kept block is marked free for
// the kernel to take back under memory pressure.
class TBlockPool {
public:
    static constexpr std::size_t MaxBlocks = 4;
    static constexpr std::size_t MaxBytes = std::size_t{512} << 20;
    static constexpr std::chrono::seconds MaxIdle{30};

    void* Take(std::size_t mapped)
    {
        const std::lock_guard<std::mutex> guard(lock_);
        DropIdle();
        for (auto it = blocks_.begin(); it != blocks_.end(); ++it)
            if (it->Mapped == mapped) {
                void* p = it->Memory;
                bytes_ -= mapped;
                blocks_.erase(it);
                return p;
            }
        return nullptr;
    }

    // False when the block is not kept (the caller unmaps it).
    bool Give(void* memory, std::size_t mapped)
    {
        if (mapped > MaxBytes)
            return false;
        const std::lock_guard<std::mutex> guard(lock_);
        DropIdle();
        while (!blocks_.empty() && (blocks_.size() >= MaxBlocks || bytes_ + mapped > MaxBytes))
            Unmap(blocks_.begin());
        ::madvise(memory, mapped, MADV_FREE);
        blocks_.push_back({memory, mapped, std::chrono::steady_clock::now()});
        bytes_ += mapped;
        return true;
    }

    std::size_t Bytes()
    {
        const std::lock_guard<std::mutex> guard(lock_);
        DropIdle();
        return bytes_;
    }

private:
    struct TBlock {
        void* Memory;
        std::size_t Mapped;
        std::chrono::steady_clock::time_point Freed;
    };

    void DropIdle()
    {
        const auto now = std::chrono::steady_clock::now();
        while (!blocks_.empty() && now - blocks_.front().Freed > MaxIdle)
            Unmap(blocks_.begin());
    }

    void Unmap(std::vector<TBlock>::iterator block)
    {
        ::munmap(block->Memory, block->Mapped);
        bytes_ -= block->Mapped;
        blocks_.erase(block);
    }

    std::mutex lock_;
    std::vector<TBlock> blocks_; // oldest first
    std::size_t bytes_ = 0;
};

TBlockPool& Pool()
{
    // Never destroyed: blocks may be freed by other static objects' ends.
    static TBlockPool* pool = new TBlockPool;
    return *pool;
}

} // namespace

void TPixelMemoryRelease::operator()(std::uint8_t* p) const
{
    if (Size < MappedFrom)
        std::free(p);
    else if (!Pool().Give(p, MappedSize(Size)))
        ::munmap(p, MappedSize(Size));
    if (Charge)
        Charge->Budget.Refund(*Charge, static_cast<std::int64_t>(Size));
}

namespace {

std::uint8_t* Obtain(std::size_t size)
{
    if (size < MappedFrom)
        return static_cast<std::uint8_t*>(std::calloc(size, 1));
    const std::size_t mapped = MappedSize(size);
    if (void* kept = Pool().Take(mapped)) {
        std::memset(kept, 0, mapped);
        return static_cast<std::uint8_t*>(kept);
    }
    void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    // Only advice: without huge pages the block still works.
    ::madvise(p, mapped, MADV_HUGEPAGE);
    return static_cast<std::uint8_t*>(p);
}

} // namespace

TPixelMemory AllocatePixelMemory(std::size_t Size)
{
    std::shared_ptr<TBudgetCharge> charge = Size >= BudgetedFrom ? ThreadBudgetCharge() : nullptr;
    if (charge && !charge->Budget.Draw(*charge, static_cast<std::int64_t>(Size)))
        return TPixelMemory(nullptr, {Size, nullptr});
    std::uint8_t* p = Obtain(Size);
    if (!p) {
        if (charge)
            charge->Budget.Refund(*charge, static_cast<std::int64_t>(Size));
        return TPixelMemory(nullptr, {Size, nullptr});
    }
    return TPixelMemory(p, {Size, std::move(charge)});
}

std::size_t PooledPixelMemory()
{
    return Pool().Bytes();
}

} // namespace lumeno
