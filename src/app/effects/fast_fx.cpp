#include "app/effects/fast_fx.h"

#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_exceptions.h"
#include "platform/numeric.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace lumeno {

namespace {

// Rows handed out at once: at least this many pixels, so that a small
// preview runs on the calling thread without starting any.
constexpr int BlockPixels = 1 << 16;

void RequireSameSize(const TFastBMP& Src, const TFastBMP& Dst)
{
    if (Src.Width != Dst.Width || Src.Height != Dst.Height)
        throw EPGInvalidSize("Effect: source and destination sizes differ");
}

// Runs Row(y, row) for every row, on all cores.
template <typename F> void ForEachRow(const TFastRGB& Bmp, F Row)
{
    const int block = std::max(1, BlockPixels / std::max(1, Bmp.Width));
    ParallelRanges(Bmp.Height, block, [&](int, int begin, int end) {
        for (int y = begin; y < end; ++y)
            Row(y, Bmp.Pixels[static_cast<std::size_t>(y)]);
    });
}

// Source pixel of a mapped destination pixel, or the same place when the
// mapping gives no finite point. Bands of rows are walked in tiles, so that
// the source pixels one tile reads stay in the cache whatever the mapping's
// direction.
template <typename Map> void MapPixels(const TFastBMP& Src, TFastBMP& Dst, Map SourcePoint)
{
    if (Src.Width < 1 || Src.Height < 1)
        return;
    constexpr int TileSide = 64;
    const int block = std::max(TileSide, BlockPixels / std::max(1, Dst.Width));
    ParallelRanges(Dst.Height, block, [&](int, int begin, int end) {
        for (int y0 = begin; y0 < end; y0 += TileSide)
            for (int x0 = 0; x0 < Dst.Width; x0 += TileSide)
                for (int y = y0; y < std::min(end, y0 + TileSide); ++y) {
                    std::uint8_t* p = Dst.Pixels[static_cast<std::size_t>(y)] + x0 * 3;
                    for (int x = x0; x < std::min(Dst.Width, x0 + TileSide); ++x, p += 3) {
                        double fx, fy;
                        if (SourcePoint(x, y, fx, fy) && SampleWrapped(Src, fx, fy, p))
                            continue;
                        const std::uint8_t* s =
                            Src.Pixels[static_cast<std::size_t>(std::min(y, Src.Height - 1))] +
                            std::min(x, Src.Width - 1) * 3;
                        std::memcpy(p, s, 3);
                    }
                }
    });
}

// The corner T (F truncated) wrapped into 0..Size - 1 in floating point,
// so that huge values stay defined. Left of zero the corners count from the
// far edge; that holds for -1 < F < 0 as well, where T is zero but the
// pixel before it is the image's last.
int WrapCorner(double F, double T, int Size)
{
    if (F < 0)
        T = (Size - 1) - std::fmod(-T, static_cast<double>(Size));
    else if (T > Size - 1)
        T = std::fmod(T, static_cast<double>(Size));
    return static_cast<int>(T);
}

// Weights of the lower and upper neighbour, as the sample defines them on
// either side of zero.
void AxisWeights(double F, double T, double& W0, double& W1)
{
    if (F >= 0) {
        W1 = F - T;
        W0 = 1 - W1;
    } else {
        W0 = T - F;
        W1 = 1 - W0;
    }
}

} // namespace

float ArcTangent2(float X, float Y)
{
    if (X == 0)
        return Y > 0 ? std::numbers::pi_v<float> / 2 : -std::numbers::pi_v<float> / 2;
    const float a = std::atan(Y / X);
    return X < 0 ? a + std::numbers::pi_v<float> : a;
}

bool SampleWrapped(const TFastBMP& Src, double FX, double FY, std::uint8_t* BGR)
{
    if (!std::isfinite(FX) || !std::isfinite(FY))
        return false;
    const int w = Src.Width, h = Src.Height;
    int cols[2], rows[2];
    double wx[2], wy[2];
    if (FX >= 0 && FY >= 0 && FX < w - 1 && FY < h - 1) {
        // Inside: no corner wraps, the common case.
        cols[0] = static_cast<int>(FX);
        rows[0] = static_cast<int>(FY);
        cols[1] = cols[0] + 1;
        rows[1] = rows[0] + 1;
        wx[1] = FX - cols[0];
        wy[1] = FY - rows[0];
        wx[0] = 1 - wx[1];
        wy[0] = 1 - wy[1];
    } else {
        const double ftx = std::trunc(FX), fty = std::trunc(FY);
        AxisWeights(FX, ftx, wx[0], wx[1]);
        AxisWeights(FY, fty, wy[0], wy[1]);
        const int tx = WrapCorner(FX, ftx, w), ty = WrapCorner(FY, fty, h);
        cols[0] = tx;
        cols[1] = tx + 1 < w ? tx + 1 : w - tx - 1;
        rows[0] = ty;
        rows[1] = ty + 1 < h ? ty + 1 : h - ty - 1;
    }
    double sum[3] = {0, 0, 0};
    for (int j = 0; j < 2; ++j) {
        const std::uint8_t* row = Src.Pixels[static_cast<std::size_t>(rows[j])];
        for (int i = 0; i < 2; ++i) {
            const std::uint8_t* s = row + cols[i] * 3;
            const double k = wx[i] * wy[j];
            sum[0] += k * s[0];
            sum[1] += k * s[1];
            sum[2] += k * s[2];
        }
    }
    for (int c = 0; c < 3; ++c)
        BGR[c] = static_cast<std::uint8_t>(ClampByte(static_cast<int>(std::lrint(sum[c]))));
    return true;
}

void ColorNoise(TFastBMP& Bmp, int Amount, std::uint32_t Seed)
{
    const int half = Amount >> 1;
    ForEachRow(Bmp, [&](int y, std::uint8_t* p) {
        TEffectRandom rnd(Seed, y);
        for (int i = 0; i < Bmp.Width * 3; ++i)
            p[i] = static_cast<std::uint8_t>(ClampByte(p[i] + rnd.Random(Amount) - half));
    });
}

void MonoNoise(TFastBMP& Bmp, int Amount, std::uint32_t Seed)
{
    const int half = Amount >> 1;
    ForEachRow(Bmp, [&](int y, std::uint8_t* p) {
        TEffectRandom rnd(Seed, y);
        for (int x = 0; x < Bmp.Width; ++x, p += 3) {
            const int d = rnd.Random(Amount) - half;
            p[0] = static_cast<std::uint8_t>(ClampByte(p[0] + d));
            p[1] = static_cast<std::uint8_t>(ClampByte(p[1] + d));
            p[2] = static_cast<std::uint8_t>(ClampByte(p[2] + d));
        }
    });
}

void SprayPaint(const TFastBMP& Src, TFastBMP& Dst, int Amount, std::uint32_t Seed)
{
    RequireSameSize(Src, Dst);
    const int w = Src.Width, h = Src.Height;
    ForEachRow(Dst, [&](int y, std::uint8_t* p) {
        TEffectRandom rnd(Seed, y);
        for (int x = 0; x < w; ++x, p += 3) {
            const int r = rnd.Random(Amount);
            const int sx = ClampInt(x + r - rnd.Random(2 * r), 0, w - 1);
            const int sy = ClampInt(y + r - rnd.Random(2 * r), 0, h - 1);
            std::memcpy(p, Src.Pixels[static_cast<std::size_t>(sy)] + sx * 3, 3);
        }
    });
}

// Each row takes from the row below it, which another thread may be about
// to change: the first row of every slice is kept before any work starts.
void Emboss(TFastBMP& Bmp)
{
    const int w = Bmp.Width, h = Bmp.Height;
    if (w < 1 || h < 1)
        return;
    const auto rowBytes = static_cast<std::size_t>(w) * 3;
    const std::vector<std::uint8_t> lastRow(Bmp.Pixels.back(), Bmp.Pixels.back() + rowBytes);
    const std::uint8_t* lastNeighbour = lastRow.data() + std::min(1, w - 1) * 3;
    const std::vector<int> bounds = SliceBounds(h);
    std::vector<std::vector<std::uint8_t>> firstRows(bounds.size());
    for (std::size_t s = 1; s + 1 < bounds.size(); ++s)
        firstRows[s].assign(Bmp.Pixels[static_cast<std::size_t>(bounds[s])],
                            Bmp.Pixels[static_cast<std::size_t>(bounds[s])] + rowBytes);
    RunSlices(bounds, [&](int begin, int end) {
        const auto slice =
            static_cast<std::size_t>(std::upper_bound(bounds.begin(), bounds.end(), begin) - bounds.begin());
        for (int y = begin; y < end; ++y) {
            std::uint8_t* p = Bmp.Pixels[static_cast<std::size_t>(y)];
            if (y >= h - 2) {
                for (int x = 0; x < w; ++x, p += 3)
                    for (int c = 0; c < 3; ++c)
                        p[c] = static_cast<std::uint8_t>(((255 - lastNeighbour[c]) + p[c]) >> 1);
                continue;
            }
            const std::uint8_t* below =
                (y + 1 == end && slice < firstRows.size() && !firstRows[slice].empty())
                    ? firstRows[slice].data()
                    : Bmp.Pixels[static_cast<std::size_t>(y + 1)];
            for (int x = 0; x < w; ++x, p += 3) {
                const std::uint8_t* n = below + std::min(x + 1, w - 1) * 3;
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<std::uint8_t>(((255 - n[c]) + p[c]) >> 1);
            }
        }
    });
}

// Block colours are read first, then written, so no block sees another's
// new colour even where the sample lies in the next block (amount 1).
void Mosaic(TFastBMP& Bmp, int XAmount, int YAmount)
{
    if (XAmount < 1 || YAmount < 1 || Bmp.Width < 1 || Bmp.Height < 1)
        return;
    const int w = Bmp.Width, h = Bmp.Height;
    const int bandCount = (h + YAmount - 1) / YAmount, blockCount = (w + XAmount - 1) / XAmount;
    const int xOff = (XAmount + 1) / 2, yOff = (YAmount + 1) / 2;
    std::vector<std::uint8_t> colours(static_cast<std::size_t>(bandCount) * blockCount * 3);
    auto colourOf = [&](int band, int block) {
        return colours.data() + (static_cast<std::size_t>(band) * blockCount + block) * 3;
    };
    ParallelRanges(bandCount, 4, [&](int, int begin, int end) {
        for (int b = begin; b < end; ++b) {
            const int sy = std::min(b * YAmount + yOff, h - 1);
            const std::uint8_t* row = Bmp.Pixels[static_cast<std::size_t>(sy)];
            for (int k = 0; k < blockCount; ++k)
                std::memcpy(colourOf(b, k), row + std::min(k * XAmount + xOff, w - 1) * 3, 3);
        }
    });
    ForEachRow(Bmp, [&](int y, std::uint8_t* p) {
        const int band = y / YAmount;
        for (int x = 0; x < w; ++x, p += 3)
            std::memcpy(p, colourOf(band, x / XAmount), 3);
    });
}

void FishEye(const TFastBMP& Src, TFastBMP& Dst, double Amount)
{
    const double midX = Src.Width * 0.5, midY = Src.Height * 0.5;
    const double maxR = Dst.Width * Amount;
    MapPixels(Src, Dst, [&](int x, int y, double& fx, double& fy) {
        const double dx = x - midX, dy = y - midY;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r == 0) {
            fx = midX;
            fy = midY;
            return true;
        }
        const double inside = 1 - r / maxR;
        if (!(inside > 0))
            return false;
        const double nr = (1 / inside - 1) * (maxR * 0.5);
        fx = dx * nr / r + midX;
        fy = dy * nr / r + midY;
        return true;
    });
}

void Swirl(const TFastBMP& Src, TFastBMP& Dst, int Amount)
{
    const double cx = (Src.Width - 1) * 0.5, cy = (Src.Height - 1) * 0.5;
    MapPixels(Src, Dst, [&](int x, int y, double& fx, double& fy) {
        const double dx = x - cx, dy = y - cy;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r == 0) {
            fx = cx;
            fy = cy;
            return true;
        }
        const double a =
            ArcTangent2(static_cast<float>(dx), static_cast<float>(dy)) - r / Amount + std::numbers::pi / 2;
        fx = r * std::cos(a) + cx;
        fy = r * std::sin(a) + cy;
        return true;
    });
}

} // namespace lumeno
