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
    for (int i = 0; i < clear_; ++i) {
        const auto b = static_cast<std::uint8_t>(i);
        table_[static_cast<std::size_t>(i)] = {0, 1, b, b};
    }
    Reset();
}

void TLZWDecoder::Reset()
{
    next_ = clear_ + 2;
    width_ = minCodeSize_ + 1;
    previous_ = -1;
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

void TLZWDecoder::Add(int prefix, std::uint8_t suffix)
{
    // A full table stays as it is until the next clear code.
    if (next_ == MaxCodes)
        return;
    const TEntry& p = table_[static_cast<std::size_t>(prefix)];
    table_[static_cast<std::size_t>(next_)] = {static_cast<std::uint16_t>(prefix),
                                               static_cast<std::uint16_t>(p.Length + 1), suffix, p.First};
    ++next_;
    if (next_ == 1 << width_ && width_ < MaxCodeWidth)
        ++width_;
}

void TLZWDecoder::Expand(int code, std::uint8_t* dest) const
{
    for (std::size_t i = table_[static_cast<std::size_t>(code)].Length; i-- > 0;) {
        const TEntry& e = table_[static_cast<std::size_t>(code)];
        dest[i] = e.Suffix;
        code = e.Prefix;
    }
}

int TLZWDecoder::NextString()
{
    for (;;) {
        const int code = NextCode();
        if (code < 0 || code == end_)
            return -1;
        if (code == clear_) {
            Reset();
            continue;
        }
        if (previous_ < 0) {
            if (code > clear_)
                return -1;
        } else if (code < next_) {
            Add(previous_, table_[static_cast<std::size_t>(code)].First);
        } else if (code == next_ && next_ < MaxCodes) {
            Add(previous_, table_[static_cast<std::size_t>(previous_)].First);
        } else {
            return -1;
        }
        previous_ = code;
        return code;
    }
}

std::size_t TLZWDecoder::Read(std::uint8_t* Dest, std::size_t Count)
{
    std::size_t written = 0;
    while (written < Count) {
        if (stringPosition_ < stringLength_) {
            const std::size_t n = std::min(Count - written, stringLength_ - stringPosition_);
            std::memcpy(Dest + written, string_.data() + stringPosition_, n);
            stringPosition_ += n;
            written += n;
            continue;
        }
        const int code = finished_ ? -1 : NextString();
        if (code < 0) {
            finished_ = true;
            break;
        }
        // Most strings fit where they go; the rest wait in string_.
        const std::size_t length = table_[static_cast<std::size_t>(code)].Length;
        if (length <= Count - written) {
            Expand(code, Dest + written);
            written += length;
        } else {
            Expand(code, string_.data());
            stringLength_ = length;
            stringPosition_ = 0;
        }
    }
    return written;
}

} // namespace lumeno
