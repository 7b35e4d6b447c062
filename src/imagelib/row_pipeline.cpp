#include "imagelib/row_pipeline.h"

#include "imagelib/pixel_memory.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace lumeno {

namespace {

constexpr int MinBlockRows = 8;
constexpr int MaxBlockRows = 64;
// Blocks per thread: enough to even out uneven rows, few enough that
// handing them over costs nothing.
constexpr int BlocksPerThread = 8;
// Finished blocks wait in a ring of this many blocks per thread.
constexpr int WindowBlocksPerThread = 2;

// Shared state of one multi-threaded run. Each worker and the calling thread
// wait on a condition of their own, so a finished block wakes only the one
// thread that waits for it.
class TPipelineRun {
public:
    TPipelineRun(int From, int Count, std::size_t RowBytes, int Threads, const TRowPipeline::TMake& Make)
        : from_(From), count_(Count), rowBytes_(RowBytes), threads_(Threads), make_(Make),
          blockRows_(std::clamp(Count / (Threads * BlocksPerThread), MinBlockRows, MaxBlockRows)),
          blocks_((Count + blockRows_ - 1) / blockRows_),
          window_(std::min(blocks_, WindowBlocksPerThread * Threads)),
          buffer_(AllocatePixelMemory(RowBytes * static_cast<std::size_t>(blockRows_) *
                                      static_cast<std::size_t>(window_))),
          rows_(static_cast<std::size_t>(window_) * static_cast<std::size_t>(blockRows_)),
          done_(static_cast<std::size_t>(blocks_), 0), wake_(static_cast<std::size_t>(Threads))
    {
        if (!buffer_ && RowBytes > 0)
            throw std::bad_alloc();
    }

    int Blocks() const { return blocks_; }

    void Work(int thread)
    {
        for (int b = thread; b < blocks_; b += threads_) {
            {
                std::unique_lock<std::mutex> guard(lock_);
                wake_[static_cast<std::size_t>(thread)].wait(guard, [&] { return stop_ || b < delivered_ + window_; });
                if (stop_)
                    return;
            }
            try {
                MakeBlock(thread, b);
            } catch (...) {
                Fail(std::current_exception());
                return;
            }
            bool wanted;
            {
                const std::lock_guard<std::mutex> guard(lock_);
                done_[static_cast<std::size_t>(b)] = 1;
                wanted = awaited_ == b;
            }
            if (wanted)
                mainWake_.notify_one();
        }
    }

    // Waits for block B on the calling thread; raises a worker's failure.
    void AwaitBlock(int b)
    {
        std::unique_lock<std::mutex> guard(lock_);
        awaited_ = b;
        mainWake_.wait(guard, [&] { return done_[static_cast<std::size_t>(b)] != 0 || failure_; });
        awaited_ = -1;
        if (failure_)
            std::rethrow_exception(failure_);
    }

    template <class F> bool DeliverBlock(int b, const F& Deliver)
    {
        const int first = b * blockRows_, last = std::min(count_, first + blockRows_);
        for (int i = first; i < last; ++i)
            if (!Deliver(from_ + i, rows_[Slot(b) * static_cast<std::size_t>(blockRows_) +
                                          static_cast<std::size_t>(i - first)]))
                return false;
        {
            const std::lock_guard<std::mutex> guard(lock_);
            delivered_ = b + 1;
        }
        // The block that may now use the freed slot.
        const int next = b + window_;
        if (next < blocks_)
            wake_[static_cast<std::size_t>(next % threads_)].notify_one();
        return true;
    }

    void Stop()
    {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            stop_ = true;
        }
        for (std::condition_variable& c : wake_)
            c.notify_one();
        mainWake_.notify_one();
    }

private:
    std::size_t Slot(int b) const { return static_cast<std::size_t>(b % window_); }

    void MakeBlock(int thread, int b)
    {
        const int first = b * blockRows_, last = std::min(count_, first + blockRows_);
        std::uint8_t* block = buffer_.get() + Slot(b) * rowBytes_ * static_cast<std::size_t>(blockRows_);
        for (int i = first; i < last; ++i) {
            const std::size_t k = static_cast<std::size_t>(i - first);
            TRowPipeline::TRow& out = rows_[Slot(b) * static_cast<std::size_t>(blockRows_) + k];
            out = TRowPipeline::TRow{0, 0, block + rowBytes_ * k};
            make_(thread, from_ + i, out);
        }
    }

    void Fail(std::exception_ptr error)
    {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            if (!failure_)
                failure_ = error;
        }
        Stop();
    }

    const int from_, count_;
    const std::size_t rowBytes_;
    const int threads_;
    const TRowPipeline::TMake& make_;
    const int blockRows_, blocks_, window_;
    // Pixel memory: a window of many wide rows arrives in huge pages, cleared
    // by the kernel rather than by a pass of our own.
    TPixelMemory buffer_;
    std::vector<TRowPipeline::TRow> rows_;
    std::vector<char> done_;
    std::mutex lock_;
    std::vector<std::condition_variable> wake_;
    std::condition_variable mainWake_;
    int delivered_ = 0; // blocks handed over so far
    int awaited_ = -1;  // the block the calling thread waits for
    bool stop_ = false;
    std::exception_ptr failure_; // from Make on a worker, raised on the calling thread
};

} // namespace

void TRowPipeline::Run(int From, int To, std::size_t RowBytes, int Threads, const TMake& Make,
                       const TDeliver& Deliver)
{
    const int count = To - From + 1;
    if (count <= 0)
        return;
    if (Threads <= 1) {
        std::vector<std::uint8_t> buffer(RowBytes);
        for (int row = From; row <= To; ++row) {
            TRow out{0, 0, buffer.data()};
            Make(0, row, out);
            if (!Deliver(row, out))
                return;
        }
        return;
    }

    TPipelineRun run(From, count, RowBytes, Threads, Make);
    std::vector<std::jthread> workers;
    for (int t = 0; t < Threads; ++t)
        workers.emplace_back([&run, t] { run.Work(t); });
    // Stops the workers before they are joined, also when Deliver raises.
    struct TStopOnExit {
        TPipelineRun& Run;
        ~TStopOnExit() { Run.Stop(); }
    } stopOnExit{run};
    for (int b = 0; b < run.Blocks(); ++b) {
        run.AwaitBlock(b);
        if (!run.DeliverBlock(b, Deliver))
            return;
    }
}

} // namespace lumeno
