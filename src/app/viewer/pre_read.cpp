#include "app/viewer/pre_read.h"

#include "app/viewer/file_stamp.h"
#include "imagelib/memory_budget.h"
#include "imagelib/pixel_graphic.h"

#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace lumeno {

// Shared by the window and the worker, so a dropped job finishes on its own.
struct TPreRead::TJob {
    std::atomic<bool> Stop = false;
    std::mutex Mutex;
    std::condition_variable Done;
    bool Finished = false;
    TFileStamp Stamp;
    std::unique_ptr<TPixelGraphic> Image;
};

TPreRead::TPreRead() = default;

// The worker must not outlive the window: at exit it would still be decoding
// while the image library and the application are torn down.
TPreRead::~TPreRead()
{
    if (!job_)
        return;
    job_->Stop = true;
    std::unique_lock lock(job_->Mutex);
    job_->Done.wait(lock, [this] { return job_->Finished; });
}

void TPreRead::Start(const std::string& Path, TColor FillColor, std::function<void()> Finished)
{
    Drop();
    auto job = std::make_shared<TJob>();
    job_ = job;
    path_ = Path;
    QThreadPool::globalInstance()->start([job, Path, FillColor, Finished = std::move(Finished)] {
        const TFileStamp stamp = FileStampOf(Path);
        std::unique_ptr<TPixelGraphic> image;
        try {
            // Shared with the thumbnail workers; the picture leaves it read.
            const TMemoryBudgetScope budget(BackgroundMemoryBudget(), [&job] { return job->Stop.load(); });
            image = std::make_unique<TPixelGraphic>();
            // Workers show no boxes: a warning only drops the read-ahead.
            image->SetReadWarningAction(pgwaRaise);
            image->SetFillColor(FillColor);
            image->SetOnProgress([stop = &job->Stop](TObject*, int, int, bool& Abort) { Abort = *stop; });
            image->LoadFromFile(Path);
            // The handler must not travel with the picture past its job.
            image->SetOnProgress(nullptr);
            if (job->Stop)
                image.reset();
        } catch (...) {
            image.reset();
        }
        // Before the job counts as finished: the owner waits for that, so it
        // still exists while it is told.
        if (Finished && !job->Stop)
            Finished();
        std::lock_guard lock(job->Mutex);
        job->Stamp = stamp;
        job->Image = std::move(image);
        job->Finished = true;
        job->Done.notify_all();
    });
}

std::unique_ptr<TPixelGraphic> TPreRead::Take(const std::string& Path, TFileStamp* Stamp)
{
    if (!job_ || Path != path_)
        return nullptr;
    const std::shared_ptr<TJob> job = std::move(job_);
    path_.clear();
    std::unique_lock lock(job->Mutex);
    job->Done.wait(lock, [&] { return job->Finished; });
    if (!job->Image || !(job->Stamp == FileStampOf(Path)))
        return nullptr;
    if (Stamp)
        *Stamp = job->Stamp;
    return std::move(job->Image);
}

bool TPreRead::Ready(const std::string& Path) const
{
    if (!job_ || Path != path_)
        return false;
    std::lock_guard lock(job_->Mutex);
    return job_->Finished && job_->Image && job_->Stamp == FileStampOf(Path);
}

void TPreRead::Drop()
{
    if (job_)
        job_->Stop = true;
    job_.reset();
    path_.clear();
}

} // namespace lumeno
