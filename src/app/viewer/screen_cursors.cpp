#include "app/viewer/screen_cursors.h"

#include <QPainter>
#include <QPixmap>

#include <map>

namespace lumeno {

namespace {

std::map<int, QCursor>& Cursors()
{
    static std::map<int, QCursor> cursors;
    return cursors;
}

} // namespace

void SetScreenCursor(int Index, const QCursor& Cursor)
{
    Cursors()[Index] = Cursor;
}

QCursor ScreenCursor(int Index)
{
    const auto it = Cursors().find(Index);
    return it == Cursors().end() ? QCursor(Qt::ArrowCursor) : it->second;
}

QCursor MagnifierCursor()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(19, 19, 29, 29);
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(19, 19, 29, 29);
    p.setBrush(QColor(255, 255, 255, 160));
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QPointF(12, 12), 9, 9);
    p.end();
    // The hot spot is the lens's centre.
    return QCursor(picture, 12, 12);
}

} // namespace lumeno
