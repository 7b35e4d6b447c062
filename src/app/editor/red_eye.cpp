#include "app/editor/red_eye.h"

#include "app/effects/frames.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>

namespace lumeno {

void ReduceRedEye(TPixelGraphic& Image, const TRedEyeThresholds& T)
{
    const int w = Image.GetWidth(), h = Image.GetHeight();
    const int radius = std::min(w, h) / 2, cx = w / 2, cy = h / 2;
    Ensure24Bit(Image);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = Image.GetScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const int dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy > radius * radius)
                continue;
            if (p[2] > T.Red && p[1] < T.Green && p[0] < T.Blue)
                p[0] = p[1] = p[2] = 0;
        }
    }
    Image.Changed(&Image);
}

} // namespace lumeno
