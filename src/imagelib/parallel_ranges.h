#pragma once
// Work over a range of rows (or columns) on every core, in any order. Blocks
// of indices are handed out as threads ask for them; the calling thread
// works too and is the only one that reports progress. One thread count
// serves this and the ordered row pipeline.

#include <cstdint>
#include <functional>
#include <vector>

namespace lumeno {

// Work(Thread, Begin, End) covers [Begin, End); Thread is below the
// threads of the run and names per-thread buffers. Progress(Done) runs on
// the calling thread when more indices from 0 on are finished: all of
// [0, Done), Done growing up to Count. It returns false to stop: no block
// starts after that, blocks under way still finish.
using TRangeWork = std::function<void(int Thread, int Begin, int End)>;
using TRangeProgress = std::function<bool(int Done)>;

// CPUs this process may run on (its affinity mask, as taskset sets it).
int AvailableCpus();
// Threads of parallel work: one per available CPU unless fixed.
int ParallelThreads();
// Fixes the threads of all parallel work, also above the CPUs (tests and
// benchmarks compare counts); 0 goes back to one per CPU. Set it only while
// no parallel work runs.
void SetParallelThreads(int Count);
// Threads worth using for Work elementary steps over Rows rows: one where
// starting threads would cost more than they save.
int ThreadsFor(std::int64_t Work, int Rows);

// Block is the number of indices handed out at once; Threads at most run
// (0: ParallelThreads()).
void ParallelRanges(int Count, int Block, const TRangeWork& Work, const TRangeProgress& Progress = {},
                    int Threads = 0);
// [0, Count) cut into one contiguous slice per thread: Bounds[i] ..
// Bounds[i + 1]. For work that must know its slices before it starts.
std::vector<int> SliceBounds(int Count);
void RunSlices(const std::vector<int>& Bounds, const std::function<void(int Begin, int End)>& Work);

} // namespace lumeno
