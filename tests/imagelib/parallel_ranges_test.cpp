#include "imagelib/parallel_ranges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

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

// Progress sees the finished indices from 0 on grow, on the calling thread.
// Once it says stop no block starts, bar one per helper that had already
// taken its next, and it is not asked again.
TEST(ParallelRanges, ProgressFollowsTheFinishedPrefixAndStopsTheRun)
{
    for (const int threads : {1, 4}) {
        SetParallelThreads(threads);
        const auto caller = std::this_thread::get_id();
        std::vector<std::atomic<int>> seen(1000);
        std::vector<int> reports;
        bool wrong = false;
        ParallelRanges(
            1000, 7,
            [&](int, int begin, int end) {
                for (int i = begin; i < end; ++i)
                    ++seen[static_cast<std::size_t>(i)];
            },
            [&](int done) {
                wrong = wrong || std::this_thread::get_id() != caller;
                for (int i = 0; i < done; ++i)
                    wrong = wrong || seen[static_cast<std::size_t>(i)] != 1;
                reports.push_back(done);
                return true;
            });
        EXPECT_FALSE(wrong) << threads;
        ASSERT_FALSE(reports.empty());
        EXPECT_TRUE(std::adjacent_find(reports.begin(), reports.end(), std::greater_equal<>()) ==
                    reports.end());
        EXPECT_EQ(reports.back(), 1000);

        std::atomic<int> started{0};
        int asked = 0, startedWhenStopped = 0;
        ParallelRanges(
            1000, 7,
            [&](int, int, int) {
                ++started;
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            },
            [&](int) {
                ++asked;
                startedWhenStopped = started;
                return false;
            });
        EXPECT_EQ(asked, 1);
        EXPECT_LE(started.load(), startedWhenStopped + threads - 1) << threads;
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
