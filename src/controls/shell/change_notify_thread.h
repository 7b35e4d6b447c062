#pragma once
// The watcher thread of TChangeNotify: waits for the stop event or a change
// and hands each change to the main thread.

#include "platform/qt/main_thread_call.h"

#include <functional>
#include <thread>

namespace lumeno {

class TChangeNotification;
class TStopEvent;

class TChangeNotifyThread {
public:
    // onChange runs on the main thread; the notification and the stop event
    // must outlive the thread.
    TChangeNotifyThread(TChangeNotification& notification, TStopEvent& stop, std::function<void()> onChange);
    // Set the stop event first. Waits for the thread; a change call queued
    // or running is dropped, never waited for.
    ~TChangeNotifyThread();
    TChangeNotifyThread(const TChangeNotifyThread&) = delete;
    TChangeNotifyThread& operator=(const TChangeNotifyThread&) = delete;

private:
    void Execute();

    TChangeNotification& notification_;
    TStopEvent& stop_;
    std::function<void()> onChange_;
    TMainThreadCall sync_;
    std::thread thread_;
};

} // namespace lumeno
