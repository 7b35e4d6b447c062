#pragma once
// One picture at every pixel format, for routines that write pixel rows.

#include "imagelib/palettes.h"
#include "imagelib/pixel_graphic.h"

#include <cstdint>

namespace lumeno::test {

inline constexpr std::uint8_t AllPixelFormats[] = {pf1Bit, pf4Bit, pf8Bit, pf24Bit};

// A W x H colour ramp with a red middle, mapped into a black-and-white,
// 16-colour or 256-grey palette below 24 bits.
inline void FormatPicture(TPixelGraphic& g, int w, int h, std::uint8_t format)
{
    TPixelGraphic ramp;
    ramp.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ramp.SetPixelColor(x, y, RGB((x * 255) / w, (y * 255) / h, (x + y) & 255));
    ramp.SetPixelColor(w / 2, h / 2, RGB(255, 0, 0));
    g.SetDimensions(w, h, format);
    if (format == pf1Bit)
        g.SetPaletteType(pBlackWhite);
    else if (format == pf4Bit)
        g.SetPaletteType(pSys16);
    else if (format == pf8Bit)
        g.SetPaletteType(pGray256);
    g.CopyRect(0, 0, w, h, 0, 0, ramp);
}

} // namespace lumeno::test
