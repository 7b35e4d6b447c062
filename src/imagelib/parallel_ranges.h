#pragma once
// Work over a range of rows (or columns) on every core. Blocks of indices
// are handed out as threads ask for them; the calling thread works too and
// is the only one that reports progress.

#include <functional>
#include <vector>

namespace lumeno {

// Work(Thread, Begin, End) covers [Begin, End); Thread is below
// ParallelThreads() and names per-thread buffers. Progress(Done) runs on
// the calling thread after each block it finished.
using TRangeWork = std::function<void(int Thread, int Begin, int End)>;
using TRangeProgress = std::function<void(int Done)>;

int ParallelThreads();
// Caps the threads (0: every core), for comparisons and benchmarks; set it
// only while no parallel work runs.
void SetParallelThreadLimit(int Limit);
// Block is the number of indices handed out at once.
void ParallelRanges(int Count, int Block, const TRangeWork& Work, const TRangeProgress& Progress = {});
// [0, Count) cut into one contiguous slice per thread: Bounds[i] ..
// Bounds[i + 1]. For work that must know its slices before it starts.
std::vector<int> SliceBounds(int Count);
void RunSlices(const std::vector<int>& Bounds, const std::function<void(int Begin, int End)>& Work);

} // namespace lumeno
