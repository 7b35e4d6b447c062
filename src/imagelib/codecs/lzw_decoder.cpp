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

namespace {

// The bit reader's state as locals of the decoding loop, which the
// compiler keeps in registers; written back when the loop ends.
struct TBitReader {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Position;
    std::uint64_t Bits;
    int Count;

    // The next code of Width bits, or -1 at the end of the data.
    int Next(int Width)
    {
        if (Count < Width && Size - Position >= 8) {
            // Eight bytes at once; bits already held are or-ed in again unchanged.
            std::uint64_t word;
            std::memcpy(&word, Data + Position, 8);
            if constexpr (std::endian::native == std::endian::big)
                word = __builtin_bswap64(word);
            Bits |= word << Count;
            Position += static_cast<std::size_t>((63 - Count) >> 3);
            Count |= 56;
        }
        while (Count < Width) {
            if (Position == Size)
                return -1;
            Bits |= static_cast<std::uint64_t>(Data[Position++]) << Count;
            Count += 8;
        }
        const int code = static_cast<int>(Bits & ((1u << Width) - 1));
        Bits >>= Width;
        Count -= Width;
        return code;
    }
};

} // namespace

std::size_t TLZWDecoder::Decode(std::uint8_t* Frame, std::size_t FrameSize, std::size_t Until)
{
    Until = std::min(Until, FrameSize);
    TBitReader in{data_, size_, position_, bits_, bitCount_};
    std::size_t written = written_;
    TString previous = previous_;
    int next = next_, width = width_;
    while (written < Until && !finished_) {
        const int code = in.Next(width);
        if (code < 0 || code == end_) {
            finished_ = true;
            break;
        }
        if (code == clear_) {
            next = clear_ + 2;
            width = minCodeSize_ + 1;
            previous = {};
            continue;
        }
        // The string of the code: a root, an entry, or (the code about to
        // be made) the previous string and its own first index.
        const std::size_t room = FrameSize - written;
        std::uint8_t* out = Frame + written;
        TString current{written, 1};
        if (code < clear_) {
            *out = static_cast<std::uint8_t>(code);
        } else if (previous.Length > 0 && code < next) {
            const TString& s = table_[static_cast<std::size_t>(code)];
            current.Length = s.Length;
            std::memcpy(out, Frame + s.Offset, std::min(s.Length, room));
        } else if (previous.Length > 0 && code == next && next < MaxCodes) {
            current.Length = previous.Length + 1;
            std::memcpy(out, Frame + previous.Offset, std::min(previous.Length, room));
            if (previous.Length < room)
                out[previous.Length] = Frame[previous.Offset];
        } else {
            finished_ = true;
            break;
        }
        if (previous.Length > 0 && next < MaxCodes) {
            table_[static_cast<std::size_t>(next)] = {previous.Offset, previous.Length + 1};
            if (++next == 1 << width && width < MaxCodeWidth)
                ++width;
        }
        if (current.Length >= room) {
            // The frame is full; what did not fit is dropped.
            written = FrameSize;
            finished_ = true;
            break;
        }
        written += current.Length;
        previous = current;
    }
    position_ = in.Position;
    bits_ = in.Bits;
    bitCount_ = in.Count;
    written_ = written;
    previous_ = previous;
    next_ = next;
    width_ = width;
    return written_;
}

} // namespace lumeno
