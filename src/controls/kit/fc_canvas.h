#pragma once
// The tree view's painting surface: a painter with its own pen, font and
// brush, the dotted connecting lines and text with the kit's embossed flag.

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;

namespace lumeno {

// Draw-text flags, with the values the kit's callers pass.
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
// The kit's own flag: text drawn as engraved (disabled look).
constexpr unsigned DT_EMBOSSED = 0x80000;

// The points of a dotted line from p1 to p2: every second of n + 1 steps
// (n the longer side) draws, moving by (dx, dy) / max(1, n div 2) after it.
std::vector<QPoint> fcDottedLinePoints(QPoint p1, QPoint p2);

class TfcCanvas {
public:
    explicit TfcCanvas(QPainter& painter) : painter_(painter) {}

    QPen Pen;
    QFont Font;
    QBrush Brush;

    QPainter& Painter() { return painter_; }
    // Hands pen, font and brush to the painter.
    void SelectObjects();
    void DottedLine(QPoint p1, QPoint p2);
    // Draws (or with DT_CALCRECT only measures) text in the rectangle; the
    // rectangle used is returned. A brush without style leaves the
    // background alone.
    QRect DrawText(const QRect& rect, const QString& text, unsigned flags);

private:
    QPainter& painter_;
};

} // namespace lumeno
