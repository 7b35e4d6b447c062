#include "platform/qt/worker_pool.h"

#include <algorithm>

namespace lumeno {

TWorkerPool::TWorkerPool(int count, TJob job) : count_(count), job_(std::move(job)) {}

TWorkerPool::~TWorkerPool()
{
    Stop();
}

void TWorkerPool::Start(int threadCount, int limit)
{
    limit_ = limit;
    threadCount = std::clamp(threadCount, 1, std::max(count_, 1));
    for (int i = 0; i < threadCount && count_ > 0; ++i)
        threads_.emplace_back([this] { Work(); });
}

void TWorkerPool::SetLimit(int limit)
{
    {
        std::lock_guard lock(mutex_);
        limit_ = limit;
    }
    wake_.notify_all();
}

void TWorkerPool::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    wake_.notify_all();
    gate_.Cancel();
    for (std::thread& t : threads_)
        t.join();
    threads_.clear();
}

void TWorkerPool::Work()
{
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopped_ || next_ >= count_ || next_ < limit_; });
            if (stopped_ || next_ >= count_)
                return;
            index = next_++;
        }
        gate_.Queue(job_(index));
    }
}

} // namespace lumeno
