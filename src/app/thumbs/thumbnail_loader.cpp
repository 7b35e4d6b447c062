#include "app/thumbs/thumbnail_loader.h"

#include "app/thumbs/thumbnail_maker.h"
#include "platform/qt/main_thread_call.h"

#include <QApplication>
#include <QTimer>

#include <optional>

namespace lumeno {

namespace {
constexpr int kModalRetryMs = 100;
}

struct TThumbnailLoader::TRun {
    TRequest Request;
    TCellEvent OnCell;
    TDoneEvent OnDone;
    TMainThreadCall Gate;
    // Guarded by the loader's mutex.
    std::size_t Next = 0;
    int InFlight = 0;
    bool Cancelled = false;
    std::vector<std::optional<std::pair<QImage, bool>>> Results;
    // Main thread only.
    std::size_t Delivered = 0;
};

TThumbnailLoader::TThumbnailLoader(int Threads)
    : threadCount_(Threads > 0 ? Threads : std::max(1u, std::thread::hardware_concurrency()))
{
}

TThumbnailLoader::~TThumbnailLoader()
{
    Stop();
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void TThumbnailLoader::Start(TRequest Request, TCellEvent OnCell, TDoneEvent OnDone)
{
    Stop();
    auto run = std::make_shared<TRun>();
    run->Results.resize(Request.Paths.size());
    run->Request = std::move(Request);
    run->OnCell = std::move(OnCell);
    run->OnDone = std::move(OnDone);
    {
        std::lock_guard lock(mutex_);
        run_ = run;
        if (threads_.empty())
            for (int i = 0; i < threadCount_; ++i)
                threads_.emplace_back([this] { Work(); });
    }
    wake_.notify_all();
    if (run->Request.Paths.empty())
        run->Gate.Queue([this, run] { Deliver(run); });
}

void TThumbnailLoader::Stop()
{
    std::unique_lock lock(mutex_);
    if (!run_)
        return;
    std::shared_ptr<TRun> run = std::move(run_);
    run->Cancelled = true;
    run->Gate.Cancel();
    idle_.wait(lock, [&] { return run->InFlight == 0; });
}

bool TThumbnailLoader::Running() const
{
    std::lock_guard lock(mutex_);
    return run_ != nullptr;
}

void TThumbnailLoader::Work()
{
    TThumbWork work;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return quit_ || (run_ && run_->Next < run_->Results.size()); });
        if (quit_)
            return;
        std::shared_ptr<TRun> run = run_;
        const std::size_t index = run->Next++;
        ++run->InFlight;
        lock.unlock();
        const bool loaded = MakeThumbnailCell(run->Request.Paths[index], run->Request.Size, run->Request.Fill, work);
        QImage cell = ThumbnailImage(work.Cell);
        lock.lock();
        --run->InFlight;
        if (run->Cancelled) {
            idle_.notify_all();
            continue;
        }
        run->Results[index].emplace(std::move(cell), loaded);
        run->Gate.Queue([this, run] { Deliver(run); });
    }
}

void TThumbnailLoader::Deliver(const std::shared_ptr<TRun>& Run)
{
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(kModalRetryMs, qApp, [this, Run] {
            if (!Run->Gate.Cancelled())
                Deliver(Run);
        });
        return;
    }
    for (;;) {
        std::optional<std::pair<QImage, bool>> result;
        {
            std::lock_guard lock(mutex_);
            if (run_ != Run)
                return;
            if (Run->Delivered == Run->Results.size()) {
                run_.reset();
                break;
            }
            if (!Run->Results[Run->Delivered])
                return;
            result = std::move(Run->Results[Run->Delivered]);
            Run->Results[Run->Delivered].reset();
        }
        const int index = static_cast<int>(Run->Delivered++);
        if (Run->OnCell)
            Run->OnCell(index, result->first, result->second);
    }
    if (Run->OnDone)
        Run->OnDone();
}

} // namespace lumeno
