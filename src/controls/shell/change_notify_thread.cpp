#include "controls/shell/change_notify_thread.h"

#include "controls/shell/change_notification.h"
#include "controls/shell/stop_event.h"

namespace lumeno {

TChangeNotifyThread::TChangeNotifyThread(TChangeNotification& notification, TStopEvent& stop,
                                         std::function<void()> onChange)
    : notification_(notification), stop_(stop), onChange_(std::move(onChange)),
      thread_([this] { Execute(); })
{
}

TChangeNotifyThread::~TChangeNotifyThread()
{
    sync_.Cancel();
    if (thread_.joinable())
        thread_.join();
}

void TChangeNotifyThread::Execute()
{
    for (;;) {
        switch (notification_.Wait(stop_.Fd(), -1)) {
        case TChangeNotification::wrChange:
            // Waiting for the notification again re-arms it.
            sync_.Synchronize(onChange_);
            break;
        case TChangeNotification::wrTimeout:
            break;
        default:
            return;
        }
    }
}

} // namespace lumeno
