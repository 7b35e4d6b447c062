#include "app/editor/editor_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lumeno {

namespace {

constexpr int Side = 24;

void Arrow(QPainter& p, bool Clockwise)
{
    p.drawArc(QRectF(5, 5, 14, 14), Clockwise ? 200 * 16 : -20 * 16, Clockwise ? -250 * 16 : 250 * 16);
    const QPointF tip = Clockwise ? QPointF(19, 9) : QPointF(5, 9);
    const double dx = Clockwise ? -1 : 1;
    p.drawLine(tip, tip + QPointF(dx * 4, -1));
    p.drawLine(tip, tip + QPointF(0, -4));
}

void Paint(QPainter& p, const QString& Name)
{
    const QColor ink(40, 60, 100);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (Name == "autosize") {
        p.drawRect(QRectF(3.5, 3.5, 17, 17));
        p.drawLine(QPointF(7, 7), QPointF(17, 17));
        p.drawLine(QPointF(7, 7), QPointF(11, 7));
        p.drawLine(QPointF(7, 7), QPointF(7, 11));
        p.drawLine(QPointF(17, 17), QPointF(13, 17));
        p.drawLine(QPointF(17, 17), QPointF(17, 13));
    } else if (Name == "tile") {
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) {
                p.setBrush(QColor(120 + 60 * i, 160, 220 - 60 * j));
                p.drawRect(QRectF(3.5 + 9 * i, 3.5 + 9 * j, 8, 8));
            }
    } else if (Name == "pointer") {
        QPainterPath path;
        path.moveTo(6, 3);
        path.lineTo(6, 19);
        path.lineTo(10, 15);
        path.lineTo(13, 21);
        path.lineTo(15, 20);
        path.lineTo(12, 14);
        path.lineTo(18, 14);
        path.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(path);
    } else if (Name == "zoom") {
        p.setBrush(QColor(220, 235, 255));
        p.drawEllipse(QRectF(3.5, 3.5, 12, 12));
        p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 14), QPointF(20, 20));
    } else if (Name == "select") {
        p.setPen(QPen(ink, 1.6, Qt::DashLine));
        p.drawRect(QRectF(3.5, 5.5, 17, 13));
    } else if (Name == "rotate_left" || Name == "rotate_right") {
        Arrow(p, Name == "rotate_right");
    } else if (Name == "red_eye") {
        QPainterPath eye;
        eye.moveTo(2, 12);
        eye.quadTo(12, 2, 22, 12);
        eye.quadTo(12, 22, 2, 12);
        p.setBrush(Qt::white);
        p.drawPath(eye);
        p.setBrush(QColor(210, 30, 30));
        p.drawEllipse(QPointF(12, 12), 4, 4);
    } else if (Name == "capture") {
        p.setBrush(QColor(200, 225, 250));
        p.drawRect(QRectF(2.5, 4.5, 19, 13));
        p.drawLine(QPointF(12, 18), QPointF(12, 21));
        p.drawLine(QPointF(7, 21), QPointF(17, 21));
    }
}

} // namespace

QIcon EditorIcon(const QString& Name)
{
    QPixmap pixmap(Side, Side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Paint(painter, Name);
    painter.end();
    return QIcon(pixmap);
}

} // namespace lumeno
