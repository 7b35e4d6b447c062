#pragma once
// Floyd-Steinberg error diffusion: the error-limit table and its automatic
// limits. The diffusion itself runs in TPixelGraphic::DitherPixel.

#include "imagelib/palettes.h"

#include <vector>

namespace lumeno {

// The table covers errors -255..255; entry e + 255 belongs to error e.
constexpr int DitherErrorTableSize = 511;

// The limit that DitherErrorLimitAuto picks for a palette kind: small
// palettes tolerate large errors, fine grey ramps only tiny ones.
int AutoDitherErrorLimit(TPaletteIdent Palette);

// Errors up to Limit pass unchanged and larger ones are cut to Limit; a soft
// knee bends the curve between Limit / 2 and 3 * Limit / 2 to hide the seam.
std::vector<int> BuildDitherErrorTable(int Limit, bool Soft);

} // namespace lumeno
