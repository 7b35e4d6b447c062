#pragma once
// Decoder of the variable-width LZW code stream of GIF image data, shared by
// the library's GIF reader and the animated-GIF control.

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

    // Decodes into Frame, which holds FrameSize pixel indices and must be
    // the same buffer on every call, until at least Until indices are
    // written, the frame is full or the stream ends (at its end, an end
    // code or a code that is not in the table yet). Returns how many
    // indices of the frame are written; the rest is left as it was.
    std::size_t Decode(std::uint8_t* Frame, std::size_t FrameSize, std::size_t Until);
    // Input bytes read so far (a few ahead of the codes used).
    std::size_t Consumed() const { return position_; }

private:
    void Reset();

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
    bool finished_ = false;
    std::size_t written_ = 0;

    // Every string lies in the output already: a code's string is where it
    // was last written, and a new entry is the previous string together
    // with the first index after it.
    struct TString {
        std::size_t Offset = 0;
        std::size_t Length = 0; // 0: no string (after a clear code)
    };
    std::array<TString, MaxCodes> table_{};
    TString previous_;
};

} // namespace lumeno
