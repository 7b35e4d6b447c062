#pragma once
// Small pictures for the filter tests.

#include "imagelib/pixel_graphic.h"

#include <vector>

namespace lumeno::test {

// A 24-bit image of Width x (Colors.size() / Width) pixels, row by row.
inline void MakeImage(TPixelGraphic& g, int Width, const std::vector<TColor>& Colors)
{
    const int height = static_cast<int>(Colors.size()) / Width;
    g.SetDimensions(Width, height, pf24Bit);
    for (int i = 0; i < static_cast<int>(Colors.size()); ++i)
        g.SetPixelColor(i % Width, i / Width, Colors[static_cast<std::size_t>(i)]);
}

inline std::vector<TColor> Colors(TPixelGraphic& g)
{
    std::vector<TColor> out;
    for (int y = 0; y < g.GetHeight(); ++y)
        for (int x = 0; x < g.GetWidth(); ++x)
            out.push_back(g.GetPixelColor(x, y));
    return out;
}

// The colour a filter gives one 24-bit pixel.
template <class F> TColor Filtered(F& Filter, TColor C)
{
    TPixelGraphic source, target;
    MakeImage(source, 1, {C});
    target.ApplyFilter(Filter, source);
    return target.GetPixelColor(0, 0);
}

} // namespace lumeno::test
