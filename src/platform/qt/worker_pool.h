#pragma once
// Runs one job per index on worker threads and hands each result to the
// main thread. Workers take only indices below a limit the main thread
// moves on, so results never pile up. Stop takes no further index, waits
// for the jobs in flight and drops their results.

#include "platform/qt/main_thread_call.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lumeno {

class TWorkerPool {
public:
    // Runs on a worker; what it returns runs on the main thread. A job turns
    // its own failures into results: one that throws ends the program.
    using TJob = std::function<std::function<void()>(int Index)>;

    TWorkerPool(int count, TJob job);
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    void Start(int threadCount, int limit);
    // Main thread: workers may take indices below limit.
    void SetLimit(int limit);
    // Main thread; safe from inside a result.
    void Stop();

private:
    void Work();

    const int count_;
    TJob job_;
    TMainThreadCall gate_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    int next_ = 0;
    int limit_ = 0;
    bool stopped_ = false;
};

} // namespace lumeno
