#include "controls/shell/file_change_thread.h"

#include "controls/shell/change_notification.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace lumeno {

namespace {

constexpr int kSliceMs = 10;

// Counts the running watchers, so the process can let them end before it
// goes away.
struct TRunning {
    std::mutex Mutex;
    std::condition_variable Changed;
    int Count = 0;

    ~TRunning() { Wait(1000); }
    bool Wait(int timeoutMs)
    {
        std::unique_lock lock(Mutex);
        return Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return Count == 0; });
    }
};

TRunning& Running()
{
    static TRunning running;
    return running;
}

} // namespace

std::shared_ptr<TFileChangeThread> TFileChangeThread::Create(const std::string& path, bool watchSubtree,
                                                             TChangeNotifies filter,
                                                             std::function<void()> onTerminate)
{
    std::shared_ptr<TFileChangeThread> thread(
        new TFileChangeThread(path, std::move(onTerminate)));
    // Opened here, so no change between the call and the thread's start is lost.
    thread->notification_ =
        std::make_unique<TChangeNotification>(path, watchSubtree, ChangeNotifyFilterBits(filter));
    {
        std::lock_guard lock(Running().Mutex);
        ++Running().Count;
    }
    std::thread([self = thread] {
        self->Execute();
        TRunning& running = Running();
        std::lock_guard lock(running.Mutex);
        --running.Count;
        running.Changed.notify_all();
    }).detach();
    return thread;
}

TFileChangeThread::TFileChangeThread(std::string path, std::function<void()> onTerminate)
    : path_(std::move(path)), onTerminate_(std::move(onTerminate))
{
}

TFileChangeThread::~TFileChangeThread() = default;

void TFileChangeThread::Terminate()
{
    terminated_ = true;
    sync_.Cancel();
}

bool TFileChangeThread::WaitForAll(int timeoutMs) { return Running().Wait(timeoutMs); }

void TFileChangeThread::Execute()
{
    TChangeNotification& notification = *notification_;
    TChangeNotification::TWaitResult result =
        notification.ErrorCode() == 0 ? TChangeNotification::wrTimeout : TChangeNotification::wrFailed;
    while (!terminated_ && result == TChangeNotification::wrTimeout)
        result = notification.Wait(-1, kSliceMs);
    if (terminated_ || result != TChangeNotification::wrChange) {
        aborted_ = true;
        return;
    }
    sync_.Queue(onTerminate_);
}

} // namespace lumeno
