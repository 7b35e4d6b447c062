// Rotation by any angle against a plain long double inverse map, the way it
// was first computed: no pixel may move, a sample may differ by one.

#include "imagelib/pixel_graphic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <numbers>
#include <utility>

namespace lumeno {
namespace {

using Real = long double;

constexpr TColor Untouched = RGB(1, 2, 3);

// Colours from 10 to 240, so none is the untouched marker.
void Picture(TPixelGraphic& g, int w, int h)
{
    g.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g.SetPixelColor(x, y, RGB(10 + (x * 37 + y * 11) % 230, 10 + (x * 13 + y * 53) % 230, 10 + (x * y) % 230));
    g.SetFillColor(RGB(250, 250, 250));
}

// Whether (x, y) lies in the bounding box of the turned source, the only
// pixels a rotation visits.
bool InTurnedBox(int sw, int sh, int tcx, int tcy, int x, int y, Real c, Real s)
{
    Real left = 1e30L, right = -1e30L, top = 1e30L, bottom = -1e30L;
    for (const int px : {0, sw})
        for (const int py : {0, sh}) {
            const Real bx = tcx + (px - sw / 2) * c - (py - sh / 2) * s;
            const Real by = tcy + (px - sw / 2) * s + (py - sh / 2) * c;
            left = std::min(left, std::floor(bx));
            right = std::max(right, std::ceil(bx));
            top = std::min(top, std::floor(by));
            bottom = std::max(bottom, std::ceil(by));
        }
    return x >= left && x <= right && y >= top && y <= bottom;
}

// What the target pixel (x, y) should hold, or Untouched.
TColor Expected(TPixelGraphic& src, int tw, int th, int x, int y, Real c, Real s, bool interpolate)
{
    const int sw = src.GetWidth(), sh = src.GetHeight();
    const int tcx = tw / 2, tcy = th / 2, scx = sw / 2, scy = sh / 2;
    if (!InTurnedBox(sw, sh, tcx, tcy, x, y, c, s))
        return Untouched;
    const Real rowX = scx + (y - tcy) * s, rowY = scy + (y - tcy) * c;
    const Real sx = rowX + (x - tcx) * c, sy = rowY - (x - tcx) * s;
    const auto inside = [&](Real px, Real py) { return px >= 0 && py >= 0 && px < sw && py < sh; };
    if (!interpolate) {
        const Real ix = std::nearbyint(sx), iy = std::nearbyint(sy);
        return inside(ix, iy) ? src.GetPixelColor(static_cast<int>(ix), static_cast<int>(iy)) : Untouched;
    }
    const Real x0 = std::floor(sx), x1 = std::ceil(sx), y0 = std::floor(sy), y1 = std::ceil(sy);
    if (!inside(x0, y0) && !inside(x1, y0) && !inside(x0, y1) && !inside(x1, y1))
        return Untouched;
    const auto at = [&](Real px, Real py) {
        return inside(px, py) ? src.GetPixelColor(static_cast<int>(px), static_cast<int>(py)) : src.GetFillColor();
    };
    const Real wx0 = x0 == x1 ? 0.5L : 1 - (sx - x0), wx1 = x0 == x1 ? 0.5L : 1 - (x1 - sx);
    const Real wy0 = y0 == y1 ? 0.5L : 1 - (sy - y0), wy1 = y0 == y1 ? 0.5L : 1 - (y1 - sy);
    const TColor p00 = at(x0, y0), p10 = at(x1, y0), p01 = at(x0, y1), p11 = at(x1, y1);
    const auto mix = [&](unsigned (*channel)(TColor)) {
        return static_cast<unsigned>(std::nearbyint(wy0 * (wx0 * channel(p00) + wx1 * channel(p10)) +
                                                    wy1 * (wx0 * channel(p01) + wx1 * channel(p11))));
    };
    return RGB(mix([](TColor v) { return static_cast<unsigned>(GetRValue(v)); }),
               mix([](TColor v) { return static_cast<unsigned>(GetGValue(v)); }),
               mix([](TColor v) { return static_cast<unsigned>(GetBValue(v)); }));
}

int Channel(TColor a, int shift)
{
    return static_cast<int>((a >> shift) & 0xFF);
}

// Pixels that moved, and samples more than one apart (or any difference
// between nearest-pixel copies).
std::pair<int, int> Compare(TPixelGraphic& source, Real angle, Real c, Real s, bool interpolate)
{
    TPixelGraphic target;
    target.SetRotateInterpolation(interpolate);
    target.Rotate(true, source, angle);
    // Unvisited pixels keep what the target held.
    target.SetFillColor(Untouched);
    target.Clear();
    target.Rotate(false, source, angle);
    int moved = 0, far = 0;
    for (int y = 0; y < target.GetHeight(); ++y)
        for (int x = 0; x < target.GetWidth(); ++x) {
            const TColor want = Expected(source, target.GetWidth(), target.GetHeight(), x, y, c, s, interpolate);
            const TColor got = target.GetPixelColor(x, y);
            if ((want == Untouched) != (got == Untouched)) {
                ++moved;
                continue;
            }
            for (int shift : {0, 8, 16})
                far += std::abs(Channel(want, shift) - Channel(got, shift)) > 1;
            far += !interpolate && want != got;
        }
    return {moved, far};
}

const int Sizes[][2] = {{1, 1}, {2, 3}, {7, 5}, {33, 20}, {64, 64}, {101, 57}, {240, 161}};

TEST(RotatePlacement, NoPixelMovesAndSamplesStayWithinOne)
{
    const Real angles[] = {0.5L, 1, 13, 30, 33.3L, 45, 60, 89.9L, 90.1L, 135, 200.7L, 271, 359.5L};
    for (const auto& size : Sizes) {
        TPixelGraphic source;
        Picture(source, size[0], size[1]);
        for (const Real angle : angles) {
            const Real a = angle * std::numbers::pi_v<Real> / 180;
            for (const bool interpolate : {false, true})
                EXPECT_EQ(Compare(source, angle, std::cos(a), std::sin(a), interpolate), std::make_pair(0, 0))
                    << size[0] << "x" << size[1] << " at " << static_cast<double>(angle)
                    << (interpolate ? " interpolated" : "");
        }
    }
}

// Quarter turns copy every pixel to where the exact map puts it.
TEST(RotatePlacement, QuarterTurnsMatchTheExactMap)
{
    const int cosines[] = {1, 0, -1, 0}, sines[] = {0, 1, 0, -1};
    for (const auto& size : Sizes) {
        TPixelGraphic source;
        Picture(source, size[0], size[1]);
        for (int q = 0; q < 5; ++q)
            EXPECT_EQ(Compare(source, 90 * q, cosines[q % 4], sines[q % 4], false), std::make_pair(0, 0))
                << size[0] << "x" << size[1] << " by " << 90 * q;
    }
}

} // namespace
} // namespace lumeno
