#include "imagelib/view/pg_progress_clock.h"

#include "platform/numeric.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace lumeno {

void DrawPGProgressClock(QPainter& Painter, int X, int Y, int Step, int Percent, const QColor& LineColor,
                         const QColor& BkColor)
{
    const double m = Percent * std::numbers::pi * 0.02;
    const double h = ((Step - 1) * std::numbers::pi * 2 + m) / 12;
    Painter.setPen(LineColor);
    Painter.setBrush(BkColor);
    Painter.drawEllipse(QRect(X, Y, PGProgressClockSize, PGProgressClockSize));
    Painter.drawLine(X + 7, Y + 7, X + 7 + static_cast<int>(Round(std::sin(h) * 6)),
                     Y + 7 - static_cast<int>(Round(std::cos(h) * 6)));
    Painter.drawLine(X + 7, Y + 7, X + 7 + static_cast<int>(Round(std::sin(m) * 7)),
                     Y + 7 - static_cast<int>(Round(std::cos(m) * 7)));
}

} // namespace lumeno
