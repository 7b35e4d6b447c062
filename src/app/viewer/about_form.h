#pragma once
// The about box: a shadowed title, the maker, a small animation and the
// rolling credits; holding Ctrl+Q shows the version.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace lumeno {

class TfAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfAbout(QWidget* Parent = nullptr);
    ~TfAbout() override;

    void Timer1Timer();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Movie0 = nullptr;
    QLabel* Movie1 = nullptr;
    QLabel* Movie2 = nullptr;
    QLabel* lversion = nullptr;
    QLabel* lblcopyright = nullptr;
    QPushButton* OKBtn = nullptr;
    QFrame* ScrollBox1 = nullptr;
    QLabel* Memo1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;

private:
    void BuildTitle();
    void BuildPictures();
    void BuildCredits();
};

TfAbout* fAbout();

} // namespace lumeno
