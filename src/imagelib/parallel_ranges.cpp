#include "imagelib/parallel_ranges.h"

#include "imagelib/row_pipeline.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace lumeno {

namespace {
std::atomic<int> threadLimit{0};
}

int ParallelThreads()
{
    static const int cores = TRowPipeline::AvailableCpus();
    const int limit = threadLimit;
    return limit > 0 ? std::min(limit, cores) : cores;
}

void SetParallelThreadLimit(int Limit)
{
    threadLimit = std::max(Limit, 0);
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
