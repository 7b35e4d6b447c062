#pragma once
// Palette kinds, the standard palettes and their arithmetic colour lookup.

#include "platform/types.h"

#include <array>
#include <cstdint>

namespace lumeno {

enum TPaletteIdent : std::uint8_t {
    pNone,
    pTrueColor,
    pUnknown,
    pBlackWhite,
    pSysGray4,
    pSys16,
    pGray4,
    pGray16,
    pGray236,
    pGray256,
    pSpecial125,
    pSpecial216,
    pSpecial252,
    // View options only; an image never holds these.
    pOptimized252Sys16,
    pSource
};

// Entry count of a standard palette; 0 for every other kind.
int StandardPaletteSize(TPaletteIdent p);
// Entry Index (0 .. size - 1) of a standard palette.
TColor StandardPaletteEntry(TPaletteIdent p, int Index);

// The 16 system colours in palette order; also entries 0..15 of pSpecial252.
extern const std::array<TColor, 16> Sys16Colors;
// The fixed 252-colour table.
const std::array<TColor, 252>& Special252Colors();

// Pixel value of Color in a standard palette (brightness weighting as given).
int StandardColorToIndex(TPaletteIdent p, TColor Color, bool RGBWeighting);

// Squared RGB distance.
constexpr int ColorDistance(TColor a, TColor b)
{
    const int dr = static_cast<int>(GetRValue(a)) - static_cast<int>(GetRValue(b));
    const int dg = static_cast<int>(GetGValue(a)) - static_cast<int>(GetGValue(b));
    const int db = static_cast<int>(GetBValue(a)) - static_cast<int>(GetBValue(b));
    return dr * dr + dg * dg + db * db;
}

// Candidate entries of one pSpecial252 lookup cell (ascending indices).
struct TSpecial252Cell {
    const std::uint8_t* Entries;
    int Count;
};
constexpr int Special252CellCount = 729;
TSpecial252Cell Special252CellCandidates(int Cell);

} // namespace lumeno
