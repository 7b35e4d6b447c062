// Rotation of TPixelGraphic by any angle.

#include "imagelib/color_row_reader.h"
#include "imagelib/color_writer.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/work_copy.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumeno {

namespace {

struct TTurn {
    Extended Cos;
    Extended Sin;
    // Whole quarter turns are exact: no interpolation, no rounding noise.
    bool QuarterTurn;
    int Quarters;
};

TTurn TurnFor(Extended Angle)
{
    if (Angle == std::floor(Angle) && std::fmod(Angle, 90.0L) == 0) {
        static constexpr int cosines[4] = {1, 0, -1, 0};
        static constexpr int sines[4] = {0, 1, 0, -1};
        const int quarters = static_cast<int>(Angle / 90);
        return {static_cast<Extended>(cosines[quarters % 4]), static_cast<Extended>(sines[quarters % 4]), true,
                quarters};
    }
    const Extended a = Angle * std::numbers::pi_v<Extended> / 180;
    return {std::cos(a), std::sin(a), false, 0};
}

// Every source pixel as blue, green, red bytes, addressable by row.
class TSourcePixels {
public:
    explicit TSourcePixels(TPixelGraphic& Source) : FWidth(Source.GetWidth()), FHeight(Source.GetHeight())
    {
        FRows.resize(static_cast<std::size_t>(FHeight));
        if (Source.GetPixelFormat() == pf24Bit) {
            for (int y = 0; y < FHeight; ++y)
                FRows[static_cast<std::size_t>(y)] = Source.GetScanLine(y);
            return;
        }
        TColorRowReader reader(Source);
        const std::size_t stride = static_cast<std::size_t>(FWidth) * 3;
        FDecoded.resize(stride * static_cast<std::size_t>(FHeight));
        for (int y = 0; y < FHeight; ++y) {
            std::uint8_t* row = FDecoded.data() + stride * static_cast<std::size_t>(y);
            std::copy_n(reader.Row(y), stride, row);
            FRows[static_cast<std::size_t>(y)] = row;
        }
    }
    bool Inside(std::int64_t x, std::int64_t y) const { return x >= 0 && y >= 0 && x < FWidth && y < FHeight; }
    const std::uint8_t* At(std::int64_t x, std::int64_t y) const
    {
        return FRows[static_cast<std::size_t>(y)] + x * 3;
    }

private:
    int FWidth, FHeight;
    std::vector<const std::uint8_t*> FRows;
    std::vector<std::uint8_t> FDecoded;
};

struct TSpan {
    std::int64_t Low, High;
};

// Inverse-maps every visited target pixel into the source, centre on centre.
void RotateCore(TPixelGraphic& Target, TPixelGraphic& Source, Extended c, Extended s, bool Interpolate)
{
    Target.Flush();
    Source.Flush();
    if (Target.GetEmpty() || Source.GetEmpty())
        return;
    const int sw = Source.GetWidth(), sh = Source.GetHeight();
    const int tw = Target.GetWidth(), th = Target.GetHeight();
    const int tcx = tw / 2, tcy = th / 2, scx = sw / 2, scy = sh / 2;

    // Visit only the bounding box of the turned source rectangle.
    TSpan bx{INT64_MAX, INT64_MIN}, by{INT64_MAX, INT64_MIN};
    for (const int px : {0, sw})
        for (const int py : {0, sh}) {
            const Extended x = tcx + (px - scx) * c - (py - scy) * s;
            const Extended y = tcy + (px - scx) * s + (py - scy) * c;
            bx = {std::min(bx.Low, FloorExt(x)), std::max(bx.High, CeilExt(x))};
            by = {std::min(by.Low, FloorExt(y)), std::max(by.High, CeilExt(y))};
        }
    const int x0 = static_cast<int>(std::max<std::int64_t>(bx.Low, 0));
    const int x1 = static_cast<int>(std::min<std::int64_t>(bx.High, tw - 1));
    const int y0 = static_cast<int>(std::max<std::int64_t>(by.Low, 0));
    const int y1 = static_cast<int>(std::min<std::int64_t>(by.High, th - 1));
    if (x0 > x1 || y0 > y1)
        return;

    const TSourcePixels src(Source);
    const TColor fill = Source.GetFillColor();
    const std::uint8_t fillBGR[3] = {static_cast<std::uint8_t>(GetBValue(fill)),
                                     static_cast<std::uint8_t>(GetGValue(fill)),
                                     static_cast<std::uint8_t>(GetRValue(fill))};
    const auto read = [&](std::int64_t x, std::int64_t y) { return src.Inside(x, y) ? src.At(x, y) : fillBGR; };

    TColorWriter writer(Target);
    Target.ProgressStart();
    for (int y = y0; y <= y1; ++y) {
        writer.StartRow(y);
        const Extended rowX = scx + (y - tcy) * s, rowY = scy + (y - tcy) * c;
        const bool leftward = (y & 1) != 0;
        for (int k = x0; k <= x1; ++k) {
            const int x = leftward ? x1 + x0 - k : k;
            const Extended sx = rowX + (x - tcx) * c, sy = rowY - (x - tcx) * s;
            if (!Interpolate) {
                const std::int64_t ix = Round(sx), iy = Round(sy);
                if (src.Inside(ix, iy)) {
                    const std::uint8_t* p = src.At(ix, iy);
                    writer.Write(x, p[2], p[1], p[0]);
                }
                continue;
            }
            const std::int64_t ix0 = FloorExt(sx), ix1 = CeilExt(sx), iy0 = FloorExt(sy), iy1 = CeilExt(sy);
            if (!src.Inside(ix0, iy0) && !src.Inside(ix1, iy0) && !src.Inside(ix0, iy1) && !src.Inside(ix1, iy1))
                continue;
            const Extended wx0 = ix0 == ix1 ? 0.5L : 1 - (sx - ix0), wx1 = ix0 == ix1 ? 0.5L : 1 - (ix1 - sx);
            const Extended wy0 = iy0 == iy1 ? 0.5L : 1 - (sy - iy0), wy1 = iy0 == iy1 ? 0.5L : 1 - (iy1 - sy);
            const std::uint8_t *p00 = read(ix0, iy0), *p10 = read(ix1, iy0), *p01 = read(ix0, iy1),
                               *p11 = read(ix1, iy1);
            int channel[3];
            for (int i = 0; i < 3; ++i)
                channel[i] = static_cast<int>(
                    Round(wy0 * (wx0 * p00[i] + wx1 * p10[i]) + wy1 * (wx0 * p01[i] + wx1 * p11[i])));
            writer.Write(x, channel[2], channel[1], channel[0]);
        }
        if (Target.Progress(y - y0, y1 - y0))
            break;
    }
    Target.ProgressEnd();
    writer.Finish();
    Target.Changed(&Target);
}

} // namespace

void TPixelGraphic::Rotate(bool Fit, TPixelGraphic& Source, Extended Angle)
{
    if (&Source == this) {
        auto copy = MakeWorkCopy(Source);
        Rotate(Fit, *copy, Angle);
        return;
    }
    if (Angle < 0 || Angle > 360) {
        Angle = std::fmod(Angle, 360.0L);
        if (Angle < 0)
            Angle += 360;
    }
    const TTurn turn = TurnFor(Angle);
    const Extended c = turn.Cos, s = turn.Sin;
    const int sw = Source.GetWidth(), sh = Source.GetHeight();
    BeginUpdate();
    try {
        if (Fit && turn.QuarterTurn) {
            // Sizes kept as callers know them: a turn adds one row and one
            // column, which the editor crops.
            const int extra = (Angle != 0 && sw > 0 && sh > 0) ? 1 : 0;
            if (turn.Quarters % 2)
                SetDimensions(sh + extra, sw + extra, FPixelFormat);
            else
                SetDimensions(sw + extra, sh + extra, FPixelFormat);
        } else if (Fit) {
            const Extended xs[4] = {0, static_cast<Extended>(sw), 0, static_cast<Extended>(sw)};
            const Extended ys[4] = {0, 0, static_cast<Extended>(sh), static_cast<Extended>(sh)};
            TSpan h{INT64_MAX, INT64_MIN}, v{INT64_MAX, INT64_MIN};
            for (int i = 0; i < 4; ++i) {
                const Extended x = xs[i] * c - ys[i] * s, y = xs[i] * s + ys[i] * c;
                h = {std::min(h.Low, FloorExt(x)), std::max(h.High, CeilExt(x))};
                v = {std::min(v.Low, FloorExt(y)), std::max(v.High, CeilExt(y))};
            }
            SetDimensions(static_cast<int>(h.High - h.Low), static_cast<int>(v.High - v.Low), FPixelFormat);
        }
        RotateCore(*this, Source, c, s, FRotateInterpolation && !turn.QuarterTurn);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

} // namespace lumeno
