#pragma once
// The one instance of a program window behind its global accessor: made
// hidden and unparented by Create, freed when the application quits (or by
// whoever deletes it first, which the holder notices).

#include <QCoreApplication>
#include <QPointer>

namespace lumeno {

template <class TWindow>
class TWindowHolder {
public:
    TWindow* Get() const { return window_.data(); }
    void Create()
    {
        if (window_)
            return;
        window_ = new TWindow();
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, window_.data(),
                         [window = window_] { delete window.data(); });
    }

private:
    QPointer<TWindow> window_;
};

} // namespace lumeno
