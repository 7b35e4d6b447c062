#pragma once
// Saving thumbnails of selected files: the names a batch writes, and the
// batch itself on a worker thread. Names never replace the source, nor a file
// the same batch wrote; a read failure is reported and the batch goes on, a
// write failure is reported and ends it.

#include "platform/qt/main_thread_call.h"
#include "platform/types.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace lumeno {

// Prefix + the caption up to and including its first '.' (one is added when
// it has none) + the type: "thm_" "my.photo.jpg" "JPG" -> "thm_my.JPG".
std::string ThumbnailFileName(const std::string& Prefix, const std::string& Caption, const std::string& Type);

// Name with "_2", "_3" ... before its extension.
std::string NumberedFileName(const std::string& Name, int Number);

struct TBatchItem {
    std::string Source;
    std::string Target;
    // The target exists and is none of this batch's files: ask first.
    bool Exists = false;
};

// One item per caption, in order: Folder and OutFolder end with '/'. A
// target that is a source of the batch or an earlier target (compared
// without regard to case, as some disks do) takes the next free number.
std::vector<TBatchItem> PlanThumbnailBatch(const std::string& Folder, const std::vector<std::string>& Captions,
                                           const std::string& OutFolder, const std::string& Prefix,
                                           const std::string& Type);

class TThumbnailBatch {
public:
    struct TEvents {
        std::function<void(int Index)> OnItem;                   // before item Index
        std::function<void(const std::string& Path)> OnReadError; // the batch goes on
        std::function<void(const std::string& Text)> OnWriteError; // the batch ends
        std::function<void(bool Completed)> OnDone;
    };

    TThumbnailBatch() = default;
    ~TThumbnailBatch();
    TThumbnailBatch(const TThumbnailBatch&) = delete;
    TThumbnailBatch& operator=(const TThumbnailBatch&) = delete;

    // Events run on the main thread; the error events are waited for.
    void Start(std::vector<TBatchItem> Items, int Size, TColor Fill, TEvents Events);
    // Ends the batch after the item in work; OnDone does not follow.
    void Stop();
    bool Running() const { return running_; }

private:
    void Run(std::vector<TBatchItem> Items, int Size, TColor Fill, TEvents Events, TMainThreadCall Gate);

    std::thread thread_;
    TMainThreadCall gate_;
    std::atomic<bool> stop_ = false;
    bool running_ = false;
};

} // namespace lumeno
