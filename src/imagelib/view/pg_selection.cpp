#include "imagelib/view/pg_selection.h"

#include <algorithm>
#include <cstdlib>

namespace lumeno {

std::array<TRect, PGHandleCount> PGHandleRects(const TRect& F)
{
    const int mx = (F.Left + F.Right) / 2, my = (F.Top + F.Bottom) / 2;
    return {{
        Rect(F.Left - 8, F.Top - 8, F.Left - 3, F.Top - 3),
        Rect(mx - 2, F.Top - 8, mx + 3, F.Top - 3),
        Rect(F.Right + 3, F.Top - 8, F.Right + 8, F.Top - 3),
        Rect(F.Left - 8, my - 2, F.Left - 3, my + 3),
        Rect(F.Right + 3, my - 2, F.Right + 8, my + 3),
        Rect(F.Left - 8, F.Bottom + 3, F.Left - 3, F.Bottom + 8),
        Rect(mx - 2, F.Bottom + 3, mx + 3, F.Bottom + 8),
        Rect(F.Right + 3, F.Bottom + 3, F.Right + 8, F.Bottom + 8),
    }};
}

int PGHandleAt(const TRect& Frame, int X, int Y)
{
    const auto rects = PGHandleRects(Frame);
    for (int i = 0; i < PGHandleCount; ++i) {
        const TRect& r = rects[static_cast<std::size_t>(i)];
        if (X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom)
            return i;
    }
    return -1;
}

namespace {

bool MovesLeft(int h)
{
    return h == hTopLeft || h == hMiddleLeft || h == hBottomLeft;
}
bool MovesRight(int h)
{
    return h == hTopRight || h == hMiddleRight || h == hBottomRight;
}
bool MovesTop(int h)
{
    return h == hTopLeft || h == hTopMiddle || h == hTopRight;
}
bool MovesBottom(int h)
{
    return h == hBottomLeft || h == hBottomMiddle || h == hBottomRight;
}

} // namespace

TPoint PGHandleGrab(int Handle, const TPGSelectionRect& Sel, int IX, int IY)
{
    TPoint grab{0, 0};
    if (MovesLeft(Handle))
        grab.X = IX - Sel.Left;
    else if (MovesRight(Handle))
        grab.X = IX - Sel.Width;
    if (MovesTop(Handle))
        grab.Y = IY - Sel.Top;
    else if (MovesBottom(Handle))
        grab.Y = IY - Sel.Height;
    return grab;
}

TPGSelectionRect PGMoveSelection(const TPGSelectionRect& Sel, int IX, int IY, TPoint Grab, int ImageWidth,
                                 int ImageHeight)
{
    TPGSelectionRect r = Sel;
    r.Top = std::min(std::max(IY - Grab.Y, 1 - Sel.Height), ImageHeight - 1);
    r.Left = std::min(std::max(IX - Grab.X, 1 - Sel.Width), ImageWidth - 1);
    return r;
}

TPGSelectionRect PGCreateSelection(TPoint Anchor, int IX, int IY)
{
    return {std::min(IX, Anchor.X), std::min(IY, Anchor.Y), std::abs(IX - Anchor.X) + 1,
            std::abs(IY - Anchor.Y) + 1};
}

TPGSelectionRect PGResizeSelection(const TPGSelectionRect& Sel, int Handle, int IX, int IY, TPoint Grab)
{
    TPGSelectionRect r = Sel;
    if (MovesLeft(Handle)) {
        r.Left = std::min(IX - Grab.X, Sel.Left + Sel.Width - 1);
        r.Width = Sel.Width + Sel.Left - r.Left;
    } else if (MovesRight(Handle)) {
        r.Width = std::max(IX - Grab.X, 1);
    }
    if (MovesTop(Handle)) {
        r.Top = std::min(IY - Grab.Y, Sel.Top + Sel.Height - 1);
        r.Height = Sel.Height + Sel.Top - r.Top;
    } else if (MovesBottom(Handle)) {
        r.Height = std::max(IY - Grab.Y, 1);
    }
    return r;
}

QImage PGSelectionPattern(TColor Color1, TColor Color2, int Phase)
{
    QImage pattern(8, 8, QImage::Format_RGB32);
    const QRgb c1 = qRgb(GetRValue(Color1), GetGValue(Color1), GetBValue(Color1));
    const QRgb c2 = qRgb(GetRValue(Color2), GetGValue(Color2), GetBValue(Color2));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, (y + x + 8 - Phase) % 8 >= 4 ? c2 : c1);
    return pattern;
}

} // namespace lumeno
