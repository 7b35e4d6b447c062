#include "imagelib/view/pg_layout.h"

#include <algorithm>

namespace lumeno {

namespace {

int AtLeastOne(Extended v)
{
    return std::max(1, static_cast<int>(std::min<Extended>(Trunc(v), 2147483647.0L)));
}

TPGLayoutResult FitWidth(const TPGLayoutInput& In, int width, Extended r)
{
    TPGLayoutResult res;
    res.Picture.Width = std::max(1, width);
    res.Picture.Height = AtLeastOne(res.Picture.Width / r);
    res.Zoom = static_cast<Extended>(res.Picture.Width) / In.Source.Width;
    return res;
}

TPGLayoutResult FitHeight(const TPGLayoutInput& In, int height, Extended r)
{
    TPGLayoutResult res;
    res.Picture.Height = std::max(1, height);
    res.Picture.Width = AtLeastOne(res.Picture.Height * r);
    res.Zoom = static_cast<Extended>(res.Picture.Height) / In.Source.Height;
    return res;
}

TPGLayoutResult Fit(const TPGLayoutInput& In, Extended r, Extended a)
{
    return a < r ? FitWidth(In, In.Available.Width, r) : FitHeight(In, In.Available.Height, r);
}

// Fits the shorter edge first; when that leaves room along the other one,
// refits so the longer edge scrolls.
TPGLayoutResult LongerEdgeFit(const TPGLayoutInput& In, Extended r, Extended a)
{
    const TPGLayoutResult first = Fit(In, r, a);
    const TPGSize& A = In.Available;
    if (A.Width - In.VScrollWidth > first.Picture.Width || A.Height - In.HScrollHeight > first.Picture.Height)
        return a > r ? FitWidth(In, A.Width - In.VScrollWidth, r)
                     : FitHeight(In, A.Height - In.HScrollHeight, r);
    return first;
}

bool ShrinkLongerEdgeApplies(const TPGLayoutInput& In)
{
    const TPGSize& S = In.Source;
    const TPGSize& A = In.Available;
    return (S.Width > A.Width && S.Height > A.Height - In.HScrollHeight) ||
           (S.Width > A.Width - In.VScrollWidth && S.Height > A.Height);
}

TPGLayoutResult Enlarge(const TPGLayoutInput& In)
{
    const TPGSize& S = In.Source;
    const TPGSize& A = In.Available;
    TPGLayoutResult res{S, 1.0L};
    const int h = S.Width > A.Width ? A.Height - In.HScrollHeight : A.Height;
    const int w = S.Height > A.Height ? A.Width - In.VScrollWidth : A.Width;
    if (w > S.Width) {
        res.Picture.Width = w;
        res.Zoom = -1;
    }
    if (S.Height < h) {
        res.Picture.Height = h;
        res.Zoom = -1;
    }
    return res;
}

TPGLayoutResult Zoomed(const TPGLayoutInput& In)
{
    const Extended z = In.ZoomFactor > 0 ? In.ZoomFactor : 1.0L;
    return {{AtLeastOne(Round(In.Source.Width * z)), AtLeastOne(Round(In.Source.Height * z))}, z};
}

} // namespace

TPGLayoutResult PGLayoutPicture(const TPGLayoutInput& In)
{
    const TPGSize& S = In.Source;
    const TPGSize& A = In.Available;
    TPGLayoutResult same{S, 1.0L};
    if (S.Width < 1 || S.Height < 1 || A.Width < 1 || A.Height < 1)
        return same;
    const Extended r = static_cast<Extended>(S.Width) / S.Height;
    const Extended a = static_cast<Extended>(A.Width) / A.Height;
    const bool wider = S.Width > A.Width, higher = S.Height > A.Height;
    const bool smaller = S.Width < A.Width && S.Height < A.Height;
    switch (In.Stretch) {
    case sNeverKAR:
        return same;
    case sAlways:
        return {A, -1};
    case sAlwaysKAR:
        return Fit(In, r, a);
    case sShrink: {
        TPGLayoutResult res{{std::min(S.Width, A.Width), std::min(S.Height, A.Height)}, 1.0L};
        if (wider || higher)
            res.Zoom = -1;
        return res;
    }
    case sShrinkKAR:
        return wider || higher ? Fit(In, r, a) : same;
    case sEnlarge:
        return Enlarge(In);
    case sEnlargeKAR:
        return smaller ? Fit(In, r, a) : same;
    case sAlwaysLongerEdgeKAR:
        return LongerEdgeFit(In, r, a);
    case sShrinkLongerEdgeKAR:
        return ShrinkLongerEdgeApplies(In) ? LongerEdgeFit(In, r, a) : same;
    case sEnlargeShrinkLongerEdgeKAR:
        if (smaller)
            return Fit(In, r, a);
        return ShrinkLongerEdgeApplies(In) ? LongerEdgeFit(In, r, a) : same;
    case sEnlargeLongerEdgeKAR:
        return S.Width < A.Width || S.Height < A.Height ? LongerEdgeFit(In, r, a) : same;
    case sZoomKAR:
        return Zoomed(In);
    }
    return same;
}

TPGBars PGNeededBars(TPGSize Picture, TPGSize Available, int HScrollHeight, int VScrollWidth)
{
    TPGBars bars;
    int w = Available.Width, h = Available.Height;
    for (int pass = 0; pass < 2; ++pass) {
        if (w < Picture.Width && !bars.Horizontal) {
            h -= HScrollHeight;
            bars.Horizontal = true;
        }
        if (Picture.Height > h && !bars.Vertical) {
            w -= VScrollWidth;
            bars.Vertical = true;
        }
    }
    return bars;
}

TPGSize PGCenterOffset(TPGSize Picture, TPGSize Available, int HScrollHeight, int VScrollWidth)
{
    const TPGBars bars = PGNeededBars(Picture, Available, HScrollHeight, VScrollWidth);
    const int w = Available.Width - (bars.Vertical ? VScrollWidth : 0);
    const int h = Available.Height - (bars.Horizontal ? HScrollHeight : 0);
    return {w > Picture.Width ? (w - Picture.Width) / 2 : 0,
            h > Picture.Height ? (h - Picture.Height) / 2 : 0};
}

int PGScale(int Value, int Numerator, int Denominator)
{
    if (Denominator < 1)
        return 0;
    return static_cast<int>(static_cast<std::int64_t>(Value) * Numerator / Denominator);
}

TPGTileRange PGTileRange(int Start, int Size, int ClientEnd)
{
    TPGTileRange range;
    if (Size < 1)
        return range;
    const std::int64_t end = static_cast<std::int64_t>(Start) + Size;
    if (Start > 0)
        range.First = static_cast<int>((1 - end) / Size);
    if (ClientEnd > end)
        range.Last = static_cast<int>((ClientEnd - end + Size - 1) / Size);
    return range;
}

} // namespace lumeno
