#include "app/album/album_preview_run.h"

namespace lumeno {

TAlbumPreviewRun::TAlbumPreviewRun(std::vector<TAlbumCellJob> jobs, TReadyEvent onReady,
                                   TFinishedEvent onFinished)
    : jobs_(std::move(jobs)), onReady_(std::move(onReady)), onFinished_(std::move(onFinished))
{
    pool_ = std::make_unique<TWorkerPool>(int(jobs_.size()), [this](int index) -> std::function<void()> {
        auto picture = std::make_shared<TAlbumCellPicture>(PrepareAlbumCell(jobs_[std::size_t(index)]));
        return [this, picture] { Arrived(std::move(*picture)); };
    });
}

void TAlbumPreviewRun::Start(int threadCount)
{
    if (jobs_.empty()) {
        if (onFinished_)
            onFinished_();
        return;
    }
    running_ = true;
    ahead_ = std::max(threadCount, 1) * 2;
    pool_->Start(threadCount, ahead_);
}

void TAlbumPreviewRun::Stop()
{
    running_ = false;
    pool_->Stop();
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
    while (running_) {
        const auto it = arrived_.find(delivered_);
        if (it == arrived_.end())
            break;
        TAlbumCellPicture picture = std::move(it->second);
        arrived_.erase(it);
        onReady_(picture);
        if (!running_)
            break;
        pool_->SetLimit(++delivered_ + ahead_);
        if (delivered_ == int(jobs_.size())) {
            running_ = false;
            delivering_ = false;
            pool_->Stop();
            if (onFinished_)
                onFinished_();
            return;
        }
    }
    delivering_ = false;
}

} // namespace lumeno
