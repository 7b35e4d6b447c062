#include "app/converter/gif_export.h"

#include "controls/media/gif_writer.h"
#include "imagelib/pixel_graphic.h"

namespace lumeno {

std::unique_ptr<TPixelGraphic> ReduceForGIF(TPixelGraphic& Source, int Width, int Height)
{
    auto reduced = std::make_unique<TPixelGraphic>();
    reduced->SetOnProgress(Source.GetOnProgress());
    reduced->SetDimensions(Width, Height, pf8Bit);
    reduced->ReduceColors(Source, GIFExportColors, true);
    reduced->SetDither(true);
    reduced->SetRGBWeighting(true);
    reduced->StretchFrom(Source);
    return reduced;
}

void ExportGIF(const std::string& FileName, TPixelGraphic& Source, int Width, int Height, bool Interlaced,
               bool Transparent, const TTransparentPicker& Pick)
{
    const std::unique_ptr<TPixelGraphic> reduced = ReduceForGIF(Source, Width, Height);
    std::optional<TColor> color;
    if (Transparent && Pick)
        color = Pick(*reduced);
    // The last chance for the handler to stop before the file is replaced.
    reduced->Progress(Height, Height);
    if (!SaveBitmapAsGIF(FileName, *reduced, Interlaced, color.value_or(0), color.has_value()))
        throw EConvertError("Error writing GIF file " + FileName);
}

} // namespace lumeno
