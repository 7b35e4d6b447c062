#pragma once
// Writing an image as a single-frame GIF: reduced to 236 computed colours
// plus the 16 system colours, dithered, and optionally with a transparent
// colour the user picks on the reduced picture.

#include "platform/exception.h"
#include "platform/types.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lumeno {

class TPixelGraphic;

LUMENO_DECLARE_EXCEPTION(EConvertError, Exception);

// Shows the reduced picture and gives the colour the user clicked on;
// nothing when the user closed it without a click.
using TTransparentPicker = std::function<std::optional<TColor>(TPixelGraphic& Reduced)>;

inline constexpr int GIFExportColors = 252;

// An 8-bit image of Width x Height holding Source with the GIF palette.
std::unique_ptr<TPixelGraphic> ReduceForGIF(TPixelGraphic& Source, int Width, int Height);

// Reduces Source and writes FileName. With Transparent the picker is asked;
// without a pick the file has no transparent colour. Raises EConvertError
// when the writer refuses the image, and the writer's errors when the file
// cannot be written; an existing file is then kept.
void ExportGIF(const std::string& FileName, TPixelGraphic& Source, int Width, int Height, bool Interlaced,
               bool Transparent, const TTransparentPicker& Pick);

} // namespace lumeno
