#include "imagelib/palettes.h"

#include "imagelib/pg_helpers.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <vector>

namespace lumeno {

const std::array<TColor, 16> Sys16Colors = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
};

namespace {

// Entries 125..251 of the fixed 252-colour table.
const TColor Special252Tail[127] = {
    RGB(32, 32, 32),    RGB(96, 96, 96),    RGB(160, 160, 160), RGB(224, 224, 224), RGB(255, 224, 255),
    RGB(224, 224, 255), RGB(224, 255, 255), RGB(224, 255, 224), RGB(255, 255, 224), RGB(255, 224, 224),
    RGB(255, 192, 224), RGB(224, 192, 255), RGB(192, 224, 255), RGB(192, 255, 224), RGB(224, 255, 192),
    RGB(255, 224, 192), RGB(224, 192, 224), RGB(192, 192, 224), RGB(192, 224, 224), RGB(192, 224, 192),
    RGB(224, 224, 192), RGB(224, 192, 192), RGB(255, 160, 192), RGB(255, 160, 224), RGB(255, 160, 255),
    RGB(224, 160, 255), RGB(192, 160, 255), RGB(160, 160, 255), RGB(160, 192, 255), RGB(160, 224, 255),
    RGB(160, 255, 255), RGB(160, 255, 224), RGB(160, 255, 192), RGB(160, 255, 160), RGB(192, 255, 160),
    RGB(224, 255, 160), RGB(255, 255, 160), RGB(255, 224, 160), RGB(255, 192, 160), RGB(255, 160, 160),
    RGB(224, 160, 192), RGB(224, 160, 224), RGB(192, 160, 224), RGB(160, 160, 224), RGB(160, 192, 224),
    RGB(160, 224, 224), RGB(160, 224, 192), RGB(160, 224, 160), RGB(192, 224, 160), RGB(224, 224, 160),
    RGB(224, 192, 160), RGB(224, 160, 160), RGB(255, 128, 160), RGB(255, 128, 224), RGB(224, 128, 255),
    RGB(160, 128, 255), RGB(128, 160, 255), RGB(128, 224, 255), RGB(128, 255, 224), RGB(128, 255, 160),
    RGB(160, 255, 128), RGB(224, 255, 128), RGB(255, 224, 128), RGB(255, 160, 128), RGB(192, 160, 192),
    RGB(160, 160, 192), RGB(160, 192, 192), RGB(160, 192, 160), RGB(192, 192, 160), RGB(192, 160, 160),
    RGB(224, 128, 160), RGB(224, 128, 192), RGB(224, 128, 224), RGB(192, 128, 224), RGB(160, 128, 224),
    RGB(128, 128, 224), RGB(128, 160, 224), RGB(128, 192, 224), RGB(128, 224, 224), RGB(128, 224, 192),
    RGB(128, 224, 160), RGB(128, 224, 128), RGB(160, 224, 128), RGB(192, 224, 128), RGB(224, 224, 128),
    RGB(224, 192, 128), RGB(224, 160, 128), RGB(224, 128, 128), RGB(255, 96, 128),  RGB(255, 96, 160),
    RGB(255, 96, 192),  RGB(255, 96, 224),  RGB(255, 96, 255),  RGB(224, 96, 255),  RGB(192, 96, 255),
    RGB(160, 96, 255),  RGB(128, 96, 255),  RGB(96, 96, 255),   RGB(96, 128, 255),  RGB(96, 160, 255),
    RGB(96, 192, 255),  RGB(96, 224, 255),  RGB(96, 255, 255),  RGB(96, 255, 224),  RGB(96, 255, 192),
    RGB(96, 255, 160),  RGB(96, 255, 128),  RGB(96, 255, 96),   RGB(128, 255, 96),  RGB(160, 255, 96),
    RGB(192, 255, 96),  RGB(224, 255, 96),  RGB(255, 255, 96),  RGB(255, 224, 96),  RGB(255, 192, 96),
    RGB(255, 160, 96),  RGB(255, 128, 96),  RGB(255, 96, 96),   RGB(192, 128, 160), RGB(160, 128, 192),
    RGB(128, 160, 192), RGB(128, 192, 160), RGB(160, 192, 128), RGB(192, 160, 128), RGB(224, 96, 128),
    RGB(224, 96, 160),  RGB(224, 96, 192),
};

// Up to three candidates per cell (R div 64, G div 64, B div 64).
const std::uint8_t Sys16Candidates[64][3] = {
    {0, 0, 0},   {4, 4, 4},  {4, 4, 4},   {12, 12, 12}, {2, 2, 2},    {6, 6, 6},   {6, 6, 6},   {6, 12, 12},
    {2, 2, 2},   {6, 6, 6},  {6, 6, 6},   {6, 14, 14},  {10, 10, 10}, {6, 10, 10}, {6, 14, 14}, {14, 14, 14},
    {1, 1, 1},   {5, 5, 5},  {5, 5, 5},   {5, 12, 12},  {3, 3, 3},    {8, 8, 8},   {8, 8, 8},   {8, 12, 12},
    {3, 3, 3},   {8, 8, 8},  {8, 8, 8},   {7, 8, 14},   {3, 10, 10},  {8, 10, 10}, {7, 8, 14},  {7, 14, 14},
    {1, 1, 1},   {5, 5, 5},  {5, 5, 5},   {5, 13, 13},  {3, 3, 3},    {8, 8, 8},   {8, 8, 8},   {7, 8, 13},
    {3, 3, 3},   {8, 8, 8},  {7, 8, 8},   {7, 7, 7},    {3, 11, 11},  {7, 8, 11},  {7, 7, 7},   {7, 7, 7},
    {9, 9, 9},   {5, 9, 9},  {5, 13, 13}, {13, 13, 13}, {3, 9, 9},    {8, 9, 9},   {7, 8, 13},  {7, 13, 13},
    {3, 11, 11}, {7, 8, 11}, {7, 7, 7},   {7, 7, 7},    {11, 11, 11}, {7, 11, 11}, {7, 7, 7},   {7, 15, 15},
};

constexpr int Cube125Level(int i)
{
    return (i * 255 + 3) / 4;
}
constexpr int Cube216Level(int i)
{
    return (i * 255 + 4) / 5;
}
constexpr int Gray236Level(int i)
{
    return (i * 510 + 235) / 470;
}

TColor Grey(int v)
{
    return RGB(v, v, v);
}

std::array<TColor, 252> BuildSpecial252()
{
    std::array<TColor, 252> t{};
    int n = 0;
    for (TColor c : Sys16Colors)
        t[n++] = c;
    for (int r = 0; r < 5; ++r)
        for (int g = 0; g < 5; ++g)
            for (int b = 0; b < 5; ++b) {
                const TColor c = RGB(Cube125Level(r), Cube125Level(g), Cube125Level(b));
                bool isSystem = false;
                for (TColor s : Sys16Colors)
                    isSystem = isSystem || s == c;
                if (!isSystem)
                    t[n++] = c;
            }
    for (TColor c : Special252Tail)
        t[n++] = c;
    return t;
}

// Brightness 0..765 to the nearest of the 236 greys (ties to the lower).
std::array<std::uint8_t, 766> BuildGray236Lookup()
{
    std::array<std::uint8_t, 766> t{};
    int best = 0;
    for (int b = 0; b < 766; ++b) {
        while (best < 235 && std::abs(3 * Gray236Level(best + 1) - b) < std::abs(3 * Gray236Level(best) - b))
            ++best;
        t[b] = static_cast<std::uint8_t>(best);
    }
    return t;
}

// Channel range [lo, hi] of lookup cell k of the 252-colour palette,
// whose cells are (c + 16) div 32.
void Special252CellRange(int k, int& lo, int& hi)
{
    lo = k == 0 ? 0 : k * 32 - 16;
    hi = k == 8 ? 255 : k * 32 + 15;
}

int AxisMinDistance(int v, int lo, int hi)
{
    const int d = v < lo ? lo - v : (v > hi ? v - hi : 0);
    return d * d;
}

int AxisMaxDistance(int v, int lo, int hi)
{
    const int d = std::max(std::abs(v - lo), std::abs(v - hi));
    return d * d;
}

// Entry f wins against entry e for every colour of the box: strictly nearer,
// or as near and earlier. The difference of the squared distances is linear
// in the colour, so checking the eight corners suffices.
bool BeatsEverywhere(int f, int e, const int lo[3], const int hi[3])
{
    const auto& pal = Special252Colors();
    int worst = INT32_MIN;
    for (int corner = 0; corner < 8; ++corner) {
        const TColor c = RGB(corner & 4 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1],
                             corner & 1 ? hi[2] : lo[2]);
        worst = std::max(worst, ColorDistance(c, pal[static_cast<std::size_t>(f)]) -
                                    ColorDistance(c, pal[static_cast<std::size_t>(e)]));
    }
    return worst < 0 || (worst == 0 && f < e);
}

// For each cell, every entry that can be the nearest to some colour of the
// cell. An entry whose smallest distance to the cell exceeds some other
// entry's largest distance can never win; of the rest, one that another
// entry beats over the whole cell cannot win either (beating is transitive,
// so the true winner is never dropped).
struct TSpecial252Lists {
    std::vector<std::uint8_t> Entries;
    std::array<int, Special252CellCount + 1> Start{};

    TSpecial252Lists()
    {
        const auto& pal = Special252Colors();
        for (int cell = 0; cell < Special252CellCount; ++cell) {
            Start[cell] = static_cast<int>(Entries.size());
            int lo[3], hi[3];
            Special252CellRange(cell / 81, lo[0], hi[0]);
            Special252CellRange(cell / 9 % 9, lo[1], hi[1]);
            Special252CellRange(cell % 9, lo[2], hi[2]);
            int minDist[252];
            int bound = 1 << 30;
            for (int i = 0; i < 252; ++i) {
                const int ch[3] = {static_cast<int>(GetRValue(pal[i])), static_cast<int>(GetGValue(pal[i])),
                                   static_cast<int>(GetBValue(pal[i]))};
                int mn = 0, mx = 0;
                for (int a = 0; a < 3; ++a) {
                    mn += AxisMinDistance(ch[a], lo[a], hi[a]);
                    mx += AxisMaxDistance(ch[a], lo[a], hi[a]);
                }
                minDist[i] = mn;
                bound = std::min(bound, mx);
            }
            std::vector<int> near;
            for (int i = 0; i < 252; ++i)
                if (minDist[i] <= bound)
                    near.push_back(i);
            for (int e : near) {
                bool beaten = false;
                for (std::size_t k = 0; !beaten && k < near.size(); ++k)
                    beaten = near[k] != e && BeatsEverywhere(near[k], e, lo, hi);
                if (!beaten)
                    Entries.push_back(static_cast<std::uint8_t>(e));
            }
        }
        Start[Special252CellCount] = static_cast<int>(Entries.size());
    }
};

const TSpecial252Lists& Special252Lists()
{
    static const TSpecial252Lists lists;
    return lists;
}

int Sys16Index(TColor c)
{
    const int r = static_cast<int>(GetRValue(c)), g = static_cast<int>(GetGValue(c)),
              b = static_cast<int>(GetBValue(c));
    const std::uint8_t* cand = Sys16Candidates[(r / 64) * 16 + (g / 64) * 4 + b / 64];
    int best = cand[0];
    for (int i = 1; i < 3; ++i)
        if (cand[i] != cand[i - 1] &&
            ColorDistance(c, Sys16Colors[cand[i]]) < ColorDistance(c, Sys16Colors[best]))
            best = cand[i];
    return best;
}

int Special252Index(TColor c)
{
    const int r = static_cast<int>(GetRValue(c)), g = static_cast<int>(GetGValue(c)),
              b = static_cast<int>(GetBValue(c));
    const TSpecial252Cell cell =
        Special252CellCandidates(((r + 16) / 32) * 81 + ((g + 16) / 32) * 9 + (b + 16) / 32);
    const auto& pal = Special252Colors();
    int best = cell.Entries[0];
    int bestDist = ColorDistance(c, pal[best]);
    for (int i = 1; i < cell.Count; ++i) {
        const int d = ColorDistance(c, pal[cell.Entries[i]]);
        if (d < bestDist) {
            best = cell.Entries[i];
            bestDist = d;
        }
    }
    return best;
}

int Cube125Channel(int c)
{
    if (c == 224)
        c = 225;
    return (c + 31) / 64;
}

int Cube216Channel(int c)
{
    return (c + 24) / 51;
}

} // namespace

const std::array<TColor, 252>& Special252Colors()
{
    static const std::array<TColor, 252> table = BuildSpecial252();
    return table;
}

TSpecial252Cell Special252CellCandidates(int Cell)
{
    const auto& lists = Special252Lists();
    return {lists.Entries.data() + lists.Start[Cell], lists.Start[Cell + 1] - lists.Start[Cell]};
}

int StandardPaletteSize(TPaletteIdent p)
{
    switch (p) {
    case pBlackWhite:
        return 2;
    case pSysGray4:
    case pGray4:
        return 4;
    case pSys16:
    case pGray16:
        return 16;
    case pGray236:
        return 236;
    case pGray256:
        return 256;
    case pSpecial125:
        return 125;
    case pSpecial216:
        return 216;
    case pSpecial252:
        return 252;
    default:
        return 0;
    }
}

TColor StandardPaletteEntry(TPaletteIdent p, int i)
{
    static const int sysGray4[4] = {0, 128, 192, 255};
    switch (p) {
    case pBlackWhite:
        return i == 0 ? clBlack : clWhite;
    case pSysGray4:
        return Grey(sysGray4[i]);
    case pSys16:
        return Sys16Colors[i];
    case pGray4:
        return Grey(i * 255 / 3);
    case pGray16:
        return Grey(i * 255 / 15);
    case pGray236:
        return Grey(Gray236Level(i));
    case pGray256:
        return Grey(i);
    case pSpecial125:
        return RGB(Cube125Level(i / 25), Cube125Level(i / 5 % 5), Cube125Level(i % 5));
    case pSpecial216:
        return RGB(Cube216Level(i / 36), Cube216Level(i / 6 % 6), Cube216Level(i % 6));
    case pSpecial252:
        return Special252Colors()[i];
    default:
        return clBlack;
    }
}

int StandardColorToIndex(TPaletteIdent p, TColor c, bool RGBWeighting)
{
    const int b = PixelBrightness(c, RGBWeighting);
    switch (p) {
    case pBlackWhite:
        return (b + 1) / 384;
    case pSysGray4:
        return b < 193 ? 0 : b < 481 ? 1 : b < 671 ? 2 : 3;
    case pGray4:
        return (b + 127) / 255;
    case pGray16:
        return (b + 25) / 51;
    case pGray236: {
        static const std::array<std::uint8_t, 766> lookup = BuildGray236Lookup();
        return lookup[b];
    }
    case pGray256:
        return (b + 1) / 3;
    case pSpecial125:
        return Cube125Channel(static_cast<int>(GetRValue(c))) * 25 +
               Cube125Channel(static_cast<int>(GetGValue(c))) * 5 +
               Cube125Channel(static_cast<int>(GetBValue(c)));
    case pSpecial216:
        return Cube216Channel(static_cast<int>(GetRValue(c))) * 36 +
               Cube216Channel(static_cast<int>(GetGValue(c))) * 6 +
               Cube216Channel(static_cast<int>(GetBValue(c)));
    case pSys16:
        return Sys16Index(c);
    case pSpecial252:
        return Special252Index(c);
    default:
        return 0;
    }
}

} // namespace lumeno
