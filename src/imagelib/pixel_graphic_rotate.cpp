// Rotation of TPixelGraphic by any angle.

#include "imagelib/color_row_reader.h"
#include "imagelib/color_writer.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/row_pipeline.h"
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
        return {static_cast<Extended>(cosines[quarters % 4]), static_cast<Extended>(sines[quarters % 4]),
                true, quarters};
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
    bool Inside(std::int64_t x, std::int64_t y) const
    {
        return x >= 0 && y >= 0 && x < FWidth && y < FHeight;
    }
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

// Floor, ceiling and rounding (half to even) of extended values. A plain
// conversion switches the x87 rounding mode on every call, which costs more
// than the rest of the pixel; going through double and correcting by one
// gives the same exact results.
inline std::int64_t FloorFast(Extended x)
{
    std::int64_t t = static_cast<std::int64_t>(static_cast<double>(x));
    if (static_cast<Extended>(t) > x)
        --t;
    else if (static_cast<Extended>(t + 1) <= x)
        ++t;
    return t;
}

inline std::int64_t CeilFast(Extended x)
{
    return -FloorFast(-x);
}

inline std::int64_t RoundHalfEven(Extended x)
{
    const std::int64_t f = FloorFast(x);
    const Extended d = x - static_cast<Extended>(f);
    return (d > 0.5L || (d == 0.5L && (f & 1))) ? f + 1 : f;
}

// Columns of the row whose source point may lie within two pixels of the
// source, where base + (x - centre) * step must stay in -2 .. limit + 1.
TSpan ColumnsNear(Extended base, Extended step, int centre, int limit, TSpan span)
{
    if (step == 0)
        return (base >= -2 && base <= limit + 1) ? span : TSpan{1, 0};
    Extended a = (-2 - base) / step, b = (limit + 1 - base) / step;
    if (a > b)
        std::swap(a, b);
    // Compared before converting: a nearly level row gives huge bounds.
    const Extended low = std::max(static_cast<Extended>(span.Low), a + centre - 1);
    const Extended high = std::min(static_cast<Extended>(span.High), b + centre + 1);
    if (low > high)
        return {1, 0};
    return {FloorFast(low), CeilFast(high)};
}

// Inverse-maps every visited target pixel into the source, centre on centre.
void RotateCore(TPixelGraphic& Target, TPixelGraphic& Source, const TTurn& Turn, bool Interpolate)
{
    Target.Flush();
    Source.Flush();
    if (Target.GetEmpty() || Source.GetEmpty())
        return;
    const Extended c = Turn.Cos, s = Turn.Sin;
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
    const TSpan box{std::max<std::int64_t>(bx.Low, 0), std::min<std::int64_t>(bx.High, tw - 1)};
    const int y0 = static_cast<int>(std::max<std::int64_t>(by.Low, 0));
    const int y1 = static_cast<int>(std::min<std::int64_t>(by.High, th - 1));
    if (box.Low > box.High || y0 > y1)
        return;

    const TSourcePixels src(Source);
    const TColor fill = Source.GetFillColor();
    const std::uint8_t fillBGR[3] = {static_cast<std::uint8_t>(GetBValue(fill)),
                                     static_cast<std::uint8_t>(GetGValue(fill)),
                                     static_cast<std::uint8_t>(GetRValue(fill))};
    const auto read = [&](std::int64_t x, std::int64_t y) {
        return src.Inside(x, y) ? src.At(x, y) : fillBGR;
    };
    const int ci = static_cast<int>(c), si = static_cast<int>(s);

    // The colour the target pixel (x, y) takes from the source; false when
    // it keeps what it holds. Those pixels form one run per row, as the
    // source is convex.
    const auto sample = [&](int x, int y, Extended rowX, Extended rowY, std::uint8_t* out) {
        const std::uint8_t* p = nullptr;
        if (Turn.QuarterTurn) {
            // Exact integers: every source pixel lands on one target pixel.
            const std::int64_t ix = scx + (x - tcx) * ci + (y - tcy) * si;
            const std::int64_t iy = scy - (x - tcx) * si + (y - tcy) * ci;
            p = src.Inside(ix, iy) ? src.At(ix, iy) : nullptr;
        } else if (!Interpolate) {
            const Extended sx = rowX + (x - tcx) * c, sy = rowY - (x - tcx) * s;
            const std::int64_t ix = RoundHalfEven(sx), iy = RoundHalfEven(sy);
            p = src.Inside(ix, iy) ? src.At(ix, iy) : nullptr;
        } else {
            const Extended sx = rowX + (x - tcx) * c, sy = rowY - (x - tcx) * s;
            const std::int64_t ix0 = FloorFast(sx), ix1 = CeilFast(sx), iy0 = FloorFast(sy),
                               iy1 = CeilFast(sy);
            if (!src.Inside(ix0, iy0) && !src.Inside(ix1, iy0) && !src.Inside(ix0, iy1) &&
                !src.Inside(ix1, iy1))
                return false;
            const Extended wx0 = ix0 == ix1 ? 0.5L : 1 - (sx - ix0), wx1 = ix0 == ix1 ? 0.5L : 1 - (ix1 - sx);
            const Extended wy0 = iy0 == iy1 ? 0.5L : 1 - (sy - iy0), wy1 = iy0 == iy1 ? 0.5L : 1 - (iy1 - sy);
            const std::uint8_t *p00 = read(ix0, iy0), *p10 = read(ix1, iy0), *p01 = read(ix0, iy1),
                               *p11 = read(ix1, iy1);
            for (int i = 0; i < 3; ++i)
                out[i] = static_cast<std::uint8_t>(
                    RoundHalfEven(wy0 * (wx0 * p00[i] + wx1 * p10[i]) + wy1 * (wx0 * p01[i] + wx1 * p11[i])));
            return true;
        }
        if (!p)
            return false;
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        return true;
    };
    const auto makeRow = [&](int, int y, TRowPipeline::TRow& Out) {
        const Extended rowX = scx + (y - tcy) * s, rowY = scy + (y - tcy) * c;
        // Pixels farther out would read nothing but the fill and stay as they are.
        const TSpan near = ColumnsNear(rowY, -s, tcx, sh - 1, ColumnsNear(rowX, c, tcx, sw - 1, box));
        Out.Count = 0;
        for (int x = static_cast<int>(near.Low); x <= near.High; ++x) {
            if (sample(x, y, rowX, rowY, Out.BGR + static_cast<std::ptrdiff_t>(Out.Count) * 3)) {
                if (Out.Count++ == 0)
                    Out.Offset = x;
            } else if (Out.Count > 0) {
                break;
            }
        }
    };

    const std::int64_t work =
        static_cast<std::int64_t>(y1 - y0 + 1) * (box.High - box.Low + 1) * (Interpolate ? 8 : 1);
    TColorWriter writer(Target);
    Target.ProgressStart();
    TRowPipeline::Run(y0, y1, static_cast<std::size_t>(box.High - box.Low + 1) * 3,
                      TRowPipeline::ThreadsFor(work, y1 - y0 + 1), makeRow,
                      [&](int y, const TRowPipeline::TRow& Out) {
                          writer.StartRow(y);
                          writer.WriteRow(Out.Offset, Out.BGR, Out.Count);
                          return !Target.Progress(y - y0, y1 - y0);
                      });
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
    if (!std::isfinite(Angle))
        return;
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
        RotateCore(*this, Source, turn, FRotateInterpolation && !turn.QuarterTurn);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

} // namespace lumeno
