#include "app/viewer/app_icon.h"

#include <QPainter>

namespace lumeno {

QPixmap LumenoLogo(int Size)
{
    QPixmap picture(Size, Size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const double unit = Size / 108.0;
    const QPointF centre(Size / 2.0, Size / 2.0);
    int shade = 40;
    for (double r : {52.0, 38.0, 24.0}) {
        p.setBrush(QColor(shade, shade + 20, shade + 60));
        p.setPen(QPen(QColor(230, 236, 250), std::max(1.0, 2 * unit)));
        p.drawEllipse(centre, r * unit, r * unit);
        shade += 50;
    }
    p.setBrush(QColor(255, 246, 200));
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre + QPointF(-4 * unit, -4 * unit), 6 * unit, 6 * unit);
    return picture;
}

} // namespace lumeno
