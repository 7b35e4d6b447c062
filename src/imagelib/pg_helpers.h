#pragma once
// Small numeric helpers shared across the image library.

#include "platform/numeric.h"
#include "platform/types.h"

#include <cmath>

namespace lumeno {

constexpr int MaxInt(int a, int b)
{
    return a > b ? a : b;
}
constexpr int MinInt(int a, int b)
{
    return a < b ? a : b;
}

// Half-open: Left <= x < Right and Top <= y < Bottom.
constexpr bool PointInRect(const TPoint& p, const TRect& r)
{
    return r.Left <= p.X && p.X < r.Right && r.Top <= p.Y && p.Y < r.Bottom;
}

// Integer part, plus one when a positive fraction remains.
inline std::int64_t CeilExt(Extended x)
{
    std::int64_t t = Trunc(x);
    return (x > 0 && static_cast<Extended>(t) != x) ? t + 1 : t;
}

// Integer part, minus one when a negative fraction remains.
inline std::int64_t FloorExt(Extended x)
{
    std::int64_t t = Trunc(x);
    return (x < 0 && static_cast<Extended>(t) != x) ? t - 1 : t;
}

// 0..765 either way; the weighted form follows the luma weights.
constexpr int PixelBrightness(TColor c, bool weighted)
{
    const int r = static_cast<int>(GetRValue(c));
    const int g = static_cast<int>(GetGValue(c));
    const int b = static_cast<int>(GetBValue(c));
    return weighted ? (r * 299 + g * 587 + b * 114) * 3 / 1000 : r + g + b;
}

// Base raised to Exponent; Exponent 0 gives 1, Base 0 gives 0 and Base 1
// gives 1; a negative Base raises EPixelGraphic "Invalid Argument".
Extended Power(Extended Base, Extended Exponent);

} // namespace lumeno
