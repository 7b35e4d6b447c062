#include "imagelib/pixel_memory.h"

#include <cstdlib>
#include <sys/mman.h>

namespace lumeno {

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer guards only its own heap: every block comes from there.
constexpr std::size_t MappedFrom = SIZE_MAX;
#else
constexpr std::size_t MappedFrom = std::size_t{2} << 20;
#endif
constexpr std::size_t HugePage = std::size_t{2} << 20;

// Whole huge pages: the kernel then places the block on a huge-page boundary.
std::size_t MappedSize(std::size_t size)
{
    return (size + HugePage - 1) / HugePage * HugePage;
}

} // namespace

void TPixelMemoryRelease::operator()(std::uint8_t* p) const
{
    if (Size >= MappedFrom)
        ::munmap(p, MappedSize(Size));
    else
        std::free(p);
}

TPixelMemory AllocatePixelMemory(std::size_t Size)
{
    if (Size < MappedFrom)
        return TPixelMemory(static_cast<std::uint8_t*>(std::calloc(Size, 1)), {Size});
    void* p = ::mmap(nullptr, MappedSize(Size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return TPixelMemory(nullptr, {Size});
    // Only advice: without huge pages the block still works.
    ::madvise(p, MappedSize(Size), MADV_HUGEPAGE);
    return TPixelMemory(static_cast<std::uint8_t*>(p), {Size});
}

} // namespace lumeno
