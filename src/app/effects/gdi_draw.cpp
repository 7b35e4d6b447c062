#include "app/effects/gdi_draw.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPoint>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace lumeno {

QColor ToQColor(TColor Color)
{
    return QColor(static_cast<int>(GetRValue(Color)), static_cast<int>(GetGValue(Color)),
                  static_cast<int>(GetBValue(Color)));
}

QPen GdiPen(TColor Color, int Width)
{
    if (Width <= 1)
        return QPen(ToQColor(Color), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    return QPen(ToQColor(Color), Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void GdiPrepare(QPainter& Painter)
{
    Painter.setRenderHint(QPainter::Antialiasing, false);
}

void GdiRectangle(QPainter& Painter, int X1, int Y1, int X2, int Y2)
{
    if (X2 <= X1 || Y2 <= Y1)
        return;
    // A one-pixel outline of QRect(x, y, w, h) covers w + 1 columns.
    Painter.drawRect(X1, Y1, X2 - X1 - 1, Y2 - Y1 - 1);
}

void GdiLine(QPainter& Painter, int X1, int Y1, int X2, int Y2)
{
    if (Painter.pen().width() > 1) {
        Painter.drawLine(X1, Y1, X2, Y2);
        return;
    }
    // Bresenham, stopping one pixel short of the end.
    const int dx = std::abs(X2 - X1), dy = -std::abs(Y2 - Y1);
    const int sx = X1 < X2 ? 1 : -1, sy = Y1 < Y2 ? 1 : -1;
    std::vector<QPoint> points;
    points.reserve(static_cast<std::size_t>(std::max(dx, -dy)));
    int err = dx + dy, x = X1, y = Y1;
    while (x != X2 || y != Y2) {
        points.emplace_back(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    if (!points.empty())
        Painter.drawPoints(points.data(), static_cast<int>(points.size()));
}

QFont GdiFont(const QString& Family, int PointSize, bool Bold, bool Italic)
{
    QFont font(Family);
    font.setPixelSize(std::max(1, (PointSize * 96 + 36) / 72));
    font.setBold(Bold);
    font.setItalic(Italic);
    return font;
}

int GdiTextWidth(const QFont& Font, const QString& Text)
{
    return QFontMetrics(Font).horizontalAdvance(Text);
}

int GdiTextHeight(const QFont& Font)
{
    return QFontMetrics(Font).height();
}

void GdiTextOut(QPainter& Painter, int X, int Y, const QString& Text)
{
    Painter.drawText(X, Y + QFontMetrics(Painter.font()).ascent(), Text);
}

} // namespace lumeno
