#pragma once
// Red-eye reduction: inside the circle that fits the picture, pixels that
// are red enough turn black.

namespace lumeno {

class TPixelGraphic;

struct TRedEyeThresholds {
    int Red = 100, Green = 100, Blue = 100;
    // The dialog's track bar, -50..80.
    static TRedEyeThresholds FromPosition(int Position)
    {
        return {100 - Position, 100 + Position, 100 + Position};
    }
};

// Image becomes 24-bit.
void ReduceRedEye(TPixelGraphic& Image, const TRedEyeThresholds& T);

} // namespace lumeno
