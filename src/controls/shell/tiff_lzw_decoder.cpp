#include "controls/shell/tiff_lzw_decoder.h"

#include <algorithm>
#include <array>

namespace lumeno {

namespace {

constexpr int kClear = 256;
constexpr int kEnd = 257;
constexpr int kFirstFree = 258;
constexpr int kMaxCodes = 4096;

class TTiffLzw {
public:
    TTiffLzw(const std::uint8_t* data, std::size_t size) : data_(data), size_(size)
    {
        for (int i = 0; i < 256; ++i)
            table_[std::size_t(i)] = {0, 1, std::uint8_t(i), std::uint8_t(i)};
    }

    TTiffLzwDecoded Run(std::uint8_t* out, std::size_t outSize)
    {
        std::size_t written = 0;
        int previous = -1;
        while (written < outSize) {
            const int code = NextCode();
            if (code < 0)
                return {TTiffLzwResult::ShortData, written};
            if (code == kEnd)
                return {TTiffLzwResult::Done, written};
            if (code == kClear) {
                next_ = kFirstFree;
                width_ = 9;
                previous = -1;
                continue;
            }
            if (code > next_ || (previous < 0 && code >= 256) || (code == next_ && previous < 0))
                return {TTiffLzwResult::BadCode, written};
            if (previous >= 0 && next_ < kMaxCodes) {
                // The new string is the previous one and the first byte of
                // this one (of the previous one when this code is new).
                const std::uint8_t first = table_[std::size_t(code == next_ ? previous : code)].First;
                const TEntry& p = table_[std::size_t(previous)];
                table_[std::size_t(next_)] = {std::uint16_t(previous), std::uint16_t(p.Length + 1), first,
                                              p.First};
                ++next_;
                if (next_ + 1 >= (1 << width_) && width_ < 12)
                    ++width_;
            }
            written += Expand(code, out + written, outSize - written);
            previous = code;
        }
        return {TTiffLzwResult::Done, written};
    }

private:
    struct TEntry {
        std::uint16_t Prefix;
        std::uint16_t Length;
        std::uint8_t Suffix;
        std::uint8_t First;
    };

    int NextCode()
    {
        while (bitCount_ < width_) {
            if (position_ >= size_)
                return -1;
            bits_ = bits_ << 8 | data_[position_++];
            bitCount_ += 8;
        }
        bitCount_ -= width_;
        return int(bits_ >> bitCount_ & ((1u << width_) - 1));
    }

    // Writes the code's string, cut to room; returns the bytes written.
    std::size_t Expand(int code, std::uint8_t* out, std::size_t room) const
    {
        const std::size_t length = table_[std::size_t(code)].Length;
        for (std::size_t i = length; i-- > 0;) {
            if (i < room)
                out[i] = table_[std::size_t(code)].Suffix;
            code = table_[std::size_t(code)].Prefix;
        }
        return std::min(length, room);
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
    int width_ = 9;
    int next_ = kFirstFree;
    std::array<TEntry, kMaxCodes> table_{};
};

} // namespace

TTiffLzwDecoded DecodeTiffLzw(const std::uint8_t* data, std::size_t size, std::uint8_t* out,
                              std::size_t outSize)
{
    return TTiffLzw(data, size).Run(out, outSize);
}

} // namespace lumeno
