#pragma once
// Colour-model conversions shared by the point filters, in extended
// precision: R, G, B, S, L, V, Y in 0..1, Cb and Cr in -0.5..0.5, hue in
// degrees. A grey has no hue: its hue is HueUndefined.

#include "platform/numeric.h"

#include <cstdint>

namespace lumeno {

constexpr Extended HueUndefined = 1e10L;

void RGBToYCbCr(Extended R, Extended G, Extended B, Extended& Y, Extended& Cb, Extended& Cr);
void YCbCrToRGB(Extended Y, Extended Cb, Extended Cr, Extended& R, Extended& G, Extended& B);

// Bytes: each output is the complement of its input.
void RGBToCMY(std::uint8_t R, std::uint8_t G, std::uint8_t B, std::uint8_t& C, std::uint8_t& M,
              std::uint8_t& Y);
void CMYToRGB(std::uint8_t C, std::uint8_t M, std::uint8_t Y, std::uint8_t& R, std::uint8_t& G,
              std::uint8_t& B);

void RGBToHSV(Extended R, Extended G, Extended B, Extended& H, Extended& S, Extended& V);
// Raises EPGSaturationHue for S = 0 with a defined hue.
void HSVToRGB(Extended H, Extended S, Extended V, Extended& R, Extended& G, Extended& B);
void RGBToHLS(Extended R, Extended G, Extended B, Extended& H, Extended& L, Extended& S);
// Raises EPGSaturationHue for S = 0 with a defined hue.
void HLSToRGB(Extended H, Extended L, Extended S, Extended& R, Extended& G, Extended& B);
Extended HLSValue(Extended N1, Extended N2, Extended Hue);

// V rounded half to even and clamped to 0..255 (a NaN gives 0).
std::uint8_t RoundToByte(Extended V);
// A channel in 0..1 as a byte.
inline std::uint8_t UnitToByte(Extended X)
{
    return RoundToByte(X * 255);
}

} // namespace lumeno

namespace lumeno {

// Table T read at a position X in 0..255 with linear interpolation between
// neighbouring entries.
inline Extended ReadTable(const std::uint8_t* T, Extended X)
{
    std::int64_t k = Trunc(X);
    if (X < 0)
        k = 0;
    if (k >= 255)
        return T[255];
    return T[k] * (static_cast<Extended>(k) + 1 - X) + T[k + 1] * (X - static_cast<Extended>(k));
}

} // namespace lumeno
