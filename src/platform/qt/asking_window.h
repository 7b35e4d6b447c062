#pragma once
// The window that asks. Message boxes opened while a scope lives belong to
// its window, so they open in front of it, even over a stay-on-top tool;
// the application opens one for every event it delivers.

#include <QPointer>
#include <QWidget>

class QDialog;
class QEvent;

namespace lumeno {

class TAskingWindow {
public:
    // Asker: a widget, or an object inside one; any other object leaves the
    // outer scope in charge.
    explicit TAskingWindow(QObject* Asker);
    ~TAskingWindow();
    TAskingWindow(const TAskingWindow&) = delete;
    TAskingWindow& operator=(const TAskingWindow&) = delete;

    // The innermost scope's window that is on screen; a closed dialog or
    // menu hands over to the window it belongs to. Without one, the
    // program's topmost window.
    static QWidget* Current();

private:
    QPointer<QWidget> FWindow;
    TAskingWindow* FOuter;
};

// The program's topmost visible window, as the window manager stacks them:
// a stay-on-top window before the others, then the one that came to the
// front last. nullptr when none is shown.
QWidget* TopmostWindow();

// Called by the application before it delivers each event: notes which
// window comes to the front, and keeps a modal window that opens above
// every window of the program, stay-on-top ones included.
void WatchWindows(QObject* Receiver, const QEvent* Event);

// Opens one of the program's shared dialogs window-modal over Owner, in
// front of it. It leaves Owner again when it closes, so freeing Owner never
// takes the shared dialog along.
void OpenOver(QDialog* Dialog, QWidget* Owner);

} // namespace lumeno
