#pragma once
// One conversion of the converter window, without the window: the source
// image written to the target in the target's format, at its own size or
// resampled (and optionally sharpened) to the size it is shown at.

#include "app/converter/gif_export.h"

#include <string>

namespace lumeno {

class TPixelGraphic;

struct TConvertOptions {
    std::string Extension;            // "bmp", "jpg", ... as the target's
    bool MaintainOriginalSize = true; // else Width x Height
    bool AutoSharpen = true;          // when resampled
    int Width = 0;
    int Height = 0;
    bool Interlaced = false; // GIF only
    bool Transparent = false;
};

// Writes Source to Target. JPEG quality and the other codec options are the
// library's current ones. Source's progress handler follows every step and
// may raise to stop; an existing Target is then kept.
void ConvertImage(TPixelGraphic& Source, const std::string& Target, const TConvertOptions& Options,
                  const TTransparentPicker& Pick);

// The resampled copy of Source at Width x Height, sharpened when asked.
std::unique_ptr<TPixelGraphic> ResizeForConvert(TPixelGraphic& Source, int Width, int Height, bool Sharpen);

} // namespace lumeno
