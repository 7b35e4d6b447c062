#include "app/converter/convert_image.h"

#include "imagelib/filters/conv_filter.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/stoppable_save.h"

namespace lumeno {

std::unique_ptr<TPixelGraphic> ResizeForConvert(TPixelGraphic& Source, int Width, int Height, bool Sharpen)
{
    auto resized = std::make_unique<TPixelGraphic>();
    resized->SetOnProgress(Source.GetOnProgress());
    resized->SetDimensions(Width, Height, pf24Bit);
    resized->StretchFrom(Source);
    if (!Sharpen)
        return resized;
    TConvFilter filter;
    filter.SetSharpenKernel(dsTent, false, 0.75L, 70.0L);
    auto sharpened = std::make_unique<TPixelGraphic>();
    sharpened->SetOnProgress(Source.GetOnProgress());
    sharpened->ApplyFilter(filter, *resized);
    return sharpened;
}

void ConvertImage(TPixelGraphic& Source, const std::string& Target, const TConvertOptions& Options,
                  const TTransparentPicker& Pick)
{
    const bool original = Options.MaintainOriginalSize;
    const int width = original ? Source.GetWidth() : Options.Width;
    const int height = original ? Source.GetHeight() : Options.Height;
    if (width < 1 || height < 1)
        throw EConvertError("Nothing to convert");
    if (Options.Extension == "gif") {
        ExportGIF(Target, Source, width, height, Options.Interlaced, Options.Transparent, Pick);
        return;
    }
    if (original) {
        SaveToFileStoppable(Source, Target);
        return;
    }
    SaveToFileStoppable(*ResizeForConvert(Source, width, height, Options.AutoSharpen), Target);
}

} // namespace lumeno
