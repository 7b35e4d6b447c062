#include "imagelib/dither.h"

#include "imagelib/pg_helpers.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>

namespace lumeno {

int AutoDitherErrorLimit(TPaletteIdent Palette)
{
    switch (Palette) {
    case pBlackWhite:
        return 255;
    case pSysGray4:
    case pSys16:
    case pGray4:
        return 128;
    case pGray236:
        return 3;
    case pGray256:
        return 2;
    case pSpecial125:
    case pSpecial252:
        return 104;
    case pSpecial216:
        return 86;
    default:
        return 32;
    }
}

std::vector<int> BuildDitherErrorTable(int Limit, bool Soft)
{
    int half[256];
    for (int e = 0; e <= 255; ++e)
        half[e] = e;
    if (Limit < 255)
        for (int e = std::max(Limit, 0); e <= 255; ++e)
            half[e] = Limit;
    if (Soft)
        for (int e = Limit / 2; e <= (3 * Limit) / 2 && e < 255; ++e)
            half[e] = e / 2 + Limit / 4;
    std::vector<int> table(DitherErrorTableSize);
    for (int e = 0; e <= 255; ++e) {
        table[255 + e] = half[e];
        table[255 - e] = -half[e];
    }
    return table;
}

namespace {

// Accumulated errors are kept times 16; scale back rounding halves away from zero.
inline int ScaledError(int e)
{
    return e >= 0 ? (e + 8) / 16 : -((8 - e) / 16);
}

inline int Clamp255(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

inline int Limited(const int* table, int e)
{
    return table[255 + std::clamp(e, -255, 255)];
}

} // namespace

void TPixelGraphic::InitDither()
{
    FreeDitherBuffers();
    const std::size_t entries = static_cast<std::size_t>(FWidth + 2) * 3;
    FDitherCurrentRow.assign(entries, 0);
    FDitherNextRow.assign(entries, 0);
    FIsGrayPalette = !FPalette.empty() && std::all_of(FPalette.begin(), FPalette.end(), [](TColor c) {
        return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
    });
    if (FDitherErrorLimitAuto)
        FDitherErrorTable = BuildDitherErrorTable(AutoDitherErrorLimit(FPaletteType), true);
    else
        FDitherErrorTable = BuildDitherErrorTable(FDitherErrorLimit, FDitherErrorLimitSoft);
}

void TPixelGraphic::SwapDitherRows()
{
    FDitherCurrentRow.swap(FDitherNextRow);
    std::fill(FDitherNextRow.begin(), FDitherNextRow.end(), 0);
}

void TPixelGraphic::DitherPixel(int X, int Y, int R, int G, int B)
{
    if (X < 0 || X >= FWidth || FDitherErrorTable.empty())
        return;
    const int* L = FDitherErrorTable.data();
    int* cur = FDitherCurrentRow.data() + (X + 1) * 3;
    int* next = FDitherNextRow.data() + (X + 1) * 3;
    const int forward = (Y & 1) ? -3 : 3;

    int err[3];
    if (FIsGrayPalette) {
        const int v =
            Clamp255(PixelBrightness(RGB(R, G, B), FRGBWeighting) / 3 + Limited(L, ScaledError(cur[1])));
        const std::uint32_t index = ColorToIndex(RGB(v, v, v));
        SetPixel(X, Y, index);
        const TColor got = index < FPalette.size() ? FPalette[index] : RGB(v, v, v);
        err[0] = 0;
        err[1] = v - static_cast<int>(GetGValue(got));
        err[2] = 0;
    } else {
        const int r = Clamp255(R + Limited(L, ScaledError(cur[0])));
        const int g = Clamp255(G + Limited(L, ScaledError(cur[1])));
        const int b = Clamp255(B + Limited(L, ScaledError(cur[2])));
        const std::uint32_t index = ColorToIndex(RGB(r, g, b));
        SetPixel(X, Y, index);
        const TColor got = index < FPalette.size() ? FPalette[index] : RGB(r, g, b);
        err[0] = r - static_cast<int>(GetRValue(got));
        err[1] = g - static_cast<int>(GetGValue(got));
        err[2] = b - static_cast<int>(GetBValue(got));
    }
    for (int c = 0; c < 3; ++c) {
        cur[forward + c] += 7 * err[c];
        next[c] += 5 * err[c];
        next[-forward + c] += 3 * err[c];
        next[forward + c] += err[c];
    }
}

void TPixelGraphic::FreeDitherBuffers()
{
    FDitherCurrentRow = {};
    FDitherNextRow = {};
    FDitherErrorTable = {};
}

} // namespace lumeno
