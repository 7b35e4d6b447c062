#pragma once
// The colour-resolution change: a new image of a chosen depth whose palette
// is a standard one or an optimised one, the picture mapped into it.

#include "imagelib/palettes.h"

#include <cstdint>
#include <memory>

namespace lumeno {

class TPixelGraphic;

struct TColorRezChoice {
    std::uint8_t PixelFormat = 3; // pf1Bit .. pf24Bit
    // A standard palette, or pNone for an optimised one of Colors entries.
    TPaletteIdent Palette = pNone;
    int Colors = 256;
    bool AddSystemColors = false;
    bool Dither = true;
    bool RGBWeighting = true;
};

std::unique_ptr<TPixelGraphic> ColorRezImage(TPixelGraphic& Source, const TColorRezChoice& Choice);
// The counts that allow OK: 2..16 colours for 4 bits, 2..256 for 8 bits.
bool ColorCountsValid(int Colors4, int Colors8);

} // namespace lumeno
