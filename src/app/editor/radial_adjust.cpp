#include "app/editor/radial_adjust.h"

#include "app/effects/frames.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace lumeno {

double BarrelAngle(double X, double Y)
{
    constexpr double pi = std::numbers::pi;
    if (X == 0)
        return Y == 0 ? 0 : (Y > 0 ? pi / 2 : 3 * pi / 2);
    if (Y == 0)
        return X > 0 ? 0 : pi;
    double a = std::atan(Y / X);
    if (X < 0)
        a += pi;
    else if (Y < 0)
        a += 2 * pi;
    return a;
}

void RadialAdjust(TPixelGraphic& Source, TPixelGraphic& Result, const TRadialCoefficients& K,
                  const std::function<void(int)>& Progress)
{
    TPixelGraphic src;
    AssignAs24Bit(src, Source);
    const int w = src.GetWidth(), h = src.GetHeight();
    if (w < 3 || h < 3) {
        AssignAs24Bit(Result, src);
        return;
    }
    Result.SetDimensions(w, h, pf24Bit);
    std::vector<const std::uint8_t*> in;
    std::vector<std::uint8_t*> out;
    for (int y = 0; y < h; ++y) {
        in.push_back(src.GetScanLine(y));
        out.push_back(Result.GetScanLine(y));
    }
    const int cx = w / 2, cy = h / 2;
    static const std::uint8_t black[3] = {0, 0, 0};
    auto pixel = [&](int x, int y) {
        return (x < 0 || y < 0 || x >= w || y >= h) ? black : in[static_cast<std::size_t>(y)] + x * 3;
    };
    ParallelRanges(
        h, 8,
        [&](int, int begin, int end) {
            for (int y = begin; y < end; ++y) {
                std::uint8_t* p = out[static_cast<std::size_t>(y)];
                for (int x = 0; x < w; ++x, p += 3) {
                    const double theta = BarrelAngle(x - cx, y - cy);
                    const double r = std::sqrt(double(x - cx) * (x - cx) + double(y - cy) * (y - cy)) / cx;
                    const double rho = (K.A * r * r * r + K.B * r * r + K.C * r + K.D) * r * cx;
                    const double fx = rho * std::cos(theta) + cx, fy = rho * std::sin(theta) + cy;
                    if (!std::isfinite(fx) || !std::isfinite(fy) || std::abs(fx) > 1e9 ||
                        std::abs(fy) > 1e9) {
                        std::memset(p, 0, 3);
                        continue;
                    }
                    const int tx = static_cast<int>(fx), ty = static_cast<int>(fy);
                    if (tx == x && ty == y) {
                        std::memcpy(p, pixel(x, y), 3);
                        continue;
                    }
                    const double u = fx - tx, v = fy - ty;
                    const double wx[2] = {1 - u, u}, wy[2] = {1 - v, v};
                    double sum[3] = {0, 0, 0};
                    for (int j = 0; j < 2; ++j)
                        for (int i = 0; i < 2; ++i) {
                            const std::uint8_t* s = pixel(tx + i, ty + j);
                            for (int c = 0; c < 3; ++c)
                                sum[c] += wx[i] * wy[j] * s[c];
                        }
                    for (int c = 0; c < 3; ++c)
                        p[c] = static_cast<std::uint8_t>(std::clamp(std::nearbyint(sum[c]), 0.0, 255.0));
                }
            }
        },
        [&](int done) {
            if (Progress)
                Progress(static_cast<int>(static_cast<double>(done) / h * 100));
            return true;
        });
    Result.Changed(&Result);
}

} // namespace lumeno
