#pragma once
// What the TIFF reader and writer share: tags, field types, compressions and
// photometric interpretations of baseline TIFF.

#include <cstdint>

namespace lumeno {

enum TTIFFTag : std::uint16_t {
    tagNewSubfileType = 254,
    tagImageWidth = 256,
    tagImageLength = 257,
    tagBitsPerSample = 258,
    tagCompression = 259,
    tagPhotometricInterpretation = 262,
    tagStripOffsets = 273,
    tagSamplesPerPixel = 277,
    tagRowsPerStrip = 278,
    tagStripByteCounts = 279,
    tagXResolution = 282,
    tagYResolution = 283,
    tagPlanarConfiguration = 284,
    tagResolutionUnit = 296,
    tagColorMap = 320,
};

enum TTIFFFieldType : std::uint16_t { ftByte = 1, ftShort = 3, ftLong = 4, ftRational = 5 };

constexpr std::uint32_t TIFFNoCompression = 1;
constexpr std::uint32_t TIFFPackBits = 32773;

enum TTIFFPhotometric : std::uint32_t {
    phWhiteIsZero = 0,
    phBlackIsZero = 1,
    phRGB = 2,
    phPalette = 3,
    phCMYK = 5,
};

constexpr int TIFFHeaderSize = 8;
constexpr int TIFFEntrySize = 12;

} // namespace lumeno
