#include "app/viewer/pre_read.h"

#include "imagelib/pixel_graphic.h"

#include <QThreadPool>

#include <condition_variable>
#include <mutex>
#include <sys/stat.h>

namespace lumeno {

namespace {

struct TStamp {
    std::int64_t Size = -1;
    std::int64_t Time = 0;
    std::int64_t TimeNs = 0;
    bool operator==(const TStamp&) const = default;
};

TStamp StampOf(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return {};
    return {std::int64_t(st.st_size), std::int64_t(st.st_mtim.tv_sec), std::int64_t(st.st_mtim.tv_nsec)};
}

} // namespace

// Shared by the window and the worker, so a dropped job finishes on its own.
struct TPreRead::TJob {
    std::mutex Mutex;
    std::condition_variable Done;
    bool Finished = false;
    TStamp Stamp;
    std::unique_ptr<TPixelGraphic> Image;
};

TPreRead::TPreRead() = default;

TPreRead::~TPreRead() = default;

void TPreRead::Start(const std::string& Path, TColor FillColor)
{
    auto job = std::make_shared<TJob>();
    job_ = job;
    path_ = Path;
    QThreadPool::globalInstance()->start([job, Path, FillColor] {
        const TStamp stamp = StampOf(Path);
        std::unique_ptr<TPixelGraphic> image;
        try {
            image = std::make_unique<TPixelGraphic>();
            // Workers show no boxes: a warning only drops the read-ahead.
            image->SetReadWarningAction(pgwaRaise);
            image->SetFillColor(FillColor);
            image->LoadFromFile(Path);
        } catch (...) {
            image.reset();
        }
        std::lock_guard lock(job->Mutex);
        job->Stamp = stamp;
        job->Image = std::move(image);
        job->Finished = true;
        job->Done.notify_all();
    });
}

std::unique_ptr<TPixelGraphic> TPreRead::Take(const std::string& Path)
{
    if (!job_ || Path != path_)
        return nullptr;
    const std::shared_ptr<TJob> job = std::move(job_);
    path_.clear();
    std::unique_lock lock(job->Mutex);
    job->Done.wait(lock, [&] { return job->Finished; });
    if (!job->Image || !(job->Stamp == StampOf(Path)))
        return nullptr;
    return std::move(job->Image);
}

void TPreRead::Drop()
{
    job_.reset();
    path_.clear();
}

} // namespace lumeno
