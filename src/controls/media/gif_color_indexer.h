#pragma once
// Turns an image's pixels into indices of a GIF colour table of at most 256
// entries, colours numbered in the order they first appear.

#include "platform/types.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace lumeno {

class TPixelGraphic;

class TGIFColorIndexer {
public:
    // Appends the image's indices (rows in GIF file order) to indices; false
    // when the table would exceed 256 colours.
    bool Index(TPixelGraphic& bitmap, bool interlaced, std::vector<std::uint8_t>& indices);
    // The first entry of this colour, or -1.
    int Find(TColor colour) const;
    int Count() const { return static_cast<int>(table_.size()); }
    // 0xRRGGBB per entry.
    const std::vector<std::uint32_t>& Table() const { return table_; }

private:
    bool IndexRow(const std::uint32_t* rgb, int width, std::uint8_t* out);

    std::vector<std::uint32_t> table_;
    std::unordered_map<std::uint32_t, std::uint8_t> lookup_;
};

// Bits a table of n colours needs (1 for up to 2, ... 8 for up to 256).
int GIFBitsForColors(int n);

} // namespace lumeno
