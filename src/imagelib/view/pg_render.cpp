#include "imagelib/view/pg_render.h"

#include "imagelib/pixel_graphic.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lumeno {

namespace {

// Source index of each of Count screen pixels starting at First.
std::vector<int> SourceIndices(int First, int Count, int TileExtent, int SourceExtent, bool Flip)
{
    std::vector<int> indices(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i) {
        const std::int64_t s = static_cast<std::int64_t>(First + i) * SourceExtent / TileExtent;
        const int clamped =
            static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(s, 0), SourceExtent - 1));
        indices[static_cast<std::size_t>(i)] = Flip ? SourceExtent - 1 - clamped : clamped;
    }
    return indices;
}

void RenderRow24(const std::uint8_t* src, const std::vector<int>& cols, QRgb* dst)
{
    for (const int x : cols) {
        const std::uint8_t* p = src + static_cast<std::ptrdiff_t>(x) * 3;
        *dst++ = qRgb(p[2], p[1], p[0]);
    }
}

void RenderRow8(const std::uint8_t* src, const std::vector<int>& cols, const QRgb* table, QRgb* dst)
{
    for (const int x : cols)
        *dst++ = table[src[x]];
}

void RenderRow4(const std::uint8_t* src, const std::vector<int>& cols, const QRgb* table, QRgb* dst)
{
    for (const int x : cols)
        *dst++ = table[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)];
}

void RenderRow1(const std::uint8_t* src, const std::vector<int>& cols, const QRgb* table, QRgb* dst)
{
    for (const int x : cols)
        *dst++ = table[(src[x >> 3] >> (7 - (x & 7))) & 1];
}

} // namespace

QImage PGRenderTilePart(TPixelGraphic& Graphic, int TileWidth, int TileHeight, const QRect& Visible,
                        bool FlipH, bool FlipV)
{
    const QRect part = Visible & QRect(0, 0, TileWidth, TileHeight);
    if (part.isEmpty() || Graphic.GetEmpty())
        return {};
    Graphic.Flush();
    const int sw = Graphic.GetWidth(), sh = Graphic.GetHeight();
    const std::vector<int> cols = SourceIndices(part.left(), part.width(), TileWidth, sw, FlipH);
    const std::vector<int> rows = SourceIndices(part.top(), part.height(), TileHeight, sh, FlipV);
    QRgb table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = 0xFF000000u | (i < Graphic.GetColorCount() ? Graphic.GetColorTable()[i] : 0u);
    QImage out(part.size(), QImage::Format_RGB32);
    const std::uint8_t format = Graphic.GetPixelFormat();
    int lastRow = -1;
    for (int y = 0; y < part.height(); ++y) {
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        const int sy = rows[static_cast<std::size_t>(y)];
        if (sy == lastRow) { // zoomed in: the row repeats
            std::memcpy(dst, out.constScanLine(y - 1), static_cast<std::size_t>(part.width()) * sizeof(QRgb));
            continue;
        }
        lastRow = sy;
        const std::uint8_t* src = Graphic.GetScanLine(sy);
        switch (format) {
        case pf24Bit:
            RenderRow24(src, cols, dst);
            break;
        case pf8Bit:
            RenderRow8(src, cols, table, dst);
            break;
        case pf4Bit:
            RenderRow4(src, cols, table, dst);
            break;
        default:
            RenderRow1(src, cols, table, dst);
            break;
        }
    }
    return out;
}

} // namespace lumeno
