#include "app/editor/color_rez.h"

#include "imagelib/pixel_graphic.h"

namespace lumeno {

std::unique_ptr<TPixelGraphic> ColorRezImage(TPixelGraphic& Source, const TColorRezChoice& Choice)
{
    auto image = std::make_unique<TPixelGraphic>();
    image->SetDimensions(Source.GetWidth(), Source.GetHeight(), Choice.PixelFormat);
    image->SetDither(Choice.Dither);
    image->SetRGBWeighting(Choice.RGBWeighting);
    if (Choice.PixelFormat != pf24Bit) {
        if (Choice.Palette != pNone)
            image->SetPaletteType(Choice.Palette);
        else
            image->ReduceColors(Source, Choice.Colors, Choice.AddSystemColors);
    }
    image->StretchFrom(Source);
    return image;
}

bool ColorCountsValid(int Colors4, int Colors8)
{
    return Colors4 >= 2 && Colors4 <= 16 && Colors8 >= 2 && Colors8 <= 256;
}

} // namespace lumeno
