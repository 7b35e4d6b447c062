#pragma once
// Prepares an album's cells on all cores and hands them to the main thread
// in entry order. Workers run at most a few entries ahead of the page, so
// a long album holds few pictures at a time. Stop (Esc, closing) takes no
// further entries, waits for those in flight and drops their results.

#include "app/album/album_cell.h"
#include "platform/qt/main_thread_call.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace lumeno {

class TAlbumPreviewRun {
public:
    // Main thread, in order; Finished after the last entry (not after Stop).
    using TReadyEvent = std::function<void(TAlbumCellPicture&)>;
    using TFinishedEvent = std::function<void()>;

    TAlbumPreviewRun(std::vector<TAlbumCellJob> jobs, TReadyEvent onReady, TFinishedEvent onFinished);
    ~TAlbumPreviewRun();
    TAlbumPreviewRun(const TAlbumPreviewRun&) = delete;
    TAlbumPreviewRun& operator=(const TAlbumPreviewRun&) = delete;

    void Start(int threadCount);
    // Main thread; may be called from inside OnReady.
    void Stop();
    bool Running() const { return running_; }

private:
    void Work();
    // Main thread: a prepared entry arrived.
    void Arrived(TAlbumCellPicture picture);
    void Deliver();

    std::vector<TAlbumCellJob> jobs_;
    TReadyEvent onReady_;
    TFinishedEvent onFinished_;
    TMainThreadCall gate_;
    std::vector<std::thread> threads_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::size_t next_ = 0;      // next job a worker takes
    std::size_t delivered_ = 0; // entries handed to the page
    std::size_t ahead_ = 8;     // how far workers may run ahead of the page
    bool stopped_ = false;

    // Main thread only.
    std::map<int, TAlbumCellPicture> arrived_;
    bool delivering_ = false;
    bool running_ = false;
};

} // namespace lumeno
