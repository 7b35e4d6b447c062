#include "app/thumbs/thumbnail_loader.h"

#include "app/thumbs/thumbnail_maker.h"
#include "imagelib/memory_budget.h"
#include "imagelib/parallel_ranges.h"
#include "platform/qt/in_order_pool.h"

#include <QApplication>

#include <algorithm>
#include <atomic>

namespace lumeno {

struct TThumbnailLoader::TRun {
    TRequest Request;
    TCellEvent OnCell;
    TDoneEvent OnDone;
    // Ends the workers' waits for memory.
    std::atomic<bool> Stopping = false;
    // Last: its workers read the request.
    std::unique_ptr<TInOrderPool> Pool;
};

namespace {

bool ModalWindowOpen()
{
    return QApplication::activeModalWidget() != nullptr;
}

} // namespace

TThumbnailLoader::TThumbnailLoader(int Threads)
    : threadCount_(Threads > 0 ? Threads : AvailableCpus())
{
}

TThumbnailLoader::~TThumbnailLoader()
{
    Stop();
}

void TThumbnailLoader::Start(TRequest Request, TCellEvent OnCell, TDoneEvent OnDone)
{
    Stop();
    auto run = std::make_shared<TRun>();
    run->Request = std::move(Request);
    run->OnCell = std::move(OnCell);
    run->OnDone = std::move(OnDone);
    const TRequest* request = &run->Request;
    const std::atomic<bool>* stopping = &run->Stopping;
    // The events hold the run while they are called: either may start the
    // next load and so free this one.
    const std::weak_ptr<TRun> owner = run;
    run->Pool = std::make_unique<TInOrderPool>(
        int(request->Paths.size()),
        [request, stopping, owner](int index) -> std::function<void()> {
            // Each worker may hold a large picture: together they share one budget.
            const TMemoryBudgetScope budget(BackgroundMemoryBudget(), [stopping] { return stopping->load(); });
            TThumbWork work;
            const bool loaded =
                MakeThumbnailCell(request->Paths[std::size_t(index)], request->Size, request->Fill, work);
            return [owner, index, loaded, cell = ThumbnailImage(work.Cell)] {
                if (const std::shared_ptr<TRun> held = owner.lock(); held && held->OnCell)
                    held->OnCell(index, cell, loaded);
            };
        },
        [owner] {
            if (const std::shared_ptr<TRun> held = owner.lock(); held && held->OnDone)
                held->OnDone();
        },
        ModalWindowOpen);
    run_ = run;
    run->Pool->Start(threadCount_, 2 * threadCount_);
}

void TThumbnailLoader::Stop()
{
    if (run_) {
        run_->Stopping = true;
        run_->Pool->Stop();
    }
    run_.reset();
}

bool TThumbnailLoader::Running() const
{
    return run_ && run_->Pool->Running();
}

} // namespace lumeno
