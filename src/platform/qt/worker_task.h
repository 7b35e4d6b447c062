#pragma once
// One long job of a window on a worker thread, so the window keeps painting
// and answering Esc. The job works on data of its own; a timer hands its
// progress to the window, and its outcome reaches the main thread unless
// the task was stopped. One job runs at a time.

#include "platform/exception.h"
#include "platform/qt/main_thread_call.h"

#include <atomic>
#include <exception>
#include <functional>
#include <memory>

class QTimer;
class QWidget;

namespace lumeno {

class TCloseAfterWork;
class TWorkerPool;

// Raised inside a job at its next report once the task is stopped.
LUMENO_DECLARE_EXCEPTION(EWorkStopped, Exception);

class TWorkerTask {
public:
    // What a job sees of its task (worker thread).
    class TProgress {
    public:
        // Step of Max done; raises EWorkStopped once the task is stopped.
        void Report(int Step, int Max);
        // Runs Call on the main thread and waits for it; raises
        // EWorkStopped when the task was stopped instead.
        void Synchronize(std::function<void()> Call);

    private:
        friend class TWorkerTask;
        std::atomic<int> percent_ = 0;
        std::atomic<bool> stopped_ = false;
        TMainThreadCall gate_;
    };
    using TJob = std::function<void(TProgress& Progress)>;
    // Main thread: the percentage done, every ProgressIntervalMs while the job runs.
    using TProgressEvent = std::function<void(int Percent)>;
    // Main thread: the job ended by itself; Error is empty when it succeeded.
    using TDoneEvent = std::function<void(std::exception_ptr Error)>;

    static constexpr int ProgressIntervalMs = 100;

    TWorkerTask();
    ~TWorkerTask();
    TWorkerTask(const TWorkerTask&) = delete;
    TWorkerTask& operator=(const TWorkerTask&) = delete;

    // Main thread; false (and nothing started) while a job runs.
    bool Start(TJob Job, TProgressEvent OnProgress, TDoneEvent OnDone);
    // Main thread: the job ends at its next report and this waits for it;
    // nothing more of it reaches the main thread, and a close waiting for it
    // is called off. Safe from its events.
    void Stop();
    bool Running() const { return running_; }
    // The jobs are work the user expects to end by itself, such as a save:
    // closing Window, or the program, while one runs waits for it.
    void KeepOpen(QWidget* Window);

private:
    // Stop, without a word to a waiting close: the task is being freed.
    void Halt();
    void Finish();
    // Tells a close waiting for the job how it ended.
    void EndClose(bool Done);

    std::unique_ptr<QTimer> timer_;
    TProgressEvent onProgress_;
    std::shared_ptr<TProgress> progress_;
    std::unique_ptr<TWorkerPool> pool_;
    std::unique_ptr<TCloseAfterWork> closer_;
    bool running_ = false;
};

} // namespace lumeno
