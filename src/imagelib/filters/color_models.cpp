#include "imagelib/filters/color_models.h"

#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pg_messages.h"

#include <algorithm>
#include <cmath>

namespace lumeno {

void RGBToYCbCr(Extended R, Extended G, Extended B, Extended& Y, Extended& Cb, Extended& Cr)
{
    Y = 0.299L * R + 0.587L * G + 0.114L * B;
    Cb = -0.169L * R - 0.331L * G + 0.5L * B;
    Cr = 0.5L * R - 0.419L * G - 0.081L * B;
}

void YCbCrToRGB(Extended Y, Extended Cb, Extended Cr, Extended& R, Extended& G, Extended& B)
{
    R = Y + 1.403L * Cr;
    G = Y - 0.344L * Cb - 0.714L * Cr;
    B = Y + 1.773L * Cb;
}

void RGBToCMY(std::uint8_t R, std::uint8_t G, std::uint8_t B, std::uint8_t& C, std::uint8_t& M,
              std::uint8_t& Y)
{
    C = static_cast<std::uint8_t>(~R);
    M = static_cast<std::uint8_t>(~G);
    Y = static_cast<std::uint8_t>(~B);
}

void CMYToRGB(std::uint8_t C, std::uint8_t M, std::uint8_t Y, std::uint8_t& R, std::uint8_t& G,
              std::uint8_t& B)
{
    R = static_cast<std::uint8_t>(~C);
    G = static_cast<std::uint8_t>(~M);
    B = static_cast<std::uint8_t>(~Y);
}

namespace {

// Hue in degrees 0..360 of a colour with max > min.
Extended HueOf(Extended R, Extended G, Extended B, Extended Max, Extended Delta)
{
    Extended h;
    if (R == Max)
        h = (G - B) / Delta;
    else if (G == Max)
        h = 2 + (B - R) / Delta;
    else
        h = 4 + (R - G) / Delta;
    h = h * 60;
    if (h < 0)
        h = h + 360;
    return h;
}

[[noreturn]] void SaturationHueError()
{
    throw EPGSaturationHue(GetPGLangStr(40));
}

} // namespace

void RGBToHSV(Extended R, Extended G, Extended B, Extended& H, Extended& S, Extended& V)
{
    const Extended max = std::max({R, G, B}), min = std::min({R, G, B});
    const Extended delta = max - min;
    V = max;
    S = max == 0 ? 0 : delta / max;
    H = S == 0 ? HueUndefined : HueOf(R, G, B, max, delta);
}

void HSVToRGB(Extended H, Extended S, Extended V, Extended& R, Extended& G, Extended& B)
{
    if (S == 0) {
        if (H != HueUndefined)
            SaturationHueError();
        R = G = B = V;
        return;
    }
    // Callers pass 0..360; a hue outside is brought round the circle rather
    // than leaving the channels unset.
    if (H >= 360 || H < 0) {
        H = std::fmod(H, 360.0L);
        if (H < 0)
            H = H + 360;
        if (H >= 360)
            H = 0;
    }
    const Extended h = H / 60;
    const std::int64_t k = FloorExt(h);
    const Extended f = h - static_cast<Extended>(k);
    const Extended p = V * (1 - S), q = V * (1 - S * f), t = V * (1 - S * (1 - f));
    HueSectorToRGB(k, V, p, q, t, R, G, B);
}

void RGBToHLS(Extended R, Extended G, Extended B, Extended& H, Extended& L, Extended& S)
{
    const Extended max = std::max({R, G, B}), min = std::min({R, G, B});
    L = (max + min) / 2;
    if (max == min) {
        S = 0;
        H = HueUndefined;
        return;
    }
    const Extended delta = max - min;
    S = L <= 0.5L ? delta / (max + min) : delta / (2 - max - min);
    H = HueOf(R, G, B, max, delta);
}

void HLSToRGB(Extended H, Extended L, Extended S, Extended& R, Extended& G, Extended& B)
{
    const Extended m2 = L <= 0.5L ? L * (1 + S) : L + S - L * S;
    const Extended m1 = 2 * L - m2;
    if (S == 0) {
        if (H != HueUndefined)
            SaturationHueError();
        R = G = B = L;
        return;
    }
    R = HLSValue(m1, m2, H + 120);
    G = HLSValue(m1, m2, H);
    B = HLSValue(m1, m2, H - 120);
}

Extended HLSValue(Extended N1, Extended N2, Extended Hue)
{
    if (Hue > 360)
        Hue = Hue - 360;
    if (Hue < 0)
        Hue = Hue + 360;
    if (Hue < 60)
        return N1 + (N2 - N1) * Hue / 60;
    if (Hue < 180)
        return N2;
    if (Hue < 240)
        return N1 + (N2 - N1) * (240 - Hue) / 60;
    return N1;
}

std::uint8_t RoundToByte(Extended V)
{
    // Limited first so that the conversion to an integer is always defined.
    if (!(V > 0))
        return 0;
    if (V >= 255)
        return 255;
    // lrint rounds half to even as Round does, without saving the
    // floating-point environment on every call.
    return static_cast<std::uint8_t>(std::lrint(V));
}

} // namespace lumeno
