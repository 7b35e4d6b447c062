#pragma once
// A worker pool whose results reach the main thread in index order: each
// job's hand-over waits until those of all lower indices ran. Workers run
// at most a few indices ahead of the next hand-over, so finished results
// never pile up while the main thread is busy. Stop drops every result not
// yet handed over.

#include "platform/qt/worker_pool.h"

#include <functional>
#include <memory>

namespace lumeno {

class TInOrderPool {
public:
    using TJob = TWorkerPool::TJob;
    // Main thread, after the last hand-over of a run that was not stopped.
    using TDoneEvent = std::function<void()>;
    // Main thread: while it answers true, hand-overs wait (e.g. for a
    // message box to close).
    using THoldEvent = std::function<bool()>;

    TInOrderPool(int count, TJob job, TDoneEvent onDone, THoldEvent hold = {});
    ~TInOrderPool();
    TInOrderPool(const TInOrderPool&) = delete;
    TInOrderPool& operator=(const TInOrderPool&) = delete;

    // Workers may run up to ahead indices past the next hand-over. With no
    // jobs, OnDone still comes through the event loop.
    void Start(int threadCount, int ahead);
    // Main thread; safe from inside a hand-over or OnDone, which may also
    // destroy the pool.
    void Stop();
    bool Running() const;

private:
    struct TState;
    std::shared_ptr<TState> state_;
};

} // namespace lumeno
