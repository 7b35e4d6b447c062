#pragma once
// Decoder of the variable-width LZW code stream of GIF image data.

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumeno {

class TLZWDecoder {
public:
    static constexpr int MaxCodes = 4096;

    // Data is the code stream with the sub-block lengths taken out;
    // MinCodeSize must lie in 1..11.
    TLZWDecoder(const std::uint8_t* Data, std::size_t Size, int MinCodeSize);

    // Writes up to Count pixel indices to Dest and returns how many it
    // wrote; fewer once the stream ends, holds an end code or a code that
    // is not in the table yet.
    std::size_t Read(std::uint8_t* Dest, std::size_t Count);

private:
    void Reset();
    // The next code that stands for a string, or -1 at the end.
    int NextString();
    int NextCode();
    void Add(int prefix, std::uint8_t suffix);
    void Expand(int code, std::uint8_t* dest) const;

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;

    int minCodeSize_;
    int clear_;
    int end_;
    int next_ = 0;
    int width_ = 0;
    int previous_ = -1;
    bool finished_ = false;

    // A string is its prefix's string and one more byte.
    struct TEntry {
        std::uint16_t Prefix;
        std::uint16_t Length;
        std::uint8_t Suffix;
        std::uint8_t First;
    };
    std::array<TEntry, MaxCodes> table_{};
    // The string of the last code, and how much of it is handed out.
    std::array<std::uint8_t, MaxCodes> string_{};
    std::size_t stringLength_ = 0;
    std::size_t stringPosition_ = 0;
};

} // namespace lumeno
