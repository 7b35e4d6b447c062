#pragma once
// A plain 24-bit pixel buffer: blue, green, red bytes, rows padded to four
// bytes and reached through a table of row starts, top row first.

#include <cstdint>
#include <vector>

namespace lumeno {

class TFastRGB {
public:
    int Gap = 0;           // padding bytes at the end of each row
    int RowInc = 0;        // bytes per row, padding included
    std::int64_t Size = 0; // RowInc x Height
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t*> Pixels; // row starts, top first
    std::uint8_t* Bits = nullptr;

protected:
    // Sets the layout for AWidth x AHeight and fills the row table over Bits.
    void SetLayout(int AWidth, int AHeight);
    void FillRowTable();
};

} // namespace lumeno
