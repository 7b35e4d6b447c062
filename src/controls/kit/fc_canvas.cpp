#include "controls/kit/fc_canvas.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumeno {
namespace {

int QtFlags(unsigned flags)
{
    int qt = 0;
    if (flags & DT_CENTER)
        qt |= Qt::AlignHCenter;
    else if (flags & DT_RIGHT)
        qt |= Qt::AlignRight;
    else
        qt |= Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        qt |= Qt::TextSingleLine;
        if (flags & DT_VCENTER)
            qt |= Qt::AlignVCenter;
        else if (flags & DT_BOTTOM)
            qt |= Qt::AlignBottom;
        else
            qt |= Qt::AlignTop;
    } else {
        qt |= Qt::AlignTop;
    }
    if (flags & DT_WORDBREAK)
        qt |= Qt::TextWordWrap;
    if (flags & DT_NOCLIP)
        qt |= Qt::TextDontClip;
    if (!(flags & DT_NOPREFIX))
        qt |= Qt::TextShowMnemonic;
    return qt;
}

} // namespace

std::vector<QPoint> fcDottedLinePoints(QPoint p1, QPoint p2)
{
    const int dx = p2.x() - p1.x();
    const int dy = p2.y() - p1.y();
    const int n = std::max(std::abs(dx), std::abs(dy));
    const double divisor = std::max(1, n / 2);
    const double stepX = dx / divisor;
    const double stepY = dy / divisor;
    std::vector<QPoint> points;
    double x = p1.x();
    double y = p1.y();
    const auto within = [](double v, int a, int b) { return v >= std::min(a, b) - 1e-9 && v <= std::max(a, b) + 1e-9; };
    for (int step = 0; step <= n; step += 2) {
        if (!within(x, p1.x(), p2.x()) || !within(y, p1.y(), p2.y()))
            break;
        points.emplace_back(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
        x += stepX;
        y += stepY;
    }
    return points;
}

void TfcCanvas::SelectObjects()
{
    painter_.setPen(Pen);
    painter_.setFont(Font);
    painter_.setBrush(Brush);
}

void TfcCanvas::DottedLine(QPoint p1, QPoint p2)
{
    for (const QPoint& point : fcDottedLinePoints(p1, p2))
        painter_.fillRect(point.x(), point.y(), 1, 1, Pen.color());
}

QRect TfcCanvas::DrawText(const QRect& rect, const QString& text, unsigned flags)
{
    painter_.setFont(Font);
    const int qtFlags = QtFlags(flags);
    if (flags & DT_CALCRECT) {
        const QRect bounds = painter_.boundingRect(rect, qtFlags, text);
        return QRect(rect.topLeft(), bounds.size());
    }
    if (Brush.style() != Qt::NoBrush)
        painter_.fillRect(rect, Brush);
    if (flags & DT_EMBOSSED) {
        const QPalette& palette = QApplication::palette();
        painter_.setPen(palette.color(QPalette::Light));
        painter_.drawText(rect.translated(1, 1), qtFlags, text);
        painter_.setPen(palette.color(QPalette::Dark));
    } else {
        painter_.setPen(Pen.color());
    }
    QRect used;
    painter_.drawText(rect, qtFlags, text, &used);
    return used;
}

} // namespace lumeno
