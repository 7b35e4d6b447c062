#pragma once
// A private copy of an image's pixels, palette and fill colour, for the
// operations that are asked to read from their own target.

#include "imagelib/pixel_graphic.h"

#include <memory>

namespace lumeno {

std::unique_ptr<TPixelGraphic> MakeWorkCopy(TPixelGraphic& Source);

} // namespace lumeno
