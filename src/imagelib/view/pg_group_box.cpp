#include "imagelib/view/pg_group_box.h"

#include "imagelib/view/is_transparent_control.h"

#include <QPainter>

namespace lumeno {

TPGGroupBox::TPGGroupBox(QWidget* Parent) : QGroupBox(Parent)
{
    ApplyTransparency(*this, FTransparent);
}

void TPGGroupBox::SetTransparent(bool Value)
{
    if (FTransparent != Value) {
        FTransparent = Value;
        ApplyTransparency(*this, Value);
        Invalidate();
    }
}

void TPGGroupBox::SetCtl3D(bool Value)
{
    if (FCtl3D != Value) {
        FCtl3D = Value;
        Invalidate();
    }
}

void TPGGroupBox::Invalidate()
{
    update();
    InvalidateTransparentChildren(*this);
}

void TPGGroupBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    const int h = p.fontMetrics().height();
    const QColor color = palette().color(QPalette::Window);
    QRegion clip(rect());
    if (!title().isEmpty()) {
        const QRect caption =
            p.fontMetrics().boundingRect(QRect(8, 0, width(), h), Qt::TextSingleLine, title());
        if (!FTransparent)
            p.fillRect(caption, color);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(caption, Qt::TextSingleLine, title());
        clip -= QRegion(caption.adjusted(-1, 0, 1, 0));
    }
    p.setClipRegion(clip);
    if (!FTransparent)
        p.fillRect(rect(), color);
    const QRect frame(0, h / 2 - 1, width(), height() - (h / 2 - 1));
    p.setBrush(Qt::NoBrush);
    if (FCtl3D) {
        p.setPen(palette().color(QPalette::Light));
        p.drawRect(frame.adjusted(1, 1, -1, -1));
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(frame.adjusted(0, 0, -2, -2));
    } else {
        p.setPen(palette().color(QPalette::Shadow));
        p.drawRect(frame.adjusted(0, 0, -1, -1));
    }
}

} // namespace lumeno
