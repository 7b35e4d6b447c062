#pragma once
// Rows of any image as blue, green, red bytes: 24-bit rows are used where
// they lie, palette rows are looked up into a buffer of the reader's own.

#include "imagelib/pixel_graphic.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lumeno {

// Raw pixel values 0..Count-1 of a 1-, 4- or 8-bit row.
void UnpackIndexRow(const std::uint8_t* Row, std::uint8_t PixelFormat, int Count, std::uint8_t* Out);

class TColorRowReader {
public:
    explicit TColorRowReader(TPixelGraphic& Source);

    // Pixels 0 .. Width - 1 of row Y (which must lie inside the image).
    const std::uint8_t* Row(int Y);

private:
    TPixelGraphic& FSource;
    // Blue, green, red of every pixel value; values beyond the palette show
    // as the bitmap's colour table does (entry 0, or black).
    std::array<std::uint8_t, 256 * 3> FColors{};
    std::vector<std::uint8_t> FIndices;
    std::vector<std::uint8_t> FBuffer;
};

} // namespace lumeno
