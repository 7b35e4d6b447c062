#pragma once
// Makes the thumbnails of a list of files on a pool of worker threads and
// hands them to the main thread in list order. One load runs at a time:
// Start stops the one before; Stop drops every result not yet handed over.
// While a modal window (a message box) is open, results wait for it.

#include "platform/types.h"

#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumeno {

class TThumbnailLoader {
public:
    struct TRequest {
        std::vector<std::string> Paths;
        int Size = 64;
        TColor Fill = 0;
    };
    // Main thread, once per file in order; Loaded is false for a question mark.
    using TCellEvent = std::function<void(int Index, const QImage& Cell, bool Loaded)>;
    // Main thread, after the last cell of a load that was not stopped.
    using TDoneEvent = std::function<void()>;

    // Threads 0: one per core.
    explicit TThumbnailLoader(int Threads = 0);
    ~TThumbnailLoader();
    TThumbnailLoader(const TThumbnailLoader&) = delete;
    TThumbnailLoader& operator=(const TThumbnailLoader&) = delete;

    void Start(TRequest Request, TCellEvent OnCell, TDoneEvent OnDone);
    // Ends the running load and waits for the files in work; nothing more of
    // it reaches the main thread.
    void Stop();
    bool Running() const;

private:
    struct TRun;

    int threadCount_;
    std::shared_ptr<TRun> run_;
};

} // namespace lumeno
