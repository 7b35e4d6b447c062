#pragma once
// The view control's layout arithmetic, free of widgets: where the picture
// goes, at which zoom, which scroll bars that needs, and how paint-box
// pixels map to image pixels.

#include "imagelib/view/pg_view_types.h"
#include "platform/numeric.h"

#include <cstdint>

namespace lumeno {

struct TPGSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TPGSize&, const TPGSize&) = default;
};

struct TPGLayoutInput {
    TPGSize Source;    // image size (0 x 0 when empty)
    TPGSize Available; // client area without the border
    TStretch Stretch = sNeverKAR;
    Extended ZoomFactor = 1.0L;
    int HScrollHeight = 0; // horizontal scroll bar height
    int VScrollWidth = 0;  // vertical scroll bar width
};

struct TPGLayoutResult {
    TPGSize Picture;
    Extended Zoom = 1.0L; // -1: stretched non-uniformly
};

// The picture size and effective zoom for a stretch rule. A fitted
// picture is never smaller than 1 x 1.
TPGLayoutResult PGLayoutPicture(const TPGLayoutInput& In);

struct TPGBars {
    bool Horizontal = false;
    bool Vertical = false;
};

// Which scroll bars a picture of size Picture needs in Available; each bar
// taken eats into the other direction.
TPGBars PGNeededBars(TPGSize Picture, TPGSize Available, int HScrollHeight, int VScrollWidth);

// Top-left of a centred picture (0, 0 where it does not fit).
TPGSize PGCenterOffset(TPGSize Picture, TPGSize Available, int HScrollHeight, int VScrollWidth);

// Integer mapping between paint-box and image pixels, in 64 bits so that
// large zoomed pictures do not overflow. 0 when the divisor is below 1.
int PGScale(int Value, int Numerator, int Denominator);

// Extent of the tile grid (first and last index, inclusive) along one axis:
// tiles of Size repeated from Start, covering 0 .. ClientEnd.
struct TPGTileRange {
    int First = 0;
    int Last = 0;
};
TPGTileRange PGTileRange(int Start, int Size, int ClientEnd);

} // namespace lumeno
