#include "app/effects/fast_bmp.h"

#include "app/effects/graphic_update.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pixel_graphic.h"

#include <QImage>
#include <QPainter>

#include <cstring>

namespace lumeno {

TFastBMP::TFastBMP(int AWidth, int AHeight)
{
    if (AWidth < 0 || AHeight < 0)
        throw EPGInvalidSize("TFastBMP: negative size");
    SetLayout(AWidth, AHeight);
    FMemory = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(Size));
    Bits = FMemory.get();
    FillRowTable();
}

std::unique_ptr<TFastBMP> TFastBMP::CreateFromBitmap(TPixelGraphic& Bitmap)
{
    if (Bitmap.GetPixelFormat() != pf24Bit)
        throw EPixelGraphic("TFastBMP: the bitmap is not 24-bit");
    auto bmp = std::make_unique<TFastBMP>(Bitmap.GetWidth(), Bitmap.GetHeight());
    for (int y = 0; y < bmp->Height; ++y)
        std::memcpy(bmp->Pixels[static_cast<std::size_t>(y)], Bitmap.GetScanLine(y),
                    static_cast<std::size_t>(bmp->RowInc));
    return bmp;
}

void TFastBMP::Draw(TPixelGraphic& Dest) const
{
    const TGraphicUpdate update(Dest);
    Dest.SetDimensions(Width, Height, pf24Bit);
    for (int y = 0; y < Height; ++y)
        std::memcpy(Dest.GetScanLine(y), Pixels[static_cast<std::size_t>(y)],
                    static_cast<std::size_t>(RowInc));
}

void TFastBMP::Draw(QPainter& Painter, int X, int Y) const
{
    if (Width > 0 && Height > 0)
        Painter.drawImage(X, Y, QImage(Bits, Width, Height, RowInc, QImage::Format_BGR888));
}

void TFastBMP::Assign(const TFastBMP& Source)
{
    if (Source.Width != Width || Source.Height != Height)
        throw EPGInvalidSize("TFastBMP: sizes differ");
    std::memcpy(Bits, Source.Bits, static_cast<std::size_t>(Size));
}

} // namespace lumeno
