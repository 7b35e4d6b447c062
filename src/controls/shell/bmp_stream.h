#pragma once
// An in-memory BMP file (14-byte file header, 40-byte info header, palette,
// bottom-up rows padded to 4 bytes) that the bitmap loaders fill row by row
// and hand to Qt's own BMP loading.

#include <QImage>

#include <cstdint>
#include <vector>

namespace lumeno {

class TStream;

class TBmpStream {
public:
    // Colours of the palette are 0x00RRGGBB; bit counts 1, 4, 8 and 24.
    // The caller bounds the size (the rows of the stream are allocated here).
    TBmpStream(int width, int height, int bitCount, const std::vector<std::uint32_t>& palette,
               int pixelsPerMetre = 0);

    // Row y, counted from the top, RowBytes() long (zeroed at first).
    std::uint8_t* Row(int y);
    std::size_t RowBytes() const { return rowBytes_; }
    // The BMP as written so far, as Qt reads it.
    QImage Image() const;
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    int height_;
    std::size_t rowBytes_;
    std::size_t pixelOffset_;
    std::vector<std::uint8_t> bytes_;
};

// Padded bytes of a BMP row.
std::size_t BmpRowBytes(int width, int bitCount);

// The loaders decode from memory: the stream from its position to its end.
std::vector<std::uint8_t> ReadStreamRest(TStream& stream);

// A picture of at least one pixel whose rows stay within 256 MiB.
bool BmpSizeAllowed(int width, int height, int bitCount);

} // namespace lumeno
