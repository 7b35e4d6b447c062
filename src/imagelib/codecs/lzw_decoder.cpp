#include "imagelib/codecs/lzw_decoder.h"

#include <algorithm>
#include <cstring>

namespace lumeno {

namespace {
constexpr int MaxCodeWidth = 12;
}

TLZWDecoder::TLZWDecoder(const std::uint8_t* Data, std::size_t Size, int MinCodeSize)
    : data_(Data), size_(Size), minCodeSize_(MinCodeSize), clear_(1 << MinCodeSize), end_(clear_ + 1)
{
    for (int i = 0; i < clear_; ++i) {
        suffix_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        first_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        length_[static_cast<std::size_t>(i)] = 1;
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
    const auto n = static_cast<std::size_t>(next_);
    const auto p = static_cast<std::size_t>(prefix);
    prefix_[n] = static_cast<std::uint16_t>(prefix);
    suffix_[n] = suffix;
    first_[n] = first_[p];
    length_[n] = static_cast<std::uint16_t>(length_[p] + 1);
    ++next_;
    if (next_ == 1 << width_ && width_ < MaxCodeWidth)
        ++width_;
}

void TLZWDecoder::Expand(int code)
{
    stringLength_ = length_[static_cast<std::size_t>(code)];
    stringPosition_ = 0;
    for (std::size_t i = stringLength_; i-- > 0;) {
        string_[i] = suffix_[static_cast<std::size_t>(code)];
        code = prefix_[static_cast<std::size_t>(code)];
    }
}

bool TLZWDecoder::NextString()
{
    for (;;) {
        const int code = NextCode();
        if (code < 0 || code == end_)
            return false;
        if (code == clear_) {
            Reset();
            continue;
        }
        if (previous_ < 0) {
            if (code > clear_)
                return false;
        } else if (code < next_) {
            Add(previous_, first_[static_cast<std::size_t>(code)]);
        } else if (code == next_ && next_ < MaxCodes) {
            Add(previous_, first_[static_cast<std::size_t>(previous_)]);
        } else {
            return false;
        }
        Expand(code);
        previous_ = code;
        return true;
    }
}

std::size_t TLZWDecoder::Read(std::uint8_t* Dest, std::size_t Count)
{
    std::size_t written = 0;
    while (written < Count) {
        if (stringPosition_ == stringLength_) {
            if (finished_ || !NextString()) {
                finished_ = true;
                break;
            }
        }
        const std::size_t n = std::min(Count - written, stringLength_ - stringPosition_);
        std::memcpy(Dest + written, string_.data() + stringPosition_, n);
        stringPosition_ += n;
        written += n;
    }
    return written;
}

} // namespace lumeno
