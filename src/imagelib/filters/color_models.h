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

// The channels of hue sector K (0..5; any other as 5) from the value V and
// the sector's falling, rising and lowest levels P, Q, T.
template <class F> void HueSectorToRGB(std::int64_t K, F V, F P, F Q, F T, F& R, F& G, F& B)
{
    switch (K) {
    case 0:
        R = V, G = T, B = P;
        break;
    case 1:
        R = Q, G = V, B = P;
        break;
    case 2:
        R = P, G = V, B = T;
        break;
    case 3:
        R = P, G = Q, B = V;
        break;
    case 4:
        R = T, G = P, B = V;
        break;
    default:
        R = V, G = P, B = Q;
        break;
    }
}

} // namespace lumeno

namespace lumeno {

// Table T read at a position X in 0..255 with linear interpolation between
// neighbouring entries.
template <class F> F ReadTable(const std::uint8_t* T, F X)
{
    auto k = static_cast<std::int64_t>(X);
    if (X < 0)
        k = 0;
    if (k >= 255)
        return T[255];
    return T[k] * (static_cast<F>(k) + 1 - X) + T[k + 1] * (X - static_cast<F>(k));
}

// Hue table T (256 steps a turn, position 128 for hue 0) read at position X
// in K..K+1, the short way round across the wrap; the hue in degrees 0..360.
template <class F> F ReadHueTable(const std::uint8_t* T, std::int64_t K, F X)
{
    const int a = T[K];
    int b = K < 255 ? T[K + 1] : T[0];
    if (a - b > 128)
        b += 256;
    if (a - b < -128)
        b -= 256;
    const F mapped = a * (static_cast<F>(K) + 1 - X) + b * (X - static_cast<F>(K));
    F H = mapped * 360 / 256 - 180;
    while (H >= 360)
        H = H - 360;
    while (H < 0)
        H = H + 360;
    return H;
}

} // namespace lumeno
