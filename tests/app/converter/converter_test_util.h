#pragma once
// Pictures and read-backs shared by the converter tests.

#include "imagelib/pixel_graphic.h"

#include <set>
#include <string>

namespace lumeno::test {

// A colourful 24-bit picture: smooth gradients, with its top-left quarter
// pure red.
inline void MakePicture(TPixelGraphic& g, int w, int h)
{
    g.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool red = x < w / 2 && y < h / 2;
            g.SetPixelColor(x, y, red ? RGB(255, 0, 0) : RGB(x * 255 / w, y * 255 / h, (x * y) % 256));
        }
}

inline std::set<TColor> DistinctColors(TPixelGraphic& g)
{
    std::set<TColor> colors;
    for (int y = 0; y < g.GetHeight(); ++y)
        for (int x = 0; x < g.GetWidth(); ++x)
            colors.insert(g.GetPixelColor(x, y));
    return colors;
}

} // namespace lumeno::test
