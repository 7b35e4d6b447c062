#include "platform/qt/application.h"

#include "platform/dialogs.h"
#include "platform/qt/asking_window.h"

#include <exception>

namespace lumeno {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    WatchWindows(receiver, event);
    // What the handler asks, it asks in front of the receiver's window.
    const TAskingWindow asking(receiver);
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e);
    }
    return false;
}

void TApplication::ShowException(const std::exception& e)
{
    Dialogs().Show({applicationName().toStdString(), e.what(), TMsgDlgType::mtError, mbOK, mrOk});
}

} // namespace lumeno
