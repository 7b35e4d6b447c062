#pragma once
// TIFF's LZW (compression 5): codes most significant bit first, clear code
// 256, end code 257, first free code 258, width growing from 9 to 12 bits
// one code early (at 511, 1023 and 2047), a table of 4096 strings.

#include <cstddef>
#include <cstdint>

namespace lumeno {

enum class TTiffLzwResult {
    Done,      // the output is full, or the end code came
    BadCode,   // a code beyond the next free one
    ShortData, // the data ended first
};

struct TTiffLzwDecoded {
    TTiffLzwResult Result;
    std::size_t Written;
};

// Decodes one strip's codes into out (outSize bytes at most).
TTiffLzwDecoded DecodeTiffLzw(const std::uint8_t* data, std::size_t size, std::uint8_t* out,
                              std::size_t outSize);

} // namespace lumeno
