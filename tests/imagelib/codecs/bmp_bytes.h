#pragma once
// Builds BMP files byte by byte, so tests can make every variant, including
// broken ones.

#include "support/le_bytes.h"

#include <cstdint>
#include <vector>

namespace lumeno::test {

struct BmpSpec {
    std::uint32_t HeaderSize = 40;
    std::int32_t Width = 1;
    std::int32_t Height = 1;
    std::uint16_t Planes = 1;
    std::uint16_t BitCount = 24;
    std::uint32_t Compression = 0;
    std::uint32_t SizeImage = 0; // 0: the size of Pixels
    std::uint32_t ClrUsed = 0;
    std::vector<std::uint32_t> Palette; // 0xRRGGBB, stored as (blue, green, red[, 0])
    std::vector<std::uint32_t> Masks;   // stored after a 40-byte header, inside a longer one
    std::vector<std::uint8_t> Gap;      // bytes between the colour table and the pixels
    std::int64_t OffBits = -1;          // -1: where the pixels really start
    std::vector<std::uint8_t> Pixels;
};

inline std::vector<std::uint8_t> MakeBmp(const BmpSpec& s)
{
    std::vector<std::uint8_t> h;
    Put32(h, s.HeaderSize);
    if (s.HeaderSize == 12) {
        Put16(h, static_cast<std::uint32_t>(s.Width));
        Put16(h, static_cast<std::uint32_t>(s.Height));
        Put16(h, s.Planes);
        Put16(h, s.BitCount);
    } else {
        Put32(h, static_cast<std::uint32_t>(s.Width));
        Put32(h, static_cast<std::uint32_t>(s.Height));
        Put16(h, s.Planes);
        Put16(h, s.BitCount);
        Put32(h, s.Compression);
        Put32(h, s.SizeImage ? s.SizeImage : static_cast<std::uint32_t>(s.Pixels.size()));
        Put32(h, 2835);
        Put32(h, 2835);
        Put32(h, s.ClrUsed);
        Put32(h, 0);
        for (std::uint32_t m : s.Masks)
            Put32(h, m);
        while (h.size() < s.HeaderSize)
            h.push_back(0);
    }
    for (std::uint32_t c : s.Palette) {
        h.push_back(static_cast<std::uint8_t>(c));
        h.push_back(static_cast<std::uint8_t>(c >> 8));
        h.push_back(static_cast<std::uint8_t>(c >> 16));
        if (s.HeaderSize != 12)
            h.push_back(0);
    }
    h.insert(h.end(), s.Gap.begin(), s.Gap.end());
    std::vector<std::uint8_t> file{'B', 'M'};
    const std::uint32_t offBits = 14 + static_cast<std::uint32_t>(h.size());
    Put32(file, offBits + static_cast<std::uint32_t>(s.Pixels.size()));
    Put32(file, 0);
    Put32(file, s.OffBits >= 0 ? static_cast<std::uint32_t>(s.OffBits) : offBits);
    file.insert(file.end(), h.begin(), h.end());
    file.insert(file.end(), s.Pixels.begin(), s.Pixels.end());
    return file;
}

} // namespace lumeno::test
