#pragma once
// A periodic timer whose callback runs on its own thread, paced by absolute
// deadlines so that a slow tick does not shift the ones after it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace lumeno {

class TPeriodicTimer {
public:
    // Returns false to end the ticking (the thread then idles until Stop).
    using TTick = std::function<bool()>;

    TPeriodicTimer() = default;
    ~TPeriodicTimer();
    TPeriodicTimer(const TPeriodicTimer&) = delete;
    TPeriodicTimer& operator=(const TPeriodicTimer&) = delete;

    // Stops a running timer first; period must be at least 1 ms.
    void Start(std::chrono::milliseconds period, TTick tick);
    // Returns once the callback is no longer running and will not run again.
    void Stop();
    bool Running() const { return thread_.joinable(); }

private:
    void Run(std::chrono::milliseconds period);

    TTick tick_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

} // namespace lumeno
