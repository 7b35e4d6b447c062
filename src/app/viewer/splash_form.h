#pragma once
// The window shown while the program starts; it closes itself two seconds
// after it appears and is freed on closing.

#include <QLabel>
#include <QWidget>

class QTimer;

namespace lumeno {

class TfrmSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplashForm(QWidget* Parent = nullptr);

    void Timer1Timer();
    // The splash picture, drawn for the window's client size.
    static QPixmap SplashPicture();

    QLabel* Image1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;
};

} // namespace lumeno
