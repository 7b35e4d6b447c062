#pragma once
// Builds WMF and EMF files byte by byte for the metafile tests.

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno::test {

using TBytes = std::vector<std::uint8_t>;

void Add16(TBytes& bytes, int value);
void Add32(TBytes& bytes, std::uint32_t value);
void AddF32(TBytes& bytes, float value);
// A packed bottom-up 24-bit DIB; Pixels are 0x00RRGGBB, top row first.
TBytes PackedDIB24(int width, int height, const std::vector<std::uint32_t>& pixels);

// The 22-byte placeable header with its checksum.
TBytes PlaceableHeader(int left, int top, int right, int bottom, int inch);

class TWMFBuilder {
public:
    // A record of 16-bit parameter words, in the order they are stored.
    TWMFBuilder& Words(std::uint16_t function, const std::vector<int>& params);
    // A record of raw parameter bytes (padded to a word).
    TWMFBuilder& Raw(std::uint16_t function, TBytes params);
    // Header (memory or disk metafile) and records, with or without EOF.
    TBytes Build(int objects, int type = 1, bool eof = true) const;

private:
    std::vector<TBytes> records_;
};

class TEMFBuilder {
public:
    // Frame in hundredths of a millimetre; the reference device is 96 dpi.
    TEMFBuilder(int frameRight, int frameBottom);
    TEMFBuilder& Record(std::uint32_t type, const TBytes& params);
    TEMFBuilder& Ints(std::uint32_t type, const std::vector<std::int32_t>& params);
    // Header with headerSize bytes (88 or 108), records, EOF with the palette.
    TBytes Build(int handles, const std::vector<std::uint32_t>& palette = {}, int headerSize = 108) const;

private:
    int frameRight_, frameBottom_;
    std::vector<TBytes> records_;
};

} // namespace lumeno::test
