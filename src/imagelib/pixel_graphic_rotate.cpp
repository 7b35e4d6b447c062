// Rotation of TPixelGraphic by any angle.

#include "imagelib/color_row_reader.h"
#include "imagelib/color_writer.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/row_pipeline.h"
#include "imagelib/work_copy.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

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

// Per-pixel arithmetic is in double: rounding half to even by the default
// rounding mode (exact for |x| < 2^51), floor by truncation corrected once.
// Where double and extended precision could round a position differently,
// the extended path decides, so every pixel keeps its place.
inline std::int64_t RoundEven(double x)
{
    constexpr double shift = 6755399441055744.0; // 1.5 * 2^52
    return static_cast<std::int64_t>(x + shift - shift);
}

inline std::int64_t RoundEven(Extended x)
{
    const std::int64_t f = FloorFast(x);
    const Extended d = x - static_cast<Extended>(f);
    return (d > 0.5L || (d == 0.5L && (f & 1))) ? f + 1 : f;
}

inline std::int64_t FloorOf(double x)
{
    const auto t = static_cast<std::int64_t>(x);
    return static_cast<double>(t) > x ? t - 1 : t;
}

inline std::int64_t FloorOf(Extended x)
{
    return FloorFast(x);
}

// True when a position is so close to a rounding edge (a half for nearest
// pixels, a whole number for interpolation) that double might round it
// otherwise than extended precision.
inline bool NearEdge(double v, double edge)
{
    constexpr double margin = 1e-6;
    const double f = v - static_cast<double>(FloorOf(v));
    return std::abs(f - edge) < margin || (edge == 0 && f > 1 - margin);
}

// The weights of the four neighbours: left, right, top, bottom.
template <class TReal> using TWeights = std::array<TReal, 4>;

void Blend(const TWeights<Extended>& w, const std::uint8_t* p00, const std::uint8_t* p10, const std::uint8_t* p01,
           const std::uint8_t* p11, std::uint8_t* out)
{
    for (int i = 0; i < 3; ++i)
        out[i] = static_cast<std::uint8_t>(
            RoundEven(w[2] * (w[0] * p00[i] + w[1] * p10[i]) + w[3] * (w[0] * p01[i] + w[1] * p11[i])));
}

// Weights of 12 bits keep the sum within 32 bits and the result within one
// of the exact blend.
void Blend(const TWeights<double>& w, const std::uint8_t* p00, const std::uint8_t* p10, const std::uint8_t* p01,
           const std::uint8_t* p11, std::uint8_t* out)
{
    const auto ax = static_cast<std::uint32_t>(w[1] * 4096 + 0.5), ay = static_cast<std::uint32_t>(w[3] * 4096 + 0.5);
    const std::uint32_t bx = 4096 - ax, by = 4096 - ay;
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t top = p00[i] * bx + p10[i] * ax, bottom = p01[i] * bx + p11[i] * ax;
        out[i] = static_cast<std::uint8_t>((top * by + bottom * ay + (1u << 23)) >> 24);
    }
}

// The colour of the source at (sx, sy) into Out; false when the point is
// outside (every neighbour outside when interpolating).
template <class TReal> struct TSampler {
    const TSourcePixels& Source;
    const std::uint8_t* Fill;

    bool Nearest(TReal sx, TReal sy, std::uint8_t* out) const
    {
        const std::int64_t ix = RoundEven(sx), iy = RoundEven(sy);
        if (!Source.Inside(ix, iy))
            return false;
        std::copy_n(Source.At(ix, iy), 3, out);
        return true;
    }

    bool Bilinear(TReal sx, TReal sy, std::uint8_t* out) const
    {
        const std::int64_t ix0 = FloorOf(sx), iy0 = FloorOf(sy);
        const std::int64_t ix1 = ix0 + (static_cast<TReal>(ix0) != sx);
        const std::int64_t iy1 = iy0 + (static_cast<TReal>(iy0) != sy);
        if (!Source.Inside(ix0, iy0) && !Source.Inside(ix1, iy0) && !Source.Inside(ix0, iy1) &&
            !Source.Inside(ix1, iy1))
            return false;
        const TReal half = 0.5;
        const TReal wx0 = ix0 == ix1 ? half : 1 - (sx - ix0), wx1 = ix0 == ix1 ? half : 1 - (ix1 - sx);
        const TReal wy0 = iy0 == iy1 ? half : 1 - (sy - iy0), wy1 = iy0 == iy1 ? half : 1 - (iy1 - sy);
        Blend(TWeights<TReal>{wx0, wx1, wy0, wy1}, Read(ix0, iy0), Read(ix1, iy0), Read(ix0, iy1), Read(ix1, iy1), out);
        return true;
    }

    const std::uint8_t* Read(std::int64_t x, std::int64_t y) const
    {
        return Source.Inside(x, y) ? Source.At(x, y) : Fill;
    }
};

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

// Target columns where Base + x * Step stays in 0 .. Limit - 1 (Step is -1,
// 0 or 1), within Span.
TSpan ColumnsInside(std::int64_t base, int step, int limit, TSpan span)
{
    if (step == 0)
        return base >= 0 && base < limit ? span : TSpan{1, 0};
    const std::int64_t a = step > 0 ? -base : base - limit + 1, b = step > 0 ? limit - 1 - base : base;
    return {std::max(span.Low, a), std::min(span.High, b)};
}

// Where a quarter turn takes its pixels from: the source, the target's row
// pointers, and the centres that place one on the other.
struct TQuarterMap {
    const TSourcePixels& Src;
    std::vector<std::uint8_t*> Rows; // target rows from y0 on
    int Y0, Ci, Si, Sw, Sh, Tcx, Tcy, Scx, Scy;
    TSpan Box;
};

// Rows First..Last of a quarter turn, tile by tile, so that a turn by 90
// degrees reads each source row segment while it is in cache.
void TurnBand(const TQuarterMap& M, int First, int Last)
{
    constexpr int Tile = 64;
    for (std::int64_t tile = M.Box.Low; tile <= M.Box.High; tile += Tile) {
        const TSpan tileSpan{tile, std::min<std::int64_t>(M.Box.High, tile + Tile - 1)};
        for (int y = First; y <= Last; ++y) {
            // Source point of column 0 of the row; each column steps by (ci, -si).
            const std::int64_t ix0 = M.Scx - std::int64_t{M.Tcx} * M.Ci + std::int64_t{y - M.Tcy} * M.Si;
            const std::int64_t iy0 = M.Scy + std::int64_t{M.Tcx} * M.Si + std::int64_t{y - M.Tcy} * M.Ci;
            const TSpan cols = ColumnsInside(iy0, -M.Si, M.Sh, ColumnsInside(ix0, M.Ci, M.Sw, tileSpan));
            std::uint8_t* out = M.Rows[static_cast<std::size_t>(y - M.Y0)];
            for (std::int64_t x = cols.Low; x <= cols.High; ++x)
                std::copy_n(M.Src.At(ix0 + x * M.Ci, iy0 - x * M.Si), 3, out + x * 3);
        }
    }
}

// A whole quarter turn into a 24-bit target moves bytes only. Bands of 64
// rows go to the threads as they ask (each writes rows of its own); the
// finished rows are reported in order on the calling thread, and an abort
// lets only the bands under way finish, so every row is turned or untouched.
void TurnQuarters(TPixelGraphic& Target, const TSourcePixels& Src, int ci, int si, int sw, int sh, TSpan box,
                  int y0, int y1)
{
    constexpr int Band = 64;
    TQuarterMap map{.Src = Src,
                    .Rows = {},
                    .Y0 = y0,
                    .Ci = ci,
                    .Si = si,
                    .Sw = sw,
                    .Sh = sh,
                    .Tcx = Target.GetWidth() / 2,
                    .Tcy = Target.GetHeight() / 2,
                    .Scx = sw / 2,
                    .Scy = sh / 2,
                    .Box = box};
    for (int y = y0; y <= y1; ++y)
        map.Rows.push_back(Target.GetScanLine(y));
    const int rows = y1 - y0 + 1;
    int reported = 0;
    Target.ProgressStart();
    ParallelRanges(
        rows, Band, [&](int, int begin, int end) { TurnBand(map, y0 + begin, y0 + end - 1); },
        [&](int done) {
            for (; reported < done; ++reported)
                if (Target.Progress(reported, rows - 1))
                    return false;
            return true;
        },
        ThreadsFor((box.High - box.Low + 1) * rows * 3, rows));
    Target.ProgressEnd();
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
    const int ci = static_cast<int>(c), si = static_cast<int>(s);
    if (Turn.QuarterTurn && Target.GetPixelFormat() == pf24Bit) {
        TurnQuarters(Target, src, ci, si, sw, sh, box, y0, y1);
        Target.Changed(&Target);
        return;
    }
    const TColor fill = Source.GetFillColor();
    const std::uint8_t fillBGR[3] = {static_cast<std::uint8_t>(GetBValue(fill)),
                                     static_cast<std::uint8_t>(GetGValue(fill)),
                                     static_cast<std::uint8_t>(GetRValue(fill))};
    const double cd = static_cast<double>(c), sd = static_cast<double>(s);
    const TSampler<double> fast{src, fillBGR};
    const TSampler<Extended> exact{src, fillBGR};
    const double edge = Interpolate ? 0 : 0.5;

    // The colour the target pixel x of a row takes from the source, whose
    // point for the row's centre column is (rowX, rowY); false when it keeps
    // what it holds. Those pixels form one run per row, as the source is
    // convex.
    const auto sample = [&](int x, int y, Extended rowX, Extended rowY, double rx, double ry, std::uint8_t* out) {
        if (Turn.QuarterTurn) {
            // Exact integers: every source pixel lands on one target pixel.
            const std::int64_t ix = scx + (x - tcx) * ci + (y - tcy) * si;
            const std::int64_t iy = scy - (x - tcx) * si + (y - tcy) * ci;
            if (!src.Inside(ix, iy))
                return false;
            std::copy_n(src.At(ix, iy), 3, out);
            return true;
        }
        const double dx = x - tcx;
        const double sx = rx + dx * cd, sy = ry - dx * sd;
        if (NearEdge(sx, edge) || NearEdge(sy, edge)) {
            const Extended ex = rowX + (x - tcx) * c, ey = rowY - (x - tcx) * s;
            return Interpolate ? exact.Bilinear(ex, ey, out) : exact.Nearest(ex, ey, out);
        }
        return Interpolate ? fast.Bilinear(sx, sy, out) : fast.Nearest(sx, sy, out);
    };
    const auto makeRow = [&](int, int y, TRowPipeline::TRow& Out) {
        const Extended rowX = scx + (y - tcy) * s, rowY = scy + (y - tcy) * c;
        // Pixels farther out would read nothing but the fill and stay as they are.
        const TSpan near = ColumnsNear(rowY, -s, tcx, sh - 1, ColumnsNear(rowX, c, tcx, sw - 1, box));
        const double rx = static_cast<double>(rowX), ry = static_cast<double>(rowY);
        Out.Count = 0;
        for (int x = static_cast<int>(near.Low); x <= near.High; ++x) {
            if (sample(x, y, rowX, rowY, rx, ry, Out.BGR + static_cast<std::ptrdiff_t>(Out.Count) * 3)) {
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
                      ThreadsFor(work, y1 - y0 + 1), makeRow, [&](int y, const TRowPipeline::TRow& Out) {
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
