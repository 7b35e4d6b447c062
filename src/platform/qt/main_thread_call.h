#pragma once
// Calls from a worker thread to the main thread that never reach a freed
// owner: the owner cancels the gate (on the main thread) before it frees
// what the calls touch. After Cancel() no queued call runs, and a worker
// waiting in Synchronize() returns at once, so the owner may wait for the
// worker even from inside one of its calls.

#include <functional>
#include <memory>

namespace lumeno {

class TMainThreadCall {
public:
    TMainThreadCall();
    // Worker: runs call on the main thread and waits until it ran or the
    // gate was cancelled. True when it ran.
    bool Synchronize(std::function<void()> call) const;
    // Worker: queues call for the main thread without waiting.
    void Queue(std::function<void()> call) const;
    // Main thread.
    void Cancel() const;
    bool Cancelled() const;

private:
    struct TState;
    std::shared_ptr<TState> state_;
};

} // namespace lumeno
