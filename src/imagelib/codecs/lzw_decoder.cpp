#include "imagelib/codecs/lzw_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lumeno {

namespace {
constexpr int MaxCodeWidth = 12;
}

TLZWDecoder::TLZWDecoder(const std::uint8_t* Data, std::size_t Size, int MinCodeSize)
    : data_(Data), size_(Size), minCodeSize_(MinCodeSize), clear_(1 << MinCodeSize), end_(clear_ + 1)
{
    Reset();
}

void TLZWDecoder::Reset()
{
    next_ = clear_ + 2;
    width_ = minCodeSize_ + 1;
    previous_ = {};
}

int TLZWDecoder::NextCode()
{
    if (bitCount_ < width_ && size_ - position_ >= 8) {
        // Eight bytes at once; bits already held are or-ed in again unchanged.
        std::uint64_t word;
        std::memcpy(&word, data_ + position_, 8);
        if constexpr (std::endian::native == std::endian::big)
            word = __builtin_bswap64(word);
        bits_ |= word << bitCount_;
        position_ += static_cast<std::size_t>((63 - bitCount_) >> 3);
        bitCount_ |= 56;
    }
    while (bitCount_ < width_) {
        if (position_ == size_)
            return -1;
        bits_ |= static_cast<std::uint64_t>(data_[position_++]) << bitCount_;
        bitCount_ += 8;
    }
    const int code = static_cast<int>(bits_ & ((1u << width_) - 1));
    bits_ >>= width_;
    bitCount_ -= width_;
    return code;
}

std::size_t TLZWDecoder::Decode(std::uint8_t* Frame, std::size_t FrameSize, std::size_t Until)
{
    Until = std::min(Until, FrameSize);
    while (written_ < Until && !finished_) {
        const int code = NextCode();
        if (code < 0 || code == end_) {
            finished_ = true;
            break;
        }
        if (code == clear_) {
            Reset();
            continue;
        }
        // The string of the code: a root, an entry, or (the code about to
        // be made) the previous string and its own first index.
        const std::size_t room = FrameSize - written_;
        std::uint8_t* out = Frame + written_;
        TString current{written_, 1};
        if (code < clear_) {
            *out = static_cast<std::uint8_t>(code);
        } else if (previous_.Length > 0 && code < next_) {
            const TString& s = table_[static_cast<std::size_t>(code)];
            current.Length = s.Length;
            std::memcpy(out, Frame + s.Offset, std::min(s.Length, room));
        } else if (previous_.Length > 0 && code == next_ && next_ < MaxCodes) {
            current.Length = previous_.Length + 1;
            std::memcpy(out, Frame + previous_.Offset, std::min(previous_.Length, room));
            if (previous_.Length < room)
                out[previous_.Length] = Frame[previous_.Offset];
        } else {
            finished_ = true;
            break;
        }
        if (previous_.Length > 0 && next_ < MaxCodes) {
            table_[static_cast<std::size_t>(next_)] = {previous_.Offset, previous_.Length + 1};
            if (++next_ == 1 << width_ && width_ < MaxCodeWidth)
                ++width_;
        }
        if (current.Length >= room) {
            // The frame is full; what did not fit is dropped.
            written_ = FrameSize;
            finished_ = true;
            break;
        }
        written_ += current.Length;
        previous_ = current;
    }
    return written_;
}

} // namespace lumeno
