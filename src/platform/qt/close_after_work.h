#pragma once
// Work the user expects to end by itself, such as a save, is never dropped
// by a close. A window closed while its work runs stays, its progress
// moving, and closes once the work is done; the main window, whose close
// ends the program, waits likewise for every such work. A work that fails
// or is stopped calls the close off: its window and the program stay, and
// what was to be saved can still be.

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QWidget;

namespace lumeno {

class TCloseAfterWork : public QObject {
public:
    // Window closes only while Busy() is false. Without Busy, the window
    // waits for the work of every other TCloseAfterWork.
    explicit TCloseAfterWork(QWidget* Window, std::function<bool()> Busy = {});
    ~TCloseAfterWork() override;
    TCloseAfterWork(const TCloseAfterWork&) = delete;
    TCloseAfterWork& operator=(const TCloseAfterWork&) = delete;

    // Main thread, once the work's outcome was handled: the closes put off
    // for it are carried out when Done and nothing else they wait for runs,
    // and called off otherwise.
    void Ended(bool Done);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // A close of the window waits now.
    bool Busy() const;
    // Its own work runs (never for the main window's).
    bool Working() const;
    bool WaitsFor(const TCloseAfterWork& Work) const;
    static std::vector<TCloseAfterWork*>& All();

    QPointer<QWidget> FWindow;
    std::function<bool()> FBusy;
    bool FPending = false;
};

} // namespace lumeno
