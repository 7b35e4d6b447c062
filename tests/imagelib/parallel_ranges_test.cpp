#include "imagelib/parallel_ranges.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace lumeno {
namespace {

TEST(ParallelRanges, SlicesCoverEveryRowOnceAndFailuresReachTheCaller)
{
    for (const int limit : {1, 3, 0}) {
        SetParallelThreadLimit(limit);
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
    SetParallelThreadLimit(0);
}

} // namespace
} // namespace lumeno
