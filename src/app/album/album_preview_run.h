#pragma once
// Prepares an album's cells on all cores and hands them to the main thread
// in entry order, workers running a few entries ahead of the page. Stop
// (Esc, closing) drops whatever has not been handed on.

#include "app/album/album_cell.h"
#include "platform/qt/in_order_pool.h"

#include <functional>
#include <memory>
#include <vector>

namespace lumeno {

class TAlbumPreviewRun {
public:
    // Main thread, in order; Finished after the last entry (not after Stop).
    using TReadyEvent = std::function<void(TAlbumCellPicture&)>;
    using TFinishedEvent = std::function<void()>;

    TAlbumPreviewRun(std::vector<TAlbumCellJob> jobs, TReadyEvent onReady, TFinishedEvent onFinished);
    TAlbumPreviewRun(const TAlbumPreviewRun&) = delete;
    TAlbumPreviewRun& operator=(const TAlbumPreviewRun&) = delete;

    void Start(int threadCount);
    // Main thread; may be called from inside OnReady.
    void Stop();
    bool Running() const { return pool_->Running(); }

private:
    std::vector<TAlbumCellJob> jobs_;
    TReadyEvent onReady_;
    TFinishedEvent onFinished_;
    // Last: its workers use the jobs.
    std::unique_ptr<TInOrderPool> pool_;
};

} // namespace lumeno
