#pragma once
// The effects' own bitmap: a 24-bit copy of an image in memory it owns, so
// that a source and a destination never share pixels and the image it was
// made from may go away at once.

#include "app/effects/fast_rgb.h"

#include <memory>

class QPainter;

namespace lumeno {

class TPixelGraphic;

class TFastBMP : public TFastRGB {
public:
    // Black pixels.
    TFastBMP(int AWidth, int AHeight);
    TFastBMP(const TFastBMP&) = delete;
    TFastBMP& operator=(const TFastBMP&) = delete;

    // Bitmap must be 24-bit (EPixelGraphic otherwise).
    static std::unique_ptr<TFastBMP> CreateFromBitmap(TPixelGraphic& Bitmap);
    // Makes Dest a 24-bit image of this size holding these pixels.
    void Draw(TPixelGraphic& Dest) const;
    void Draw(QPainter& Painter, int X, int Y) const;
    // Copies Source's pixels over these (same size required).
    void Assign(const TFastBMP& Source);

private:
    std::unique_ptr<std::uint8_t[]> FMemory;
};

} // namespace lumeno
