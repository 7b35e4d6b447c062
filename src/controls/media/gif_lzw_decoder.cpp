#include "controls/media/gif_lzw_decoder.h"

#include <array>

namespace lumeno {

namespace {

constexpr int kMaxCodes = 4096;
constexpr std::size_t kProgressStep = 1 << 16;

class TCodeReader {
public:
    TCodeReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // -1 at the end of the data.
    int Next(int width)
    {
        while (bitCount_ < width) {
            if (pos_ >= size_)
                return -1;
            bits_ |= static_cast<std::uint32_t>(data_[pos_++]) << bitCount_;
            bitCount_ += 8;
        }
        const int code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        bitCount_ -= width;
        return code;
    }
    std::size_t Consumed() const { return pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
};

struct TStringTable {
    std::array<std::uint16_t, kMaxCodes> prefix{};
    std::array<std::uint8_t, kMaxCodes> suffix{};
    std::array<std::uint8_t, kMaxCodes> first{};
    std::array<std::uint8_t, kMaxCodes + 1> stack{};
};

} // namespace

std::size_t DecodeGIFLZW(const std::uint8_t* data, std::size_t size, int minCodeSize, std::uint8_t* out,
                         std::size_t outSize, const TLZWProgress& progress)
{
    TStringTable table;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i) {
        table.suffix[i] = static_cast<std::uint8_t>(i);
        table.first[i] = static_cast<std::uint8_t>(i);
    }
    int width = minCodeSize + 1;
    int next = clear + 2;
    int prev = -1;
    std::size_t written = 0;
    std::size_t nextReport = kProgressStep;
    TCodeReader reader(data, size);

    while (written < outSize) {
        if (progress && written >= nextReport) {
            progress(reader.Consumed());
            nextReport = written + kProgressStep;
        }
        const int code = reader.Next(width);
        if (code < 0 || code == end)
            break;
        if (code == clear) {
            width = minCodeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (prev < 0) {
            if (code >= clear)
                break;
            out[written++] = static_cast<std::uint8_t>(code);
            prev = code;
            continue;
        }
        if (code > next || (code == next && next >= kMaxCodes))
            break;
        // Unwind the string onto the stack, last character first.
        int depth = 0;
        int walk = code;
        if (code == next) {
            table.stack[depth++] = table.first[prev];
            walk = prev;
        }
        while (walk >= clear) {
            table.stack[depth++] = table.suffix[walk];
            walk = table.prefix[walk];
        }
        table.stack[depth++] = static_cast<std::uint8_t>(walk);
        while (depth > 0 && written < outSize)
            out[written++] = table.stack[--depth];

        if (next < kMaxCodes) {
            table.prefix[next] = static_cast<std::uint16_t>(prev);
            table.first[next] = table.first[prev];
            table.suffix[next] = table.first[code == next ? prev : code];
            ++next;
            if (next == (1 << width) && width < 12)
                ++width;
        }
        prev = code;
    }
    return written;
}

} // namespace lumeno
