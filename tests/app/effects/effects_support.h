#pragma once
// Small pictures for the effect tests.

#include "app/effects/fast_bmp.h"
#include "imagelib/pixel_graphic.h"

#include <functional>
#include <memory>

namespace lumeno::test {

// A 24-bit image whose pixel (x, y) has the colour Colour(x, y).
inline void Paint(TPixelGraphic& g, int w, int h, const std::function<TColor(int, int)>& Colour)
{
    g.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g.SetPixelColor(x, y, Colour(x, y));
}

inline void Grey(TPixelGraphic& g, int w, int h, int level)
{
    Paint(g, w, h, [&](int, int) { return RGB(level, level, level); });
}

// Distinct channels everywhere, so moved pixels are told apart.
inline TColor Pattern(int x, int y)
{
    return RGB((x * 37 + y * 11) & 255, (x * 5 + y * 71) & 255, (x * y + 3) & 255);
}

inline std::unique_ptr<TFastBMP> Fast(int w, int h, const std::function<TColor(int, int)>& Colour)
{
    TPixelGraphic g;
    Paint(g, w, h, Colour);
    return TFastBMP::CreateFromBitmap(g);
}

inline TColor At(const TFastBMP& b, int x, int y)
{
    const std::uint8_t* p = b.Pixels[static_cast<std::size_t>(y)] + x * 3;
    return RGB(p[2], p[1], p[0]);
}

inline int Red(TPixelGraphic& g, int x, int y)
{
    return static_cast<int>(GetRValue(g.GetPixelColor(x, y)));
}

} // namespace lumeno::test
