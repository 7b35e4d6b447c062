#pragma once
// The view control's inner paint box: its bounds are the picture's place on
// screen. The control draws the picture itself; the box draws only the
// selection frame and passes the mouse to the control's selection logic.
// The user's handlers are its signals, run after the control's own ones
// (mouse up: before).

#include "platform/types.h"

#include <QWidget>

namespace lumeno {

// The control's side of the box's mouse and paint handling.
class TPicBoxOwner {
public:
    virtual void PicBoxMouseDown(QMouseEvent& Event) = 0;
    virtual void PicBoxMouseMove(QMouseEvent& Event) = 0;
    virtual void PicBoxMouseUp(QMouseEvent& Event) = 0;
    virtual void PicBoxPaint(QPainter& Painter) = 0;

protected:
    ~TPicBoxOwner() = default;
};

class TPicBox : public QWidget, public TObject {
    Q_OBJECT
public:
    TPicBox(QWidget* Parent, TPicBoxOwner& Owner);

signals:
    void OnMouseDown(lumeno::TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                     int Y);
    void OnMouseMove(lumeno::TObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseUp(lumeno::TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                   int Y);
    void OnPaint(lumeno::TObject* Sender, QPainter& Painter);
    void OnClick(lumeno::TObject* Sender);
    void OnDblClick(lumeno::TObject* Sender);

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;

private:
    TPicBoxOwner& FOwner;
};

} // namespace lumeno
