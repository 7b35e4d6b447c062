#include "controls/media/gif_lzw_encoder.h"

#include "platform/stream.h"

#include <array>
#include <vector>

namespace lumeno {

namespace {

constexpr int kHashSize = 5119;
constexpr int kMaxBits = 12;
constexpr int kMaxCodes = 1 << kMaxBits;

// Packs codes least significant bit first into sub-blocks.
class TCodeWriter {
public:
    TCodeWriter(TStream& stream, int initBits) : stream_(stream), initBits_(initBits) { Reset(); }

    void Reset()
    {
        bits_ = initBits_;
        maxCode_ = (1 << bits_) - 1;
    }
    // freeCode is the next code the table would hand out.
    void Put(int code, int freeCode, bool cleared)
    {
        pending_ |= static_cast<std::uint32_t>(code) << pendingBits_;
        pendingBits_ += bits_;
        while (pendingBits_ >= 8) {
            Byte(static_cast<std::uint8_t>(pending_));
            pending_ >>= 8;
            pendingBits_ -= 8;
        }
        if (cleared) {
            Reset();
        } else if (freeCode > maxCode_) {
            ++bits_;
            maxCode_ = bits_ == kMaxBits ? kMaxCodes : (1 << bits_) - 1;
        }
    }
    void Finish()
    {
        if (pendingBits_ > 0)
            Byte(static_cast<std::uint8_t>(pending_));
        FlushBlock();
        const std::uint8_t end = 0;
        stream_.WriteBuffer(&end, 1);
    }

private:
    void Byte(std::uint8_t value)
    {
        block_[blockSize_++] = value;
        if (blockSize_ == 255)
            FlushBlock();
    }
    void FlushBlock()
    {
        if (blockSize_ == 0)
            return;
        const std::uint8_t length = static_cast<std::uint8_t>(blockSize_);
        stream_.WriteBuffer(&length, 1);
        stream_.WriteBuffer(block_.data(), blockSize_);
        blockSize_ = 0;
    }

    TStream& stream_;
    const int initBits_;
    int bits_ = 0;
    int maxCode_ = 0;
    std::uint32_t pending_ = 0;
    int pendingBits_ = 0;
    std::array<std::uint8_t, 255> block_{};
    int blockSize_ = 0;
};

} // namespace

void EncodeGIFLZW(const std::uint8_t* pixels, std::size_t count, int minCodeSize, TStream& stream)
{
    const std::uint8_t codeSize = static_cast<std::uint8_t>(minCodeSize);
    stream.WriteBuffer(&codeSize, 1);
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    int freeCode = clearCode + 2;
    std::vector<std::int32_t> keys(kHashSize, -1);
    std::vector<std::uint16_t> codes(kHashSize, 0);
    TCodeWriter writer(stream, minCodeSize + 1);

    writer.Put(clearCode, freeCode, true);
    int prefix = count > 0 ? pixels[0] : 0;
    for (std::size_t i = 1; i < count; ++i) {
        const int pixel = pixels[i];
        const std::int32_t key = (pixel << 12) + prefix;
        int probe = (pixel << 4) ^ prefix;
        bool found = false;
        if (keys[probe] >= 0) {
            const int step = probe == 0 ? 1 : kHashSize - probe;
            while (keys[probe] >= 0 && keys[probe] != key) {
                probe -= step;
                if (probe < 0)
                    probe += kHashSize;
            }
            found = keys[probe] == key;
        }
        if (found) {
            prefix = codes[probe];
            continue;
        }
        writer.Put(prefix, freeCode, false);
        prefix = pixel;
        if (freeCode < kMaxCodes) {
            codes[probe] = static_cast<std::uint16_t>(freeCode++);
            keys[probe] = key;
        } else {
            std::fill(keys.begin(), keys.end(), -1);
            freeCode = clearCode + 2;
            writer.Put(clearCode, freeCode, true);
        }
    }
    writer.Put(prefix, freeCode, false);
    writer.Put(endCode, freeCode, false);
    writer.Finish();
}

} // namespace lumeno
