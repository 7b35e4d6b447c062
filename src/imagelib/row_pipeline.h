#pragma once
// Rows of an image operation computed on several threads and handed over
// strictly in order on the calling thread, where writing (and with it
// dithering, colour lookup and progress events) stays sequential.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace lumeno {

class TRowPipeline {
public:
    // One computed row: Count pixels of blue, green, red bytes for the
    // columns from Offset on (Count 0: nothing to write).
    struct TRow {
        int Offset = 0;
        int Count = 0;
        std::uint8_t* BGR = nullptr;
    };
    // Make runs on a worker (Thread tells which, for per-thread state);
    // Deliver runs on the calling thread and returns false to stop. What
    // either raises ends the run and leaves Run on the calling thread.
    // ThreadsFor (parallel_ranges.h) gives the Threads worth using.
    using TMake = std::function<void(int Thread, int Row, TRow& Out)>;
    using TDeliver = std::function<bool(int Row, const TRow& Out)>;

    static void Run(int From, int To, std::size_t RowBytes, int Threads, const TMake& Make,
                    const TDeliver& Deliver);
};

} // namespace lumeno
