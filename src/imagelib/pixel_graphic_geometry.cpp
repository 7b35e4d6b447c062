// Resampling, block copies and mirroring of TPixelGraphic.

#include "imagelib/color_row_reader.h"
#include "imagelib/color_writer.h"
#include "imagelib/fast_divider.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/stretch_axis.h"
#include "imagelib/work_copy.h"

#include <algorithm>
#include <cstring>

namespace lumeno {

namespace {

bool HasPixels(TPixelGraphic& g) { return g.GetWidth() > 0 && g.GetHeight() > 0 && !g.GetEmpty(); }

// Sums of weighted channels need 255 times the total weight; 32 bits serve
// every picture up to 16 million pixels across, wider ones take 64.
struct TWideDivider {
    explicit TWideDivider(std::uint64_t Divisor) : FDivisor(Divisor) {}
    std::uint64_t operator()(std::uint64_t n) const { return n / FDivisor; }
    std::uint64_t FDivisor;
};

bool FitsIn32Bits(const TStretchAxis& Axis) { return Axis.Total() < (1 << 24); }

// Source rows resampled across to the destination columns, kept while the
// destination rows still need them (growing reuses a row many times).
template <typename TSum, typename TDivide>
class TResampledRows {
public:
    TResampledRows(TPixelGraphic& Source, const TStretchAxis& Columns, int From, int To, int Slots)
        : FReader(Source), FColumns(Columns), FFrom(From), FCount(To - From + 1), FSlots(Slots),
          FSlotRow(static_cast<std::size_t>(Slots), -1),
          FData(static_cast<std::size_t>(Slots) * static_cast<std::size_t>(FCount) * 3),
          FDivide(static_cast<TSum>(Columns.Total()))
    {
    }

    const TSum* Row(int SourceRow)
    {
        const int slot = SourceRow % FSlots;
        TSum* out = FData.data() + static_cast<std::size_t>(slot) * FCount * 3;
        if (FSlotRow[static_cast<std::size_t>(slot)] != SourceRow) {
            Resample(FReader.Row(SourceRow), out);
            FSlotRow[static_cast<std::size_t>(slot)] = SourceRow;
        }
        return out;
    }

private:
    void Resample(const std::uint8_t* src, TSum* out) const
    {
        const TSum middle = static_cast<TSum>(FColumns.Middle());
        for (int i = 0; i < FCount; ++i, out += 3) {
            const TStretchEntry& e = FColumns.At(FFrom + i);
            if (!e.Valid)
                continue;
            const std::uint8_t* p = src + static_cast<std::ptrdiff_t>(e.First) * 3;
            if (e.Kind == 0) {
                out[0] = p[0];
                out[1] = p[1];
                out[2] = p[2];
                continue;
            }
            const TSum wf = static_cast<TSum>(e.WeightFirst);
            TSum s0 = wf * p[0], s1 = wf * p[1], s2 = wf * p[2];
            const std::uint8_t* q = p + 3;
            if (e.Kind == 2) {
                TSum m0 = 0, m1 = 0, m2 = 0;
                for (const std::uint8_t* end = src + static_cast<std::ptrdiff_t>(e.Last) * 3; q != end; q += 3) {
                    m0 += q[0];
                    m1 += q[1];
                    m2 += q[2];
                }
                s0 += middle * m0;
                s1 += middle * m1;
                s2 += middle * m2;
            }
            const TSum wl = static_cast<TSum>(e.WeightLast);
            out[0] = FDivide(s0 + wl * q[0]);
            out[1] = FDivide(s1 + wl * q[1]);
            out[2] = FDivide(s2 + wl * q[2]);
        }
    }

    TColorRowReader FReader;
    const TStretchAxis& FColumns;
    int FFrom;
    int FCount;
    int FSlots;
    std::vector<int> FSlotRow;
    std::vector<TSum> FData;
    TDivide FDivide;
};

// The destination rows y0..y1, columns x0..x1 (clipped to the target).
template <typename TSum, typename TDivide>
void StretchRows(TPixelGraphic& Target, TColorWriter& writer, TPixelGraphic& Source, const TStretchAxis& columns,
                 const TStretchAxis& rows, int DestX, int DestY, int x0, int x1, int y0, int y1)
{
    const int count = x1 - x0 + 1;
    TResampledRows<TSum, TDivide> across(Source, columns, x0 - DestX, x1 - DestX, rows.MaxSpan());
    const TDivide divide(static_cast<TSum>(rows.Total()));
    std::vector<TSum> sums(static_cast<std::size_t>(count) * 3);
    for (int y = y0; y <= y1; ++y) {
        const TStretchEntry& r = rows.At(y - DestY);
        if (!r.Valid)
            continue;
        writer.StartRow(y);
        TSum* acc = sums.data();
        if (r.Kind == 0) {
            std::memcpy(acc, across.Row(r.First), sums.size() * sizeof(TSum));
        } else {
            std::fill(sums.begin(), sums.end(), 0u);
            for (int sy = r.First; sy <= r.Last; ++sy) {
                const TSum w = static_cast<TSum>(
                    sy == r.First ? r.WeightFirst : (sy == r.Last ? r.WeightLast : rows.Middle()));
                const TSum* h = across.Row(sy);
                for (std::size_t i = 0; i < sums.size(); ++i)
                    acc[i] += w * h[i];
            }
            for (std::size_t i = 0; i < sums.size(); ++i)
                acc[i] = divide(acc[i]);
        }
        const bool leftward = (y & 1) != 0;
        for (int k = 0; k < count; ++k) {
            const int i = leftward ? count - 1 - k : k;
            if (!columns.At(x0 - DestX + i).Valid)
                continue;
            const TSum* c = acc + static_cast<std::ptrdiff_t>(i) * 3;
            writer.Write(x0 + i, static_cast<int>(c[2]), static_cast<int>(c[1]), static_cast<int>(c[0]));
        }
        if (Target.Progress(y - y0, y1 - y0))
            break;
    }
}

} // namespace

void TPixelGraphic::StretchFrom(TPixelGraphic& Source)
{
    StretchRect(0, 0, FWidth, FHeight, 0, 0, Source.GetWidth(), Source.GetHeight(), Source);
}

void TPixelGraphic::StretchRect(int DestX, int DestY, int DestWidth, int DestHeight, int SourceX, int SourceY,
                                int SourceWidth, int SourceHeight, TPixelGraphic& Source)
{
    Flush();
    if (DestWidth == SourceWidth && DestHeight == SourceHeight) {
        CopyRect(DestX, DestY, DestWidth, DestHeight, SourceX, SourceY, Source);
        return;
    }
    if (!HasPixels(*this) || !HasPixels(Source) || DestWidth <= 0 || DestHeight <= 0 || SourceWidth <= 0 ||
        SourceHeight <= 0)
        return;
    if (&Source == this) {
        auto copy = MakeWorkCopy(Source);
        StretchRect(DestX, DestY, DestWidth, DestHeight, SourceX, SourceY, SourceWidth, SourceHeight, *copy);
        return;
    }
    const int x0 = std::max(DestX, 0), x1 = std::min(DestX + DestWidth - 1, FWidth - 1);
    const int y0 = std::max(DestY, 0), y1 = std::min(DestY + DestHeight - 1, FHeight - 1);
    const TStretchAxis columns(FStretchMode, DestWidth, SourceX, SourceWidth, Source.GetWidth(), x0 - DestX,
                               x1 - DestX);
    const TStretchAxis rows(FStretchMode, DestHeight, SourceY, SourceHeight, Source.GetHeight(), y0 - DestY,
                            y1 - DestY);

    TColorWriter writer(*this);
    ProgressStart();
    if (x0 <= x1 && columns.MaxSpan() > 0 && rows.MaxSpan() > 0) {
        if (FitsIn32Bits(columns) && FitsIn32Bits(rows))
            StretchRows<std::uint32_t, TFastDivider>(*this, writer, Source, columns, rows, DestX, DestY, x0, x1,
                                                      y0, y1);
        else
            StretchRows<std::uint64_t, TWideDivider>(*this, writer, Source, columns, rows, DestX, DestY, x0, x1,
                                                      y0, y1);
    }
    ProgressEnd();
    writer.Finish();
    Changed(this);
}

void TPixelGraphic::CopyRect(int DestX, int DestY, int AWidth, int AHeight, int SourceX, int SourceY,
                             TPixelGraphic& Source)
{
    Flush();
    if (!HasPixels(*this) || !HasPixels(Source))
        return;
    if (&Source == this) {
        auto copy = MakeWorkCopy(Source);
        CopyRect(DestX, DestY, AWidth, AHeight, SourceX, SourceY, *copy);
        return;
    }
    const int y0 = std::max(DestY, 0), y1 = std::min(DestY + AHeight - 1, FHeight - 1);
    const int shift = SourceX - DestX;
    const int x0 = std::max({DestX, 0, -shift});
    const int x1 = std::min({DestX + AWidth - 1, FWidth - 1, Source.GetWidth() - 1 - shift});
    if (x0 > x1) {
        Changed(this);
        return;
    }
    const auto sourceRow = [&](int y) { return y - DestY + SourceY; };
    const auto inSource = [&](int sy) { return sy >= 0 && sy < Source.GetHeight(); };

    TColorWriter writer(*this);
    ProgressStart();
    if (FPixelFormat == pf24Bit && Source.GetPixelFormat() == pf24Bit) {
        for (int y = y0; y <= y1; ++y)
            if (inSource(sourceRow(y)))
                std::memmove(GetScanLine(y) + static_cast<std::ptrdiff_t>(x0) * 3,
                             Source.GetScanLine(sourceRow(y)) + static_cast<std::ptrdiff_t>(x0 + shift) * 3,
                             static_cast<std::size_t>(x1 - x0 + 1) * 3);
    } else {
        TColorRowReader reader(Source);
        for (int y = y0; y <= y1; ++y) {
            if (!inSource(sourceRow(y)))
                continue;
            const std::uint8_t* src = reader.Row(sourceRow(y));
            writer.StartRow(y);
            const bool leftward = (y & 1) != 0;
            for (int k = x0; k <= x1; ++k) {
                const int x = leftward ? x1 + x0 - k : k;
                const std::uint8_t* p = src + static_cast<std::ptrdiff_t>(x + shift) * 3;
                writer.Write(x, p[2], p[1], p[0]);
            }
            if (Progress(y - y0, y1 - y0))
                break;
        }
    }
    ProgressEnd();
    writer.Finish();
    Changed(this);
}

namespace {

// Raw access to pixel X of a packed row, for the formats below 8 bits.
inline unsigned RawGet(const std::uint8_t* row, std::uint8_t format, int x)
{
    if (format == pf1Bit)
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
}

inline void RawSet(std::uint8_t* row, std::uint8_t format, int x, unsigned v)
{
    if (format == pf1Bit) {
        const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
        row[x >> 3] = static_cast<std::uint8_t>(v ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
    } else if (x & 1) {
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0xF0u) | v);
    } else {
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0x0Fu) | (v << 4));
    }
}

// Swaps pixel a of row p with pixel b of row q.
inline void SwapPixels(std::uint8_t* p, int a, std::uint8_t* q, int b, std::uint8_t format)
{
    switch (format) {
    case pf8Bit:
        std::swap(p[a], q[b]);
        break;
    case pf24Bit:
        std::swap_ranges(p + static_cast<std::ptrdiff_t>(a) * 3, p + static_cast<std::ptrdiff_t>(a) * 3 + 3,
                         q + static_cast<std::ptrdiff_t>(b) * 3);
        break;
    default: {
        const unsigned va = RawGet(p, format, a), vb = RawGet(q, format, b);
        RawSet(p, format, a, vb);
        RawSet(q, format, b, va);
        break;
    }
    }
}

} // namespace

void TPixelGraphic::FlipHorizontal()
{
    Flush();
    if (GetEmpty())
        return;
    ProgressStart();
    for (int y = 0; y < FHeight; ++y) {
        std::uint8_t* row = GetScanLine(y);
        for (int x = 0; x < FWidth / 2; ++x)
            SwapPixels(row, x, row, FWidth - 1 - x, FPixelFormat);
        if (Progress(y, FHeight - 1))
            break;
    }
    ProgressEnd();
    Changed(this);
}

void TPixelGraphic::FlipVertical()
{
    Flush();
    if (GetEmpty())
        return;
    ProgressStart();
    for (int x = 0; x < FWidth; ++x) {
        for (int y = 0; y < FHeight / 2; ++y)
            SwapPixels(GetScanLine(y), x, GetScanLine(FHeight - 1 - y), x, FPixelFormat);
        if (Progress(x, FWidth - 1))
            break;
    }
    ProgressEnd();
    Changed(this);
}

} // namespace lumeno
