#include "imagelib/view/pg_panel.h"

#include "imagelib/view/is_transparent_control.h"

#include <QPainter>

namespace lumeno {

TPGPanel::TPGPanel(QWidget* Parent) : QFrame(Parent)
{
    ApplyTransparency(*this, FTransparent);
}

void TPGPanel::SetTransparent(bool Value)
{
    if (FTransparent != Value) {
        FTransparent = Value;
        ApplyTransparency(*this, Value);
        Invalidate();
    }
}

void TPGPanel::SetCaption(const QString& Value)
{
    FCaption = Value;
    Invalidate();
}

void TPGPanel::SetAlignment(Qt::Alignment Value)
{
    FAlignment = Value;
    Invalidate();
}

void TPGPanel::SetBevelOuter(TBevelCut Value)
{
    FBevelOuter = Value;
    Invalidate();
}

void TPGPanel::SetBevelInner(TBevelCut Value)
{
    FBevelInner = Value;
    Invalidate();
}

void TPGPanel::SetBevelWidth(int Value)
{
    FBevelWidth = std::max(1, Value);
    Invalidate();
}

void TPGPanel::SetBorderWidth(int Value)
{
    FBorderWidth = std::max(0, Value);
    Invalidate();
}

void TPGPanel::Invalidate()
{
    update();
    InvalidateTransparentChildren(*this);
}

void TPGPanel::DrawBevel(QPainter& Painter, QRect& Rect, TBevelCut Cut) const
{
    if (Cut == bvNone)
        return;
    const QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
    const QColor topLeft = Cut == bvRaised ? light : dark, bottomRight = Cut == bvRaised ? dark : light;
    for (int i = 0; i < FBevelWidth; ++i) {
        Painter.fillRect(QRect(Rect.left(), Rect.top(), Rect.width(), 1), topLeft);
        Painter.fillRect(QRect(Rect.left(), Rect.top(), 1, Rect.height()), topLeft);
        Painter.fillRect(QRect(Rect.left(), Rect.bottom(), Rect.width(), 1), bottomRight);
        Painter.fillRect(QRect(Rect.right(), Rect.top(), 1, Rect.height()), bottomRight);
        Rect.adjust(1, 1, -1, -1);
    }
}

void TPGPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    if (!FTransparent)
        p.fillRect(r, palette().color(QPalette::Window));
    DrawBevel(p, r, FBevelOuter);
    r.adjust(FBorderWidth, FBorderWidth, -FBorderWidth, -FBorderWidth);
    DrawBevel(p, r, FBevelInner);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rect(), static_cast<int>(FAlignment) | Qt::AlignVCenter | Qt::TextExpandTabs, FCaption);
}

} // namespace lumeno
