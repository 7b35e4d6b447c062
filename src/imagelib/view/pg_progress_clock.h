#pragma once
// The small progress clock of the view control and the preview panes: the
// hour hand advances one twelfth of a turn per finished step, the minute
// hand shows the step's percent.

#include <QColor>

class QPainter;

namespace lumeno {

constexpr int PGProgressClockSize = 15;

void DrawPGProgressClock(QPainter& Painter, int X, int Y, int Step, int Percent, const QColor& LineColor,
                         const QColor& BkColor);

} // namespace lumeno
