#include "controls/shell/change_notify.h"

#include "controls/shell/change_notification.h"
#include "controls/shell/change_notify_thread.h"
#include "controls/shell/stop_event.h"

#include <cstring>

namespace lumeno {

unsigned ChangeNotifyFilterBits(TChangeNotifies notifies)
{
    static constexpr unsigned bits[] = {cnFileName, cnDirName, cnAttributes, cnSize, cnLastWrite, cnSecurity};
    unsigned filter = 0;
    for (int value = noFileName; value <= noSecurity; ++value)
        if (notifies.Contains(TChangeNotifyFilter(value)))
            filter |= bits[value];
    return filter;
}

TChangeNotify::TChangeNotify() = default;

TChangeNotify::~TChangeNotify()
{
    destroying_ = true;
    Stop();
}

void TChangeNotify::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    Restart();
}

void TChangeNotify::SetWatchFor(TChangeNotifies value)
{
    if (value == watchFor_)
        return;
    watchFor_ = value;
    Restart();
}

void TChangeNotify::SetPathname(const std::string& value)
{
    if (value == pathname_)
        return;
    pathname_ = value;
    Restart();
}

void TChangeNotify::SetWatchSubtree(bool value)
{
    if (value == watchSubtree_)
        return;
    watchSubtree_ = value;
    Restart();
}

void TChangeNotify::Stop()
{
    if (stopEvent_)
        stopEvent_->Set();
    thread_.reset();
    stopEvent_.reset();
    notification_.reset();
}

void TChangeNotify::Restart()
{
    Stop();
    if (destroying_ || !enabled_ || pathname_.empty())
        return;
    auto notification =
        std::make_unique<TChangeNotification>(pathname_, watchSubtree_, ChangeNotifyFilterBits(watchFor_));
    if (notification->ErrorCode() != 0)
        throw EChangeNotify(std::strerror(notification->ErrorCode()));
    notification_ = std::move(notification);
    stopEvent_ = std::make_unique<TStopEvent>();
    thread_ = std::make_unique<TChangeNotifyThread>(*notification_, *stopEvent_, [this] {
        // A handler may free or restart this component: keep a copy.
        const TNotifyEvent handler = OnChange;
        if (handler)
            handler(this);
    });
}

} // namespace lumeno
