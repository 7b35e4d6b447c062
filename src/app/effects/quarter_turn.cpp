#include "app/effects/quarter_turn.h"

#include "app/effects/graphic_update.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/work_copy.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumeno {

namespace {

constexpr int Tile = 64;

// Pixel access on raw rows for one pixel format (bits per pixel).
template <int Bits> struct TRowPixels {
    static unsigned Get(const std::uint8_t* Row, int X)
    {
        if constexpr (Bits == 1)
            return (Row[X >> 3] >> (7 - (X & 7))) & 1u;
        else if constexpr (Bits == 4)
            return (X & 1) ? (Row[X >> 1] & 0x0Fu) : (Row[X >> 1] >> 4);
        else if constexpr (Bits == 8)
            return Row[X];
        else
            return Row[X * 3] | (Row[X * 3 + 1] << 8) | (static_cast<unsigned>(Row[X * 3 + 2]) << 16);
    }
    static void Set(std::uint8_t* Row, int X, unsigned V)
    {
        if constexpr (Bits == 1) {
            const auto mask = static_cast<std::uint8_t>(0x80u >> (X & 7));
            Row[X >> 3] = static_cast<std::uint8_t>(V ? (Row[X >> 3] | mask) : (Row[X >> 3] & ~mask));
        } else if constexpr (Bits == 4) {
            std::uint8_t& b = Row[X >> 1];
            b = static_cast<std::uint8_t>((X & 1) ? ((b & 0xF0u) | V) : ((b & 0x0Fu) | (V << 4)));
        } else if constexpr (Bits == 8) {
            Row[X] = static_cast<std::uint8_t>(V);
        } else {
            Row[X * 3] = static_cast<std::uint8_t>(V);
            Row[X * 3 + 1] = static_cast<std::uint8_t>(V >> 8);
            Row[X * 3 + 2] = static_cast<std::uint8_t>(V >> 16);
        }
    }
};

std::vector<std::uint8_t*> RowsOf(TPixelGraphic& Graphic)
{
    std::vector<std::uint8_t*> rows;
    for (int y = 0; y < Graphic.GetHeight(); ++y)
        rows.push_back(Graphic.GetScanLine(y));
    return rows;
}

// Target pixel (x, y) takes the source pixel Turned(x, y), tile by tile so
// that reads down the source's columns stay in the cache. Every target row
// belongs to one thread, so packed pixels never share a byte across threads.
template <int Bits>
void Permute(const std::vector<std::uint8_t*>& Dst, int DstWidth, const std::vector<std::uint8_t*>& Src,
             int Quarters, int SrcWidth, int SrcHeight)
{
    using P = TRowPixels<Bits>;
    const int dh = static_cast<int>(Dst.size());
    ParallelRanges(dh, Tile, [&](int, int begin, int end) {
        for (int x0 = 0; x0 < DstWidth; x0 += Tile) {
            const int x1 = std::min(DstWidth, x0 + Tile);
            for (int y = begin; y < end; ++y) {
                std::uint8_t* row = Dst[static_cast<std::size_t>(y)];
                for (int x = x0; x < x1; ++x) {
                    int sx, sy;
                    if (Quarters == 1) {
                        sx = y;
                        sy = SrcHeight - 1 - x;
                    } else if (Quarters == 2) {
                        sx = SrcWidth - 1 - x;
                        sy = SrcHeight - 1 - y;
                    } else {
                        sx = SrcWidth - 1 - y;
                        sy = x;
                    }
                    P::Set(row, x, P::Get(Src[static_cast<std::size_t>(sy)], sx));
                }
            }
        }
    });
}

} // namespace

void TurnQuarters(TPixelGraphic& Target, TPixelGraphic& Source, int Quarters)
{
    if (&Target == &Source) {
        if (Quarters % 4 == 0)
            return;
        auto copy = MakeWorkCopy(Source);
        TurnQuarters(Target, *copy, Quarters);
        return;
    }
    Quarters = ((Quarters % 4) + 4) % 4;
    const int sw = Source.GetWidth(), sh = Source.GetHeight();
    const std::uint8_t format = Source.GetPixelFormat();
    const TGraphicUpdate update(Target);
    Target.SetFillColor(Source.GetFillColor());
    Target.SetDimensions(Quarters % 2 ? sh : sw, Quarters % 2 ? sw : sh, format);
    Target.AssignPalette(Source);
    if (Target.GetEmpty() || Source.GetEmpty())
        return;
    const std::vector<std::uint8_t*> src = RowsOf(Source), dst = RowsOf(Target);
    const int dw = Target.GetWidth();
    if (Quarters == 0) {
        for (int y = 0; y < sh; ++y)
            std::memcpy(dst[static_cast<std::size_t>(y)], src[static_cast<std::size_t>(y)],
                        static_cast<std::size_t>(Source.GetStride()));
        return;
    }
    switch (format) {
    case pf1Bit:
        Permute<1>(dst, dw, src, Quarters, sw, sh);
        break;
    case pf4Bit:
        Permute<4>(dst, dw, src, Quarters, sw, sh);
        break;
    case pf8Bit:
        Permute<8>(dst, dw, src, Quarters, sw, sh);
        break;
    default:
        Permute<24>(dst, dw, src, Quarters, sw, sh);
        break;
    }
}

} // namespace lumeno
