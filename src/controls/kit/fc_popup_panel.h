#pragma once
// The frameless top-level window that holds a tree combo's popup tree. It
// never takes activation, so the combo keeps the keyboard.

#include <QFrame>

namespace lumeno {

class TfcPopupPanel : public QFrame {
    Q_OBJECT
public:
    explicit TfcPopupPanel(QWidget* content);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* content_;
};

} // namespace lumeno
