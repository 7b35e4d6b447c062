#include "imagelib/pg_gamma.h"

#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pixel_graphic.h"

#include <array>
#include <cmath>

namespace lumeno {

Extended Power(Extended Base, Extended Exponent)
{
    if (Exponent == 0)
        return 1;
    if (Base == 0)
        return 0;
    if (Base == 1)
        return 1;
    if (Base < 0)
        throw EPixelGraphic("Invalid Argument");
    return std::exp(Exponent * std::log(Base));
}

namespace {

void MapPixels(TPixelGraphic& g, const std::array<std::uint8_t, 256>& t)
{
    const int rowBytes = g.GetWidth() * 3;
    for (int y = 0; y < g.GetHeight(); ++y) {
        std::uint8_t* p = g.GetScanLine(y);
        for (int i = 0; i < rowBytes; ++i)
            p[i] = t[p[i]];
    }
}

void MapPalette(TPixelGraphic& g, const std::array<std::uint8_t, 256>& t)
{
    for (int i = 0; i < g.GetPaletteSize(); ++i) {
        const TColor c = g.GetPaletteEntry(i);
        g.SetPaletteEntry(i, RGB(t[GetRValue(c)], t[GetGValue(c)], t[GetBValue(c)]));
    }
}

} // namespace

void GammaCorrectLoadedImage(TPixelGraphic& Graphic)
{
    const Extended ratio = Graphic.GetGamma() / DefaultGamma;
    if (!GammaCorrectOnLoad || std::fabs(ratio - 1) <= 0.05L)
        return;
    std::array<std::uint8_t, 256> table;
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(Round(255 * Power(i / 255.0L, ratio)));
    if (Graphic.GetPixelFormat() == pf24Bit)
        MapPixels(Graphic, table);
    else
        MapPalette(Graphic, table);
    Graphic.SetGamma(DefaultGamma);
}

} // namespace lumeno
