#include "controls/shell/cdr_map.h"

#include "controls/shell/bmp_stream.h"
#include "platform/stream.h"

#include <cstring>
#include <vector>

namespace lumeno {

namespace {

constexpr std::int64_t kPreviewOffset = 20;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoSize = 40;
constexpr std::size_t kMaxPreviewBytes = 20004;

std::int32_t Int32(const std::uint8_t* at)
{
    return std::int32_t(std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
                        std::uint32_t(at[3]) << 24);
}

void Put32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = std::uint8_t(value >> (8 * i));
}

} // namespace

void TCdrMap::LoadFromStream(TStream& stream)
{
    QImage::operator=(QImage());
    if (stream.GetSize() < kPreviewOffset + std::int64_t(kFileHeaderSize + kInfoSize))
        return;
    stream.SetPosition(kPreviewOffset);
    std::vector<std::uint8_t> bmp(kFileHeaderSize + kInfoSize);
    stream.ReadBuffer(bmp.data(), std::int64_t(bmp.size()));
    const std::uint8_t* info = bmp.data() + kFileHeaderSize;
    const std::int32_t width = Int32(info + 4), height = Int32(info + 8);
    const int bitCount = info[14] | info[15] << 8;
    if (Int32(info) != std::int32_t(kInfoSize) || width <= 0 || height <= 0 ||
        !(bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32) ||
        !BmpSizeAllowed(width, height, bitCount))
        return;
    // The stored rows are padded to 4 bytes, as every DIB's are.
    const std::size_t palette = bitCount <= 8 ? (std::size_t{1} << bitCount) * 4 : 0;
    const std::size_t pixels = BmpRowBytes(width, bitCount) * std::size_t(height);
    if (palette + pixels > kMaxPreviewBytes || stream.Remaining() < std::int64_t(palette + pixels))
        return;
    bmp.resize(bmp.size() + palette + pixels);
    stream.ReadBuffer(bmp.data() + kFileHeaderSize + kInfoSize, std::int64_t(palette + pixels));
    bmp[0] = 'B';
    bmp[1] = 'M';
    Put32(bmp.data() + 2, std::uint32_t(bmp.size()));
    Put32(bmp.data() + 6, 0);
    Put32(bmp.data() + 10, std::uint32_t(kFileHeaderSize + kInfoSize + palette));
    QImage::operator=(QImage::fromData(bmp.data(), int(bmp.size()), "BMP"));
}

} // namespace lumeno
