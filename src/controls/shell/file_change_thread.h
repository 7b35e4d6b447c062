#pragma once
// A one-shot watcher: waits for the first change in one folder, then ends;
// its end-notification runs on the main thread. It frees itself when it
// ends; its owner stops it with Terminate() and never waits for it.

#include "controls/shell/change_notify.h"
#include "platform/qt/main_thread_call.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace lumeno {

class TChangeNotification;

class TFileChangeThread : public std::enable_shared_from_this<TFileChangeThread> {
public:
    // Starts at once. onTerminate runs on the main thread after a change,
    // never after Terminate() and never when the folder cannot be watched.
    static std::shared_ptr<TFileChangeThread> Create(const std::string& path, bool watchSubtree,
                                                     TChangeNotifies filter, std::function<void()> onTerminate);
    // Main thread. The thread ends within about 10 ms.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // True when the thread ended without a change (stopped or unwatchable).
    bool Aborted() const { return aborted_; }
    const std::string& Path() const { return path_; }

    // Waits up to timeoutMs for every running watcher to end; true when none runs.
    static bool WaitForAll(int timeoutMs);
    ~TFileChangeThread();

private:
    TFileChangeThread(std::string path, std::function<void()> onTerminate);
    void Execute();

    std::string path_;
    std::unique_ptr<TChangeNotification> notification_;
    std::function<void()> onTerminate_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> aborted_{false};
    TMainThreadCall sync_;
};

} // namespace lumeno
