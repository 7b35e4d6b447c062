#pragma once
// The combo's drop-down button (a speed button: it never takes the focus)
// and the plain child window that hosts it at the combo's right edge.

#include <QWidget>

namespace lumeno {

class TBtnWinControl : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class TfcDropDownButton : public QWidget {
    Q_OBJECT
public:
    explicit TfcDropDownButton(QWidget* parent = nullptr);

    // 1: the style's combo arrow; others: an ellipsis button.
    int FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(int value);
    bool Down() const { return down_; }

signals:
    void MouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetDown(bool value);

    int frameStyle_ = 1;
    bool down_ = false;
};

} // namespace lumeno
