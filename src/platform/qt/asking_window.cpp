#include "platform/qt/asking_window.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace lumeno {

namespace {

// Boxes open on the main thread only; other threads' scopes stay apart.
thread_local TAskingWindow* innermost = nullptr;

QWidget* WidgetOf(QObject* Object)
{
    while (Object && !Object->isWidgetType())
        Object = Object->parent();
    return static_cast<QWidget*>(Object);
}

// Menus and tips: they close by themselves.
bool Fleeting(const QWidget* Window)
{
    const Qt::WindowType type = Window->windowType();
    return type == Qt::Popup || type == Qt::ToolTip;
}

QWidget* ShownWindow(QWidget* Widget)
{
    while (Widget) {
        QWidget* window = Widget->window();
        if (window->isVisible() && !Fleeting(window))
            return window;
        Widget = window->parentWidget();
    }
    return nullptr;
}

// The program's windows, the last to come to the front first.
std::vector<QPointer<QWidget>>& FrontOrder()
{
    static std::vector<QPointer<QWidget>> order;
    return order;
}

void CameToFront(QWidget* Window)
{
    auto& order = FrontOrder();
    order.erase(std::remove_if(order.begin(), order.end(),
                               [Window](const QPointer<QWidget>& w) { return !w || w == Window; }),
                order.end());
    order.insert(order.begin(), Window);
}

// A window a box may belong to: neither fleeting nor the splash, which
// closes by itself too.
bool CanOwn(const QWidget* Window)
{
    return Window->isVisible() && !Fleeting(Window) && Window->windowType() != Qt::SplashScreen;
}

bool StaysOnTop(const QWidget* Window)
{
    const QWindow* handle = Window->windowHandle();
    return (Window->windowFlags() & Qt::WindowStaysOnTopHint) ||
           (handle && handle->flags().testFlag(Qt::WindowStaysOnTopHint));
}

// Any other shown window of the program that stays on top, the splash
// included.
bool OtherStaysOnTop(const QWidget* Window)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [Window](const QWidget* w) {
        return w != Window && w->isVisible() && !Fleeting(w) && StaysOnTop(w);
    });
}

// A stay-on-top window is above every ordinary one, so a modal window below
// that layer can be covered by a window it blocks: it joins the layer while
// another window of the program is in it. It is told it shows before its
// native window is mapped, so the window manager stacks it there at once.
void KeepAboveTheProgram(QWidget* Modal)
{
    QWindow* handle = Modal->windowHandle();
    if (!handle)
        return;
    const bool wanted = (Modal->windowFlags() & Qt::WindowStaysOnTopHint) || OtherStaysOnTop(Modal);
    if (handle->flags().testFlag(Qt::WindowStaysOnTopHint) != wanted)
        handle->setFlag(Qt::WindowStaysOnTopHint, wanted);
}

} // namespace

QWidget* TopmostWindow()
{
    QWidget* topmost = nullptr;
    for (const QPointer<QWidget>& window : FrontOrder()) {
        if (!window || !CanOwn(window))
            continue;
        if (StaysOnTop(window))
            return window;
        if (!topmost)
            topmost = window;
    }
    return topmost;
}

void WatchWindows(QObject* Receiver, const QEvent* Event)
{
    const QEvent::Type type = Event->type();
    if ((type != QEvent::Show && type != QEvent::WindowActivate) || !Receiver->isWidgetType())
        return;
    auto* widget = static_cast<QWidget*>(Receiver);
    if (!widget->isWindow())
        return;
    if (type == QEvent::Show && widget->isModal())
        KeepAboveTheProgram(widget);
    CameToFront(widget);
}

TAskingWindow::TAskingWindow(QObject* Asker) : FWindow(WidgetOf(Asker)), FOuter(innermost)
{
    innermost = this;
}

TAskingWindow::~TAskingWindow()
{
    innermost = FOuter;
}

QWidget* TAskingWindow::Current()
{
    for (const TAskingWindow* scope = innermost; scope; scope = scope->FOuter)
        if (QWidget* window = ShownWindow(scope->FWindow))
            return window;
    return TopmostWindow();
}

void OpenOver(QDialog* Dialog, QWidget* Owner)
{
    if (Owner && Owner != Dialog && !Dialog->isAncestorOf(Owner)) {
        const Qt::WindowFlags flags = Dialog->windowFlags();
        Dialog->setParent(Owner->window(), flags);
        QObject::connect(
            Dialog, &QDialog::finished, Dialog, [Dialog, flags] { Dialog->setParent(nullptr, flags); },
            Qt::SingleShotConnection);
    }
    Dialog->open();
}

} // namespace lumeno
