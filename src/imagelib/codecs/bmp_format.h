#pragma once
// The BMP file layout shared by the BMP reader and writer.

#include "imagelib/codecs/codec_io.h"

#include <cstdint>

namespace lumeno {

constexpr int BMPFileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t V4HeaderSize = 108;
constexpr std::uint32_t V5HeaderSize = 124;

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

// The information (or OS/2 core) header, checked.
struct TBMPHeader {
    bool Core = false;
    std::uint32_t Size = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0; // negative: rows stored top-down
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = BI_RGB;
    std::uint32_t SizeImage = 0;
    std::uint32_t ClrUsed = 0;
    std::uint32_t Masks[3] = {}; // red, green, blue of 16- and 32-bit pixels

    bool TopDown() const { return Height < 0; }
    int Rows() const { return Height < 0 ? -Height : Height; }
};

// Reads and checks the header at the reader's position (with the bit-field
// masks that follow it), raising the BMP errors.
TBMPHeader ReadBMPHeader(TCodecReader& in);

} // namespace lumeno
