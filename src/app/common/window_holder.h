#pragma once
// The one instance of a program window behind its global accessor, made
// hidden and unparented on its first use and freed when the application
// quits (or by whoever deletes it first, which the holder notices). Start-up
// stays short, and no caller sees the difference.

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace lumeno {

// True once the application has begun to quit: windows that are gone by
// then are not made again.
bool ProgramEnding();

template <class TWindow>
class TWindowHolder {
public:
    static TWindowHolder& Of()
    {
        static TWindowHolder holder;
        return holder;
    }

    // The window, made now when it was not yet.
    TWindow* Get()
    {
        if (!window_ && !ProgramEnding())
            Make();
        return window_.data();
    }
    // The window when it was made, else nullptr: for what only matters to a
    // window that exists, such as refreshing it while it is shown.
    TWindow* Made() const { return window_.data(); }
    // Joins another window to this one: now when it exists, else when made.
    void WhenMade(std::function<void(TWindow&)> Join)
    {
        join_ = std::move(Join);
        if (window_ && join_)
            join_(*window_);
    }

private:
    void Make()
    {
        auto* window = new TWindow();
        window_ = window;
        // Only the main window ends the program.
        window->setAttribute(Qt::WA_QuitOnClose, false);
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, window,
                         [guarded = window_] { delete guarded.data(); });
        if (join_)
            join_(*window);
    }

    QPointer<TWindow> window_;
    std::function<void(TWindow&)> join_;
};

// The window of TWindow's accessor, made on first use.
template <class TWindow>
TWindow* HeldWindow()
{
    return TWindowHolder<TWindow>::Of().Get();
}

// The window of TWindow's accessor if it was made, else nullptr.
template <class TWindow>
TWindow* MadeWindow()
{
    return TWindowHolder<TWindow>::Of().Made();
}

} // namespace lumeno
