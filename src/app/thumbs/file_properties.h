#pragma once
// What "Image Properties" shows about one file, below the window: the
// format registry's report, the file's date and size, and whether a preview
// is loaded.

#include <cstdint>
#include <string>

namespace lumeno {

class TPixelGraphic;

// Files of this size or more get no preview.
inline constexpr std::int64_t kPreviewSizeLimit = 6145024;

struct TFileProperties {
    std::string FileName;
    bool Exists = false;
    bool InfoRead = false;
    std::string Date;     // short date + " h:mm AM/PM"
    std::string FileSize; // bytes div 1024 + 1, then "K"
    std::string Type;
    std::string SubType;
    std::string Options;
    std::string Width;
    std::string Height;
    std::string Colors;
    std::string BitsPerPixel;
    std::string GraphicCount;
    bool Preview = false;
};

TFileProperties ReadFileProperties(const std::string& Path);

// The window's background: Width x Height at 24 bits, each column from
// dark red (140) at the left to black at the right.
void PaintPropertiesGradient(TPixelGraphic& Image, int Width, int Height);

} // namespace lumeno
