#include "imagelib/parallel_ranges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stdexcept>

namespace lumeno {
namespace {

TEST(ParallelRanges, SlicesCoverEveryRowOnceAndFailuresReachTheCaller)
{
    for (const int limit : {1, 3, 0}) {
        SetParallelThreads(limit);
        const std::vector<int> bounds = SliceBounds(1000);
        std::vector<std::atomic<int>> seen(1000);
        RunSlices(bounds, [&](int begin, int end) {
            for (int y = begin; y < end; ++y)
                ++seen[static_cast<std::size_t>(y)];
        });
        for (const auto& s : seen)
            ASSERT_EQ(s.load(), 1);
        // The last slice runs on a helper whenever there is more than one.
        const int last = bounds[bounds.size() - 2];
        EXPECT_THROW(RunSlices(bounds,
                               [&](int begin, int) {
                                   if (begin == last)
                                       throw std::runtime_error("slice failed");
                               }),
                     std::runtime_error);
        EXPECT_THROW(ParallelRanges(100, 7, [](int, int begin, int) {
            if (begin >= 91)
                throw std::runtime_error("block failed");
        }),
                     std::runtime_error);
    }
    SetParallelThreads(0);
}

// Tests and benchmarks fix one count for the ordered pipeline and for the
// splitter alike; small work stays on the calling thread.
TEST(ParallelRanges, OneThreadCountServesAllParallelWork)
{
    SetParallelThreads(5);
    EXPECT_EQ(ParallelThreads(), 5);
    EXPECT_EQ(ThreadsFor(std::int64_t{4000} * 3000, 3000), 5);
    EXPECT_EQ(ThreadsFor(1000, 3000), 1);
    EXPECT_EQ(ThreadsFor(std::int64_t{4000} * 3000, 8), 1);
    std::mutex lock;
    int highest = 0;
    ParallelRanges(1000, 1, [&](int thread, int, int) {
        const std::lock_guard guard(lock);
        highest = std::max(highest, thread);
    });
    EXPECT_LT(highest, 5);
    SetParallelThreads(0);
    EXPECT_EQ(ParallelThreads(), AvailableCpus());
    EXPECT_GE(ParallelThreads(), 1);
}

} // namespace
} // namespace lumeno
