#pragma once
// Drawing on an image's canvas the way the program's pictures were
// designed: hard edges (no antialiasing), rectangles and lines that leave
// out their right/bottom edge and end pixel, round ends on wide pens, and
// text sized in points at 96 dots per inch.

#include "platform/types.h"

#include <QColor>
#include <QFont>
#include <QPen>
#include <QString>

class QPainter;

namespace lumeno {

QColor ToQColor(TColor Color);
// Width 1 or less: a one-pixel pen; wider pens have round ends and joins.
QPen GdiPen(TColor Color, int Width = 1);
// Turns antialiasing off; call once on a painter before the shapes below.
void GdiPrepare(QPainter& Painter);
// Outline with the painter's pen, inside with its brush, covering
// X1..X2 - 1 and Y1..Y2 - 1.
void GdiRectangle(QPainter& Painter, int X1, int Y1, int X2, int Y2);
// A line from (X1, Y1) towards (X2, Y2); a one-pixel pen leaves out the end
// pixel, a wider pen draws the whole stroke with its round ends.
void GdiLine(QPainter& Painter, int X1, int Y1, int X2, int Y2);
// Pixel size from the point size at 96 dpi, whatever the screen.
QFont GdiFont(const QString& Family, int PointSize, bool Bold = false, bool Italic = false);
int GdiTextWidth(const QFont& Font, const QString& Text);
int GdiTextHeight(const QFont& Font);
// Text whose cell's top-left corner is (X, Y), in the painter's font and pen.
void GdiTextOut(QPainter& Painter, int X, int Y, const QString& Text);

} // namespace lumeno
