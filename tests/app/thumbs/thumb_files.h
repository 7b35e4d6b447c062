#pragma once
// Pictures the thumbnail tests write with the library's own writers.

#include "imagelib/pixel_graphic.h"

#include <string>

namespace lumeno::test {

// A w x h 24-bit picture in one colour, or a diagonal gradient (so scaling
// faults show), written by the writer of the file's extension.
inline void WriteSolidImage(const std::string& path, int w, int h, TColor color)
{
    TPixelGraphic image;
    image.SetDimensions(w, h, pf24Bit);
    image.SetFillColor(color);
    image.Clear();
    image.SaveToFile(path);
}

inline void WriteGradientImage(const std::string& path, int w, int h)
{
    TPixelGraphic image;
    image.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = image.GetScanLine(y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(255 * x / w);
            row[3 * x + 1] = static_cast<std::uint8_t>(255 * y / h);
            row[3 * x + 2] = static_cast<std::uint8_t>(128 + 127 * (x + y) / (w + h));
        }
    }
    image.SaveToFile(path);
}

} // namespace lumeno::test
