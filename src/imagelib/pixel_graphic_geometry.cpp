// Resampling, block copies and mirroring of TPixelGraphic.

#include "imagelib/color_row_reader.h"
#include "imagelib/color_writer.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/resampler.h"
#include "imagelib/stretch_axis.h"
#include "imagelib/work_copy.h"

#include <algorithm>
#include <cstring>

namespace lumeno {

namespace {

bool HasPixels(TPixelGraphic& g)
{
    return g.GetWidth() > 0 && g.GetHeight() > 0 && !g.GetEmpty();
}

// The first and last valid entries of From .. To; valid entries are contiguous.
bool ValidRange(const TStretchAxis& Axis, int From, int To, int& First, int& Last)
{
    First = From;
    Last = To;
    while (First <= Last && !Axis.At(First).Valid)
        ++First;
    while (Last >= First && !Axis.At(Last).Valid)
        --Last;
    return First <= Last;
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
    int c0, c1, r0, r1;
    if (x0 <= x1 && ValidRange(columns, x0 - DestX, x1 - DestX, c0, c1) &&
        ValidRange(rows, y0 - DestY, y1 - DestY, r0, r1)) {
        TResampler resampler(Source, columns, rows, c0, c1, r0, r1);
        resampler.Run([&](int Row, const std::uint8_t* BGR) {
            const int y = DestY + Row;
            writer.StartRow(y);
            writer.WriteRow(DestX + c0, BGR, c1 - c0 + 1);
            return !Progress(y - y0, y1 - y0);
        });
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
            writer.WriteRow(x0, src + static_cast<std::ptrdiff_t>(x0 + shift) * 3, x1 - x0 + 1);
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

// Rows are swapped a band of columns at a time, whole bytes with memory
// moves; the columns after one whose progress handler aborts are swapped
// back, so an abort keeps exactly the columns done.
void TPixelGraphic::FlipVertical()
{
    Flush();
    if (GetEmpty())
        return;
    constexpr int Band = 256; // columns; a multiple of 8 keeps bands on whole bytes
    const int bits = GetBitsPerPixel();
    ProgressStart();
    for (int first = 0; first < FWidth; first += Band) {
        const int last = std::min(FWidth, first + Band) - 1;
        const std::size_t from = static_cast<std::size_t>(first) * bits / 8;
        const std::size_t to = (static_cast<std::size_t>(last + 1) * bits + 7) / 8;
        for (int y = 0; y < FHeight / 2; ++y)
            std::swap_ranges(GetScanLine(y) + from, GetScanLine(y) + to, GetScanLine(FHeight - 1 - y) + from);
        for (int x = first; x <= last; ++x) {
            if (!Progress(x, FWidth - 1))
                continue;
            for (int undo = x + 1; undo <= last; ++undo)
                for (int y = 0; y < FHeight / 2; ++y)
                    SwapPixels(GetScanLine(y), undo, GetScanLine(FHeight - 1 - y), undo, FPixelFormat);
            ProgressEnd();
            Changed(this);
            return;
        }
    }
    ProgressEnd();
    Changed(this);
}

} // namespace lumeno
