#include "imagelib/pg_canvas_qt.h"

#include "imagelib/pixel_graphic.h"

#include <cstring>

namespace lumeno {

QImage ToQImage(TPixelGraphic& Graphic)
{
    const int w = Graphic.GetWidth(), h = Graphic.GetHeight();
    if (Graphic.GetEmpty())
        return {};
    QList<QRgb> table;
    for (int i = 0; i < Graphic.GetColorCount(); ++i)
        table.append(0xFF000000u | Graphic.GetColorTable()[i]);
    QImage image;
    switch (Graphic.GetPixelFormat()) {
    case pf1Bit:
        image = QImage(w, h, QImage::Format_Mono);
        break;
    case pf24Bit:
        image = QImage(w, h, QImage::Format_BGR888);
        break;
    default:
        image = QImage(w, h, QImage::Format_Indexed8);
        break;
    }
    if (!table.isEmpty())
        image.setColorTable(table);
    const std::size_t rowBytes =
        static_cast<std::size_t>((static_cast<std::int64_t>(w) * Graphic.GetBitsPerPixel() + 7) / 8);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = Graphic.GetScanLine(y);
        std::uint8_t* dst = image.scanLine(y);
        if (Graphic.GetPixelFormat() != pf4Bit) {
            std::memcpy(dst, src, rowBytes);
            continue;
        }
        for (int x = 0; x < w; ++x)
            dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
    }
    return image;
}

TPGCanvas::TPGCanvas(TPixelGraphic& Graphic) : FGraphic(Graphic) {}

TPGCanvas::~TPGCanvas()
{
    ReleaseHandle();
}

QPainter& TPGCanvas::Painter()
{
    if (!FPainter)
        CreateHandle();
    FGraphic.FFlushPending = true;
    FGraphic.Changed(&FGraphic);
    return *FPainter;
}

void TPGCanvas::CreateHandle()
{
    // A painter needs a device even for an empty image.
    FShadow = FGraphic.GetEmpty() ? QImage(1, 1, QImage::Format_RGB32)
                                  : ToQImage(FGraphic).convertToFormat(QImage::Format_RGB32);
    FPainter = std::make_unique<QPainter>(&FShadow);
    FPainter->setPen(FPen);
    FPainter->setBrush(FBrush);
    FPainter->setFont(FFont);
}

// Only pixels whose colour changed are mapped back, so an unchanged pixel
// keeps its index even where the palette holds the same colour twice.
void TPGCanvas::FlushToGraphic()
{
    if (!FPainter)
        return;
    const int w = FGraphic.GetWidth(), h = FGraphic.GetHeight();
    const bool trueColor = FGraphic.GetPixelFormat() == pf24Bit;
    if (!FGraphic.GetEmpty() && (trueColor || FGraphic.GetPaletteSize() > 0)) {
        const std::uint32_t* table = FGraphic.GetColorTable();
        for (int y = 0; y < h; ++y) {
            const QRgb* shadow = reinterpret_cast<const QRgb*>(FShadow.constScanLine(y));
            std::uint8_t* row = FGraphic.GetScanLine(y);
            for (int x = 0; x < w; ++x) {
                const QRgb c = shadow[x] & 0xFFFFFFu;
                if (trueColor) {
                    row[x * 3 + 0] = static_cast<std::uint8_t>(qBlue(c));
                    row[x * 3 + 1] = static_cast<std::uint8_t>(qGreen(c));
                    row[x * 3 + 2] = static_cast<std::uint8_t>(qRed(c));
                } else if (c != table[FGraphic.GetPixel(x, y)]) {
                    FGraphic.SetPixel(x, y, FGraphic.ColorToIndex(RGB(qRed(c), qGreen(c), qBlue(c))));
                }
            }
        }
    }
    ReleaseHandle();
}

void TPGCanvas::ReleaseHandle()
{
    if (!FPainter)
        return;
    FPen = FPainter->pen();
    FBrush = FPainter->brush();
    FFont = FPainter->font();
    FPainter->end();
    FPainter.reset();
    FShadow = QImage();
}

} // namespace lumeno
