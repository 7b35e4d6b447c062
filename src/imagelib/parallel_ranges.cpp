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

// One run of ParallelRanges. Blocks are handed out in order, so the finished
// ones from the first on grow into a prefix the calling thread reports.
class TRangeRun {
public:
    TRangeRun(int Count, int Block, const TRangeWork& Work, const TRangeProgress& Progress)
        : count_(Count), block_(Block), blocks_(Count / Block + (Count % Block != 0)), work_(Work),
          progress_(Progress), finished_(static_cast<std::size_t>(blocks_))
    {
    }

    int Blocks() const { return blocks_; }

    void Help(int Thread)
    {
        Guarded([&] {
            for (int b = next_++; b < blocks_; b = next_++)
                RunBlock(Thread, b);
        });
    }

    // The calling thread's share: it reports after each of its blocks.
    void Lead()
    {
        Guarded([&] {
            for (int b = next_++; b < blocks_; b = next_++) {
                RunBlock(0, b);
                if (!Report()) {
                    stopped_ = true;
                    next_ = blocks_;
                }
            }
        });
    }

    // After the helpers are joined: raises the first failure, or reports
    // the rest.
    void Finish()
    {
        if (failure_)
            std::rethrow_exception(failure_);
        if (!stopped_)
            Report();
    }

private:
    void RunBlock(int Thread, int b)
    {
        const int begin = b * block_;
        work_(Thread, begin, begin + std::min(count_ - begin, block_));
        finished_[static_cast<std::size_t>(b)] = true;
    }

    bool Report()
    {
        if (!progress_)
            return true;
        while (prefix_ < blocks_ && finished_[static_cast<std::size_t>(prefix_)])
            ++prefix_;
        const auto done = static_cast<int>(std::min<std::int64_t>(count_, std::int64_t{prefix_} * block_));
        if (done <= reported_)
            return true;
        reported_ = done;
        return progress_(done);
    }

    template <class F> void Guarded(const F& Run)
    {
        try {
            Run();
        } catch (...) {
            next_ = blocks_;
            const std::lock_guard lock(failureLock_);
            if (!failure_)
                failure_ = std::current_exception();
        }
    }

    const int count_, block_, blocks_;
    const TRangeWork& work_;
    const TRangeProgress& progress_;
    std::atomic<int> next_{0};
    std::vector<std::atomic<bool>> finished_;
    // The calling thread's alone.
    int prefix_ = 0, reported_ = 0;
    bool stopped_ = false;
    std::mutex failureLock_;
    std::exception_ptr failure_;
};

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

void ParallelRanges(int Count, int Block, const TRangeWork& Work, const TRangeProgress& Progress, int Threads)
{
    if (Count <= 0)
        return;
    TRangeRun run(Count, std::max(Block, 1), Work, Progress);
    const int threads = std::min(Threads > 0 ? Threads : ParallelThreads(), run.Blocks());
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back([&run, t] { run.Help(t); });
        run.Lead();
    }
    run.Finish();
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
