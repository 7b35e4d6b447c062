#include "platform/qt/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace lumeno {

namespace {

// Kept inside the screen; a window larger than the screen shows its top-left.
QPoint OnScreen(QPoint Corner, const QSize& Size, const QRect& Screen)
{
    const int x = std::max(Screen.left(), std::min(Corner.x(), Screen.right() + 1 - Size.width()));
    const int y = std::max(Screen.top(), std::min(Corner.y(), Screen.bottom() + 1 - Size.height()));
    return {x, y};
}

QMargins OwnFrame(const QWidget& Window)
{
    const QRect frame = Window.frameGeometry();
    const QRect client = Window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

} // namespace

QPoint PlaceBeside(const QRect& Owner, const QSize& Size, const QRect& Screen)
{
    const int top = Owner.top();
    if (Owner.right() + 1 + Size.width() <= Screen.right() + 1)
        return OnScreen({Owner.right() + 1, top}, Size, Screen);
    if (Owner.left() - Size.width() >= Screen.left())
        return OnScreen({Owner.left() - Size.width(), top}, Size, Screen);
    // Centred, but below the owner's top edge, where its menus are, when the
    // window fits there.
    const QPoint centred = Owner.center() - QPoint(Size.width() / 2, Size.height() / 2);
    const int belowMenus = Owner.top() + std::min(60, Owner.height() / 4);
    return OnScreen({centred.x(), std::max(centred.y(), belowMenus)}, Size, Screen);
}

QMargins FrameMargins(const QWidget& Window)
{
    const QMargins own = OwnFrame(Window);
    if (!own.isNull() || !Window.parentWidget())
        return own;
    return OwnFrame(*Window.parentWidget()->window());
}

void PlaceBesideOnce(QWidget& Window, const QWidget& Owner)
{
    if (Window.isVisible() || Window.testAttribute(Qt::WA_Moved))
        return;
    const QScreen* screen = Owner.screen() ? Owner.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Not shown yet, it has no frame of its own: the owner's tells its size.
    const QSize framed = Window.size().grownBy(OwnFrame(*Owner.window()));
    Window.move(PlaceBeside(Owner.window()->frameGeometry(), framed, screen->availableGeometry()));
}

void ShowBeside(QWidget& Window, const QWidget* Owner)
{
    if (Owner) {
        if (!Window.isVisible() && (Owner->window()->windowFlags() & Qt::WindowStaysOnTopHint))
            Window.setWindowFlag(Qt::WindowStaysOnTopHint);
        PlaceBesideOnce(Window, *Owner);
    }
    Window.show();
    Window.raise();
    // A window manager that keeps new windows below the focused one raises
    // the window it activates.
    Window.activateWindow();
}

} // namespace lumeno
