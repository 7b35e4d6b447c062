#include "platform/periodic_timer.h"

#include <stdexcept>

namespace lumeno {

TPeriodicTimer::~TPeriodicTimer()
{
    Stop();
}

void TPeriodicTimer::Start(std::chrono::milliseconds period, TTick tick)
{
    if (period.count() < 1)
        throw std::invalid_argument("timer period below 1 ms");
    Stop();
    tick_ = std::move(tick);
    stopping_ = false;
    thread_ = std::thread([this, period] { Run(period); });
}

void TPeriodicTimer::Stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    tick_ = nullptr;
}

void TPeriodicTimer::Run(std::chrono::milliseconds period)
{
    auto deadline = std::chrono::steady_clock::now() + period;
    std::unique_lock lock(mutex_);
    bool ticking = true;
    while (!stopping_) {
        if (!ticking) {
            wake_.wait(lock, [this] { return stopping_; });
            break;
        }
        if (wake_.wait_until(lock, deadline, [this] { return stopping_; }))
            break;
        lock.unlock();
        ticking = tick_();
        lock.lock();
        deadline += period;
        // After a long stall, skip the missed ticks rather than firing a burst.
        const auto now = std::chrono::steady_clock::now();
        if (deadline < now)
            deadline = now + period;
    }
}

} // namespace lumeno
