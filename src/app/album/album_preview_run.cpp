#include "app/album/album_preview_run.h"

#include <memory>

namespace lumeno {

TAlbumPreviewRun::TAlbumPreviewRun(std::vector<TAlbumCellJob> jobs, TReadyEvent onReady,
                                   TFinishedEvent onFinished)
    : jobs_(std::move(jobs)), onReady_(std::move(onReady)), onFinished_(std::move(onFinished))
{
}

TAlbumPreviewRun::~TAlbumPreviewRun()
{
    Stop();
}

void TAlbumPreviewRun::Start(int threadCount)
{
    running_ = true;
    if (jobs_.empty()) {
        running_ = false;
        if (onFinished_)
            onFinished_();
        return;
    }
    threadCount = std::max(1, std::min<int>(threadCount, int(jobs_.size())));
    ahead_ = std::size_t(threadCount) * 2;
    for (int i = 0; i < threadCount; ++i)
        threads_.emplace_back([this] { Work(); });
}

void TAlbumPreviewRun::Stop()
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
    running_ = false;
}

void TAlbumPreviewRun::Work()
{
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopped_ || next_ >= jobs_.size() || next_ < delivered_ + ahead_; });
            if (stopped_ || next_ >= jobs_.size())
                return;
            index = next_++;
        }
        auto picture = std::make_shared<TAlbumCellPicture>(PrepareAlbumCell(jobs_[index]));
        gate_.Queue([this, picture] { Arrived(std::move(*picture)); });
    }
}

void TAlbumPreviewRun::Arrived(TAlbumCellPicture picture)
{
    const int index = picture.Index;
    arrived_.emplace(index, std::move(picture));
    Deliver();
}

void TAlbumPreviewRun::Deliver()
{
    // A message box shown from OnReady lets later entries arrive; the outer
    // call hands them on when the box is closed.
    if (delivering_)
        return;
    delivering_ = true;
    for (;;) {
        std::size_t index = 0;
        {
            std::lock_guard lock(mutex_);
            if (stopped_)
                break;
            index = delivered_;
        }
        const auto it = arrived_.find(int(index));
        if (it == arrived_.end())
            break;
        TAlbumCellPicture picture = std::move(it->second);
        arrived_.erase(it);
        onReady_(picture);
        bool last = false;
        {
            std::lock_guard lock(mutex_);
            if (stopped_)
                break;
            ++delivered_;
            last = delivered_ == jobs_.size();
        }
        wake_.notify_all();
        if (last) {
            running_ = false;
            delivering_ = false;
            if (onFinished_)
                onFinished_();
            return;
        }
    }
    delivering_ = false;
}

} // namespace lumeno
