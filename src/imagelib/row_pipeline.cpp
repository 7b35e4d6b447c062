#include "imagelib/row_pipeline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace lumeno {

namespace {

// Below this much work threads cost more than they save.
constexpr std::int64_t ParallelWork = std::int64_t{1} << 21;
constexpr int BlockRows = 8;

} // namespace

int TRowPipeline::ThreadsFor(std::int64_t Work, int Rows)
{
    if (Work < ParallelWork || Rows < 4 * BlockRows)
        return 1;
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

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

    // Blocks of rows go round the threads; finished rows wait in one buffer.
    std::vector<std::uint8_t> buffer(RowBytes * static_cast<std::size_t>(count));
    std::vector<TRow> rows(static_cast<std::size_t>(count));
    const int blocks = (count + BlockRows - 1) / BlockRows;
    std::vector<char> done(static_cast<std::size_t>(blocks), 0);
    std::mutex lock;
    std::condition_variable finished;
    std::atomic<bool> stop{false};

    const auto work = [&](int thread) {
        for (int b = thread; b < blocks && !stop.load(std::memory_order_relaxed); b += Threads) {
            const int last = std::min(count, (b + 1) * BlockRows);
            for (int i = b * BlockRows; i < last; ++i) {
                TRow& out = rows[static_cast<std::size_t>(i)];
                out.BGR = buffer.data() + RowBytes * static_cast<std::size_t>(i);
                Make(thread, From + i, out);
            }
            {
                const std::lock_guard<std::mutex> guard(lock);
                done[static_cast<std::size_t>(b)] = 1;
            }
            finished.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    for (int t = 0; t < Threads; ++t)
        workers.emplace_back(work, t);
    // Destroyed before the workers are joined: a raising Deliver stops them too.
    struct TStopOnExit {
        std::atomic<bool>& Stop;
        ~TStopOnExit() { Stop = true; }
    } stopOnExit{stop};

    for (int b = 0; b < blocks; ++b) {
        {
            std::unique_lock<std::mutex> guard(lock);
            finished.wait(guard, [&] { return done[static_cast<std::size_t>(b)] != 0; });
        }
        const int last = std::min(count, (b + 1) * BlockRows);
        for (int i = b * BlockRows; i < last; ++i)
            if (!Deliver(From + i, rows[static_cast<std::size_t>(i)]))
                return;
    }
}

} // namespace lumeno
