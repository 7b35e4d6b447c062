#include "imagelib/view/pic_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace lumeno {

TPicBox::TPicBox(QWidget* Parent, TPicBoxOwner& Owner) : QWidget(Parent), FOwner(Owner)
{
    // The control paints the picture underneath; the box only adds the frame.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
}

void TPicBox::mousePressEvent(QMouseEvent* Event)
{
    FOwner.PicBoxMouseDown(*Event);
    const QPoint p = Event->position().toPoint();
    emit OnMouseDown(this, Event->button(), Event->modifiers(), p.x(), p.y());
}

void TPicBox::mouseMoveEvent(QMouseEvent* Event)
{
    FOwner.PicBoxMouseMove(*Event);
    const QPoint p = Event->position().toPoint();
    emit OnMouseMove(this, Event->modifiers(), p.x(), p.y());
}

void TPicBox::mouseReleaseEvent(QMouseEvent* Event)
{
    const QPoint p = Event->position().toPoint();
    emit OnMouseUp(this, Event->button(), Event->modifiers(), p.x(), p.y());
    if (rect().contains(p))
        emit OnClick(this);
    FOwner.PicBoxMouseUp(*Event);
}

void TPicBox::mouseDoubleClickEvent(QMouseEvent* Event)
{
    emit OnDblClick(this);
    QWidget::mouseDoubleClickEvent(Event);
}

void TPicBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    FOwner.PicBoxPaint(painter);
    emit OnPaint(this, painter);
}

} // namespace lumeno
