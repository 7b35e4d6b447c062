#include "imagelib/filters/hsv_fast.h"

#include "imagelib/filters/channel_filters.h"
#include "imagelib/filters/color_models.h"

#include <algorithm>
#include <cmath>

namespace lumeno {

namespace {

// Table reads interpolate linearly: they are continuous, so small errors
// stay small. Margin is far above the error of either precision (below 1e-9
// everywhere on these ranges), far below the spacing of the values that are
// near a jump.
constexpr double Margin = 1e-6;

// For x above -1000; the offset keeps the truncation a floor, and costs far
// less than Margin in precision.
bool NearInteger(double x)
{
    const double shifted = x + 1024;
    const auto nearest = static_cast<std::int64_t>(shifted + 0.5);
    return std::fabs(shifted - static_cast<double>(nearest)) < Margin;
}

// Hue in degrees of a colour with max > min; the branches are decided on the
// bytes, exactly as the reference decides them on its quotients.
double HueOf(int r, int g, int b, int max, int delta)
{
    double h;
    if (r == max)
        h = static_cast<double>(g - b) / delta;
    else if (g == max)
        h = 2 + static_cast<double>(b - r) / delta;
    else
        h = 4 + static_cast<double>(r - g) / delta;
    h *= 60;
    return h < 0 ? h + 360 : h;
}

// The hue through the hue table; false near a knot (where the short way
// round may switch) or near the wrap at 0/360.
bool MapHue(const TChannelTable& T, double& H)
{
    double h = (H + 180) * (256.0 / 360);
    if (NearInteger(h))
        return false;
    if (h >= 256)
        h -= 256;
    const auto k = static_cast<std::int64_t>(h);
    H = ReadHueTable(T.data(), k, h);
    return H >= Margin && H <= 360 - Margin;
}

// HSV to RGB for a hue inside 0..360 and S > 0; continuous across sectors.
void HSVToRGBD(double H, double S, double V, double& R, double& G, double& B)
{
    const double h = H * (1.0 / 60);
    const auto k = static_cast<int>(h);
    const double f = h - k;
    const double p = V * (1 - S), q = V * (1 - S * f), t = V * (1 - S * (1 - f));
    HueSectorToRGB<double>(k, V, p, q, t, R, G, B);
}

// A channel in 0..1 as a byte; false near a rounding half.
bool ToByte(double X, std::uint8_t& Out)
{
    const double x = X * 255;
    if (NearInteger(x - 0.5))
        return false;
    // Away from the halves, rounding up from +0.5 is rounding to nearest.
    Out = x <= 0 ? 0 : x >= 255 ? 255 : static_cast<std::uint8_t>(x + 0.5);
    return true;
}

bool StoreBGR(double R, double G, double B, std::uint8_t* Result)
{
    std::uint8_t out[3];
    if (!ToByte(B, out[0]) || !ToByte(G, out[1]) || !ToByte(R, out[2]))
        return false;
    std::copy(out, out + 3, Result);
    return true;
}

} // namespace

bool MapHSVFast(const TXXXFilter& Tables, const std::uint8_t* Pixel, std::uint8_t* Result)
{
    const int b = Pixel[0], g = Pixel[1], r = Pixel[2];
    const int max = std::max({r, g, b}), min = std::min({r, g, b});
    const double v = ReadTable<double>(Tables.Table3.data(), max) * (1.0 / 255);
    if (max == min)
        return StoreBGR(v, v, v, Result);
    const int delta = max - min;
    const double s = ReadTable(Tables.Table2.data(), 255.0 * delta / max) * (1.0 / 255);
    // The reference turns a saturation of exactly 0 into a grey.
    if (std::fabs(s) < Margin)
        return false;
    double h = HueOf(r, g, b, max, delta);
    if (!MapHue(Tables.Table1, h))
        return false;
    double R, G, B;
    HSVToRGBD(h, s, v, R, G, B);
    return StoreBGR(R, G, B, Result);
}

} // namespace lumeno
