#pragma once
// Selection rules of the view control, free of widgets: handle squares,
// moving, creating and resizing the rectangle, and the frame's pattern.

#include "platform/types.h"

#include <QImage>

#include <array>

namespace lumeno {

// Order of the handles: top-left, top-middle, top-right, middle-left,
// middle-right, bottom-left, bottom-middle, bottom-right.
enum TPGHandle {
    hTopLeft,
    hTopMiddle,
    hTopRight,
    hMiddleLeft,
    hMiddleRight,
    hBottomLeft,
    hBottomMiddle,
    hBottomRight
};
constexpr int PGHandleCount = 8;

struct TPGSelectionRect {
    int Left = 0;
    int Top = 0;
    int Width = 1;
    int Height = 1;
    friend bool operator==(const TPGSelectionRect&, const TPGSelectionRect&) = default;
};

// Handle squares around the frame (L, T, R, B) in paint-box pixels.
std::array<TRect, PGHandleCount> PGHandleRects(const TRect& Frame);
// The handle at (X, Y), or -1.
int PGHandleAt(const TRect& Frame, int X, int Y);
// Grab offset (image pixels) of a press at (IX, IY) on a handle.
TPoint PGHandleGrab(int Handle, const TPGSelectionRect& Sel, int IX, int IY);

// Moving keeps at least one row and column over the image.
TPGSelectionRect PGMoveSelection(const TPGSelectionRect& Sel, int IX, int IY, TPoint Grab, int ImageWidth,
                                 int ImageHeight);
TPGSelectionRect PGCreateSelection(TPoint Anchor, int IX, int IY);
// An edge dragged past the opposite one stops one pixel short of it.
TPGSelectionRect PGResizeSelection(const TPGSelectionRect& Sel, int Handle, int IX, int IY, TPoint Grab);

// The 8 x 8 pattern of frame phase Phase: diagonal bands four pixels wide.
QImage PGSelectionPattern(TColor Color1, TColor Color2, int Phase);

} // namespace lumeno
