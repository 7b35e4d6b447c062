#include "imagelib/row_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace lumeno {

namespace {

// Below this much work threads cost more than they save.
constexpr std::int64_t ParallelWork = std::int64_t{1} << 21;
constexpr int BlockRows = 8;
constexpr int WindowBlocksPerThread = 8;

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

    // Blocks of rows go round the threads; finished blocks wait in a ring of
    // a few blocks per thread, so a large picture is not held twice.
    const int blocks = (count + BlockRows - 1) / BlockRows;
    const int window = std::min(blocks, WindowBlocksPerThread * Threads);
    const std::size_t blockBytes = RowBytes * BlockRows;
    std::vector<std::uint8_t> buffer(blockBytes * static_cast<std::size_t>(window));
    std::vector<TRow> rows(static_cast<std::size_t>(window) * BlockRows);
    std::vector<char> done(static_cast<std::size_t>(blocks), 0);
    int delivered = 0; // blocks handed over so far
    bool stop = false;
    std::exception_ptr failure; // from Make on a worker, raised here
    std::mutex lock;
    std::condition_variable changed;

    const auto work = [&](int thread) {
        for (int b = thread; b < blocks; b += Threads) {
            {
                std::unique_lock<std::mutex> guard(lock);
                changed.wait(guard, [&] { return stop || b < delivered + window; });
                if (stop)
                    return;
            }
            const std::size_t slot = static_cast<std::size_t>(b % window);
            const int first = b * BlockRows, last = std::min(count, first + BlockRows);
            try {
                for (int i = first; i < last; ++i) {
                    TRow& out = rows[slot * BlockRows + static_cast<std::size_t>(i - first)];
                    out = TRow{0, 0,
                               buffer.data() + slot * blockBytes +
                                   RowBytes * static_cast<std::size_t>(i - first)};
                    Make(thread, From + i, out);
                }
            } catch (...) {
                {
                    const std::lock_guard<std::mutex> guard(lock);
                    if (!failure)
                        failure = std::current_exception();
                    stop = true;
                }
                changed.notify_all();
                return;
            }
            {
                const std::lock_guard<std::mutex> guard(lock);
                done[static_cast<std::size_t>(b)] = 1;
            }
            changed.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    for (int t = 0; t < Threads; ++t)
        workers.emplace_back(work, t);
    // Runs before the workers are joined, also when Deliver raises.
    const auto halt = [&] {
        {
            const std::lock_guard<std::mutex> guard(lock);
            stop = true;
        }
        changed.notify_all();
    };
    struct THaltOnExit {
        const decltype(halt)& Halt;
        ~THaltOnExit() { Halt(); }
    } haltOnExit{halt};

    for (int b = 0; b < blocks; ++b) {
        {
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(guard, [&] { return done[static_cast<std::size_t>(b)] != 0 || failure; });
            if (failure)
                std::rethrow_exception(failure);
        }
        const std::size_t slot = static_cast<std::size_t>(b % window);
        const int first = b * BlockRows, last = std::min(count, first + BlockRows);
        for (int i = first; i < last; ++i)
            if (!Deliver(From + i, rows[slot * BlockRows + static_cast<std::size_t>(i - first)]))
                return;
        {
            const std::lock_guard<std::mutex> guard(lock);
            delivered = b + 1;
        }
        changed.notify_all();
    }
}

} // namespace lumeno
