#include "thumb_files.h"

namespace lumeno::test {

void WriteSolidImage(const std::string& path, int w, int h, TColor color)
{
    TPixelGraphic image;
    image.SetDimensions(w, h, pf24Bit);
    image.SetFillColor(color);
    image.Clear();
    image.SaveToFile(path);
}

void WriteGradientImage(const std::string& path, int w, int h)
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
