#pragma once
// The gamma correction applied to freshly loaded images.

namespace lumeno {

class TPixelGraphic;

// When GammaCorrectOnLoad is set and the image's gamma differs from
// DefaultGamma by more than 5 %, maps its pixels (24-bit) or its palette
// through 255 × (i ÷ 255)^(Gamma ÷ DefaultGamma); the image's gamma is then
// DefaultGamma.
void GammaCorrectLoadedImage(TPixelGraphic& Graphic);

} // namespace lumeno
