#include "app/album/album_preview_run.h"

#include <algorithm>

namespace lumeno {

TAlbumPreviewRun::TAlbumPreviewRun(std::vector<TAlbumCellJob> jobs, TReadyEvent onReady,
                                   TFinishedEvent onFinished)
    : jobs_(std::move(jobs)), onReady_(std::move(onReady)), onFinished_(std::move(onFinished))
{
    pool_ = std::make_unique<TInOrderPool>(
        int(jobs_.size()),
        [this](int index) -> std::function<void()> {
            auto picture = std::make_shared<TAlbumCellPicture>(PrepareAlbumCell(jobs_[std::size_t(index)]));
            return [this, picture] { onReady_(*picture); };
        },
        [this] {
            if (onFinished_)
                onFinished_();
        });
}

void TAlbumPreviewRun::Start(int threadCount)
{
    pool_->Start(threadCount, std::max(threadCount, 1) * 2);
}

void TAlbumPreviewRun::Stop()
{
    pool_->Stop();
}

} // namespace lumeno
