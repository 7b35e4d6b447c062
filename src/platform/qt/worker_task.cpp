#include "platform/qt/worker_task.h"

#include "platform/qt/close_after_work.h"
#include "platform/qt/worker_pool.h"

#include <QTimer>

namespace lumeno {

void TWorkerTask::TProgress::Report(int Step, int Max)
{
    if (stopped_)
        throw EWorkStopped("Stopped");
    if (Max > 0)
        percent_ = static_cast<int>(static_cast<long long>(Step) * 100 / Max);
}

void TWorkerTask::TProgress::Synchronize(std::function<void()> Call)
{
    if (stopped_ || !gate_.Synchronize(std::move(Call)))
        throw EWorkStopped("Stopped");
}

TWorkerTask::TWorkerTask() : timer_(std::make_unique<QTimer>())
{
    timer_->setInterval(ProgressIntervalMs);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { onProgress_(progress_->percent_); });
}

TWorkerTask::~TWorkerTask()
{
    Halt();
}

void TWorkerTask::KeepOpen(QWidget* Window)
{
    closer_ = std::make_unique<TCloseAfterWork>(Window, [this] { return running_; });
}

bool TWorkerTask::Start(TJob Job, TProgressEvent OnProgress, TDoneEvent OnDone)
{
    if (running_)
        return false;
    pool_.reset();
    onProgress_ = std::move(OnProgress);
    progress_ = std::make_shared<TProgress>();
    std::shared_ptr<TProgress> progress = progress_;
    pool_ = std::make_unique<TWorkerPool>(
        1, [this, progress, job = std::move(Job), onDone = std::move(OnDone)](int) -> std::function<void()> {
            std::exception_ptr error;
            try {
                job(*progress);
            } catch (...) {
                error = std::current_exception();
            }
            // The pool drops this once the task is stopped.
            return [this, onDone, error] {
                Finish();
                try {
                    onDone(error);
                } catch (...) {
                    // What was awaited did not come to pass: the close is called off.
                    EndClose(false);
                    throw;
                }
                EndClose(!error);
            };
        });
    timer_->start();
    running_ = true;
    pool_->Start(1, 1);
    return true;
}

void TWorkerTask::Stop()
{
    const bool wasRunning = running_;
    Halt();
    if (wasRunning)
        EndClose(false);
}

void TWorkerTask::EndClose(bool Done)
{
    if (closer_)
        closer_->Ended(Done);
}

void TWorkerTask::Halt()
{
    if (progress_) {
        progress_->stopped_ = true;
        progress_->gate_.Cancel();
    }
    if (pool_)
        pool_->Stop();
    Finish();
}

void TWorkerTask::Finish()
{
    timer_->stop();
    running_ = false;
}

} // namespace lumeno
