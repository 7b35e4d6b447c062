#include "imagelib/filters/point_filters.h"

#include "imagelib/filters/color_models.h"
#include "imagelib/pg_helpers.h"

#include <algorithm>
#include <cmath>

namespace lumeno {

void TNegativeFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    for (int i = 0; i < Count * 3; ++i)
        Out[i] = static_cast<std::uint8_t>(255 - In[i]);
}

void TGrayScaleFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    const bool weighted = RGBWeighting;
    for (int i = 0; i < Count; ++i, In += 3, Out += 3) {
        const int v = PixelBrightness(RGB(In[2], In[1], In[0]), weighted) / 3;
        Out[0] = Out[1] = Out[2] = static_cast<std::uint8_t>(v);
    }
}

namespace {

// The luminance change as defined: every step in long double.
void MapLuminanceExact(const std::uint8_t* T, const std::uint8_t* Pixel, std::uint8_t* Result)
{
    Extended y, cb, cr, r, g, b;
    RGBToYCbCr(Pixel[2] / 255.0L, Pixel[1] / 255.0L, Pixel[0] / 255.0L, y, cb, cr);
    y = ReadTable(T, y * 255) / 255;
    YCbCrToRGB(y, cb, cr, r, g, b);
    Result[0] = UnitToByte(b);
    Result[1] = UnitToByte(g);
    Result[2] = UnitToByte(r);
}

// The fast path works in fixed point with 32 fraction bits. Its tables
// are rounded to 2^-33 and the luminance's error grows by at most 255 times
// through the table's slope, so a result is off the long double one by less
// than 1e-7 (the long double steps add below 1e-12). The clamped rounding is
// continuous everywhere but at the ties, so outside a margin of 2e-6 around
// them both paths give the same byte.
constexpr int FractionBits = 32;
constexpr std::int64_t One = std::int64_t{1} << FractionBits;

std::int64_t ToFixed(double V)
{
    return std::llround(V * static_cast<double>(One));
}

// A result rounded and clamped as UnitToByte does, or -1 when it lies so
// near a tie that only the exact path may decide.
int RoundClear(std::int64_t V)
{
    constexpr std::int64_t Margin = std::int64_t{1} << 13;
    V = std::min<std::int64_t>(std::max<std::int64_t>(V, 0), 255 * One) + One / 2;
    // Outside Margin .. One - Margin, in one unsigned comparison.
    const auto part = static_cast<std::uint64_t>((V & (One - 1)) - Margin);
    return part > static_cast<std::uint64_t>(One - 2 * Margin) ? -1 : static_cast<int>(V >> FractionBits);
}

} // namespace

void TBCGFilter::Prepare()
{
    for (int i = 0; i < 256; ++i) {
        Extended v = Power(i / 255.0L, Gamma) * 255;
        v = (v - 127.5L) * Contrast + 127.5L;
        v = v + static_cast<Extended>(Brightness) * 255 * 0.01L;
        Table[static_cast<std::size_t>(i)] = RoundToByte(v);
    }
    // Coefficients by input channel blue, green, red; rows of the result
    // blue, green, red from the luminance, Cb and Cr.
    constexpr double luma[3] = {0.114, 0.587, 0.299};
    constexpr double cb[3] = {0.5, -0.331, -0.169};
    constexpr double cr[3] = {-0.081, -0.419, 0.5};
    for (std::size_t c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v) {
            const auto i = static_cast<std::size_t>(v);
            FLuma[c][i] = ToFixed(luma[c] * v);
            FShare[0][c][i] = ToFixed(1.773 * cb[c] * v);
            FShare[1][c][i] = ToFixed(-0.344 * cb[c] * v - 0.714 * cr[c] * v);
            FShare[2][c][i] = ToFixed(1.403 * cr[c] * v);
        }
}

void TBCGFilter::MapLuminance(const std::uint8_t* In, std::uint8_t* Out, int Count) const
{
    const std::uint8_t* t = Table.data();
    for (int i = 0; i < Count; ++i, In += 3, Out += 3) {
        const std::uint8_t b = In[0], g = In[1], r = In[2];
        // The table read between its two neighbouring entries.
        const std::int64_t x = FLuma[0][b] + FLuma[1][g] + FLuma[2][r];
        const std::int64_t k = std::min<std::int64_t>(x >> FractionBits, 255);
        const std::int64_t part = k == 255 ? 0 : x & (One - 1);
        const std::int64_t y = t[k] * (One - part) + t[std::min<std::int64_t>(k + 1, 255)] * part;
        int result[3];
        int unclear = 0; // negative when any channel is
        for (std::size_t c = 0; c < 3; ++c) {
            result[c] = RoundClear(y + FShare[c][0][b] + FShare[c][1][g] + FShare[c][2][r]);
            unclear |= result[c];
        }
        if (unclear < 0) {
            const std::uint8_t pixel[3] = {b, g, r};
            MapLuminanceExact(t, pixel, Out);
            continue;
        }
        for (int c = 0; c < 3; ++c)
            Out[c] = static_cast<std::uint8_t>(result[c]);
    }
}

void TBCGFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    if (UseY) {
        MapLuminance(In, Out, Count);
        return;
    }
    const std::uint8_t* t = Table.data();
    for (int i = 0; i < Count * 3; ++i)
        Out[i] = t[In[i]];
}

} // namespace lumeno
