#include "imagelib/parallel_ranges.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <sched.h>
#include <thread>
#include <vector>

namespace lumeno {

namespace {

// Below this much work threads cost more than they save.
constexpr std::int64_t ParallelWork = std::int64_t{1} << 21;
constexpr int ParallelRows = 32;
// More threads than this only queue for the memory bus.
constexpr int MaxThreads = 16;

std::atomic<int> FixedThreads{0};

} // namespace

int AvailableCpus()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

int ParallelThreads()
{
    const int fixed = FixedThreads;
    return fixed > 0 ? fixed : AvailableCpus();
}

void SetParallelThreads(int Count)
{
    FixedThreads = std::max(Count, 0);
}

int ThreadsFor(std::int64_t Work, int Rows)
{
    if (Work < ParallelWork || Rows < ParallelRows)
        return 1;
    return std::min(ParallelThreads(), MaxThreads);
}

void ParallelRanges(int Count, int Block, const TRangeWork& Work, const TRangeProgress& Progress)
{
    if (Count <= 0)
        return;
    Block = std::max(Block, 1);
    const int blocks = (Count + Block - 1) / Block;
    const int threads = std::min(ParallelThreads(), blocks);
    std::atomic<int> next{0}, done{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto run = [&](int thread, bool report) {
        try {
            for (int b = next++; b < blocks; b = next++) {
                const int begin = b * Block, end = std::min(Count, begin + Block);
                Work(thread, begin, end);
                const int total = done += end - begin;
                if (report && Progress)
                    Progress(total);
            }
        } catch (...) {
            next = blocks;
            const std::lock_guard lock(failureLock);
            if (!failure)
                failure = std::current_exception();
        }
    };
    std::vector<std::jthread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(run, t, false);
    run(0, true);
    helpers.clear();
    if (failure)
        std::rethrow_exception(failure);
}

std::vector<int> SliceBounds(int Count)
{
    const int slices = std::clamp(Count, 1, ParallelThreads());
    std::vector<int> bounds;
    for (int s = 0; s <= slices; ++s)
        bounds.push_back(static_cast<int>(static_cast<long long>(std::max(Count, 0)) * s / slices));
    return bounds;
}

void RunSlices(const std::vector<int>& Bounds, const std::function<void(int Begin, int End)>& Work)
{
    // One slice per block, so a failure in any slice reaches the caller.
    ParallelRanges(static_cast<int>(Bounds.size()) - 1, 1, [&](int, int first, int last) {
        for (int s = first; s < last; ++s)
            Work(Bounds[static_cast<std::size_t>(s)], Bounds[static_cast<std::size_t>(s) + 1]);
    });
}

} // namespace lumeno
