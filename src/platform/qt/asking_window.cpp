#include "platform/qt/asking_window.h"

#include <QApplication>
#include <QDialog>

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

QWidget* ShownWindow(QWidget* Widget)
{
    while (Widget) {
        QWidget* window = Widget->window();
        const Qt::WindowType type = window->windowType();
        if (window->isVisible() && type != Qt::Popup && type != Qt::ToolTip)
            return window;
        Widget = window->parentWidget();
    }
    return nullptr;
}

} // namespace

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
    return QApplication::activeWindow();
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
