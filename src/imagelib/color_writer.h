#pragma once
// Writes computed colours into a target in its own pixel format: bytes for
// 24-bit targets, error diffusion when the target dithers, else the nearest
// palette entry. Holds the target's dither buffers for one operation.

#include "imagelib/pixel_graphic.h"

#include <cstdint>
#include <cstring>

namespace lumeno {

class TColorWriter {
public:
    explicit TColorWriter(TPixelGraphic& Target);
    ~TColorWriter();
    TColorWriter(const TColorWriter&) = delete;
    TColorWriter& operator=(const TColorWriter&) = delete;

    // Called before the first pixel of every target row.
    void StartRow(int Y);
    void Write(int X, int R, int G, int B)
    {
        switch (FMode) {
        case Direct: {
            std::uint8_t* p = FRow + static_cast<std::ptrdiff_t>(X) * 3;
            p[0] = static_cast<std::uint8_t>(B);
            p[1] = static_cast<std::uint8_t>(G);
            p[2] = static_cast<std::uint8_t>(R);
            break;
        }
        case Dithered:
            FTarget.DitherPixel(X, FY, R, G, B);
            break;
        case Nearest:
            FTarget.SetPixelColor(X, FY, RGB(R, G, B));
            break;
        }
    }
    void Write(int X, TColor C) { Write(X, GetRValue(C), GetGValue(C), GetBValue(C)); }
    // Count pixels of blue, green, red bytes from column X on, visited right
    // to left on odd rows as the error diffusion expects.
    void WriteRow(int X, const std::uint8_t* BGR, int Count);
    // Frees the dither buffers ahead of the destructor.
    void Finish();

private:
    enum TMode { Direct, Dithered, Nearest };
    TPixelGraphic& FTarget;
    TMode FMode;
    std::uint8_t* FRow = nullptr;
    int FY = 0;
    bool FBuffersHeld = false;
};

} // namespace lumeno
