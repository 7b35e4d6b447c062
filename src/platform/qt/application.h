#pragma once
// The application object: an exception that leaves an event handler is shown
// in a message box and the program goes on.

#include <QApplication>

namespace lumeno {

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an exception's message the way an escaped exception is shown.
    static void ShowException(const std::exception& e);
};

} // namespace lumeno
