#include "platform/qt/close_after_work.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace lumeno {

TCloseAfterWork::TCloseAfterWork(QWidget* Window, std::function<bool()> Busy)
    : FWindow(Window), FBusy(std::move(Busy))
{
    All().push_back(this);
    Window->installEventFilter(this);
}

TCloseAfterWork::~TCloseAfterWork()
{
    std::erase(All(), this);
}

std::vector<TCloseAfterWork*>& TCloseAfterWork::All()
{
    static std::vector<TCloseAfterWork*> all;
    return all;
}

bool TCloseAfterWork::Working() const
{
    return FBusy && FBusy();
}

bool TCloseAfterWork::Busy() const
{
    if (FBusy)
        return FBusy();
    return std::any_of(All().begin(), All().end(),
                       [](const TCloseAfterWork* work) { return work->Working(); });
}

bool TCloseAfterWork::WaitsFor(const TCloseAfterWork& Work) const
{
    return &Work == this || !FBusy;
}

bool TCloseAfterWork::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched != FWindow || Event->type() != QEvent::Close || !Busy())
        return false;
    Event->ignore();
    FPending = true;
    // The windows at work come forward, so the user sees what is awaited.
    for (const TCloseAfterWork* work : All())
        if (work->Working() && WaitsFor(*work) && work->FWindow) {
            work->FWindow->raise();
            work->FWindow->activateWindow();
        }
    return true;
}

void TCloseAfterWork::Ended(bool Done)
{
    std::vector<QPointer<QWidget>> closing;
    for (TCloseAfterWork* waiting : All()) {
        if (!waiting->FPending || !waiting->WaitsFor(*this))
            continue;
        if (!Done)
            waiting->FPending = false;
        else if (!waiting->Busy()) {
            waiting->FPending = false;
            closing.push_back(waiting->FWindow);
        }
    }
    // Closing may free a window and its work, so after the walk.
    for (const QPointer<QWidget>& window : closing)
        if (window)
            window->close();
}

} // namespace lumeno
