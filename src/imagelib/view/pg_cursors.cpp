#include "imagelib/view/pg_cursors.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <optional>

namespace lumeno {

namespace {

std::array<std::optional<QCursor>, 4> Cursors;

// Shape is filled black with a white outline; the mask covers both.
QCursor MakeCursor(const QPainterPath& Shape, int HotX, int HotY)
{
    QBitmap picture(32, 32), mask(32, 32);
    picture.fill(Qt::color0);
    mask.fill(Qt::color0);
    {
        QPainter p(&mask);
        p.setPen(QPen(Qt::color1, 3));
        p.setBrush(Qt::color1);
        p.drawPath(Shape);
    }
    {
        QPainter p(&picture);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::color1);
        p.drawPath(Shape);
    }
    return QCursor(picture, mask, HotX, HotY);
}

QPainterPath Hand(int FingerLength)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(8, 14, 16, 12), 3, 3);
    for (int i = 0; i < 4; ++i)
        path.addRoundedRect(QRectF(8.5 + i * 4, 14 - FingerLength, 3, FingerLength + 2), 1.5, 1.5);
    path.addRoundedRect(QRectF(4, 17, 6, 3), 1.5, 1.5); // thumb
    return path.simplified();
}

QPainterPath Cross()
{
    QPainterPath path;
    path.addRect(QRectF(15, 4, 1, 23));
    path.addRect(QRectF(4, 15, 23, 1));
    return path;
}

QPainterPath FourArrows()
{
    QPainterPath path;
    path.addRect(QRectF(15, 6, 2, 19));
    path.addRect(QRectF(7, 14, 19, 2));
    const auto arrow = [&path](QPointF a, QPointF b, QPointF c) {
        QPainterPath t;
        t.moveTo(a);
        t.lineTo(b);
        t.lineTo(c);
        t.closeSubpath();
        path.addPath(t);
    };
    arrow({16, 2}, {12, 7}, {20, 7});
    arrow({16, 29}, {12, 24}, {20, 24});
    arrow({3, 15}, {8, 11}, {8, 19});
    arrow({29, 15}, {24, 11}, {24, 19});
    return path.simplified();
}

} // namespace

void PGCreateCursors()
{
    Cursors[crPGHandOpen] = MakeCursor(Hand(9), 16, 12);
    Cursors[crPGHandClosed] = MakeCursor(Hand(3), 16, 12);
    Cursors[crPGCross] = MakeCursor(Cross(), 15, 15);
    Cursors[crPGMove] = MakeCursor(FourArrows(), 16, 15);
}

QCursor PGCursor(TPGCursorKind Kind)
{
    const auto& c = Cursors[static_cast<std::size_t>(Kind)];
    return c ? *c : QCursor(Qt::ArrowCursor);
}

} // namespace lumeno
