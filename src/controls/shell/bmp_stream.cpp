#include "controls/shell/bmp_stream.h"

#include "platform/stream.h"

#include <algorithm>

namespace lumeno {

namespace {

void Put16(std::uint8_t* at, unsigned value)
{
    at[0] = std::uint8_t(value);
    at[1] = std::uint8_t(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value)
{
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

} // namespace

std::size_t BmpRowBytes(int width, int bitCount)
{
    return (std::size_t(width) * std::size_t(bitCount) + 31) / 32 * 4;
}

std::vector<std::uint8_t> ReadStreamRest(TStream& stream)
{
    std::vector<std::uint8_t> data(std::size_t(std::max<std::int64_t>(stream.Remaining(), 0)));
    if (!data.empty())
        stream.ReadBuffer(data.data(), std::int64_t(data.size()));
    return data;
}

bool BmpSizeAllowed(int width, int height, int bitCount)
{
    constexpr std::size_t limit = std::size_t{1} << 28;
    return width > 0 && height > 0 && width <= 65535 && height <= 65535 &&
           BmpRowBytes(width, bitCount) * std::size_t(height) <= limit;
}

TBmpStream::TBmpStream(int width, int height, int bitCount, const std::vector<std::uint32_t>& palette,
                       int pixelsPerMetre)
    : height_(height), rowBytes_(BmpRowBytes(width, bitCount))
{
    pixelOffset_ = 14 + 40 + palette.size() * 4;
    const std::size_t size = pixelOffset_ + rowBytes_ * std::size_t(height);
    bytes_.assign(size, 0);
    std::uint8_t* b = bytes_.data();
    b[0] = 'B';
    b[1] = 'M';
    Put32(b + 2, std::uint32_t(size));
    Put32(b + 10, std::uint32_t(pixelOffset_));
    std::uint8_t* info = b + 14;
    Put32(info, 40);
    Put32(info + 4, std::uint32_t(width));
    Put32(info + 8, std::uint32_t(height));
    Put16(info + 12, 1);
    Put16(info + 14, unsigned(bitCount));
    Put32(info + 20, std::uint32_t(rowBytes_ * std::size_t(height)));
    Put32(info + 24, std::uint32_t(pixelsPerMetre));
    Put32(info + 28, std::uint32_t(pixelsPerMetre));
    Put32(info + 32, std::uint32_t(palette.size()));
    std::uint8_t* quad = info + 40;
    for (const std::uint32_t colour : palette) {
        quad[0] = std::uint8_t(colour);
        quad[1] = std::uint8_t(colour >> 8);
        quad[2] = std::uint8_t(colour >> 16);
        quad += 4;
    }
}

std::uint8_t* TBmpStream::Row(int y)
{
    return bytes_.data() + pixelOffset_ + rowBytes_ * std::size_t(height_ - 1 - y);
}

QImage TBmpStream::Image() const
{
    return QImage::fromData(bytes_.data(), int(bytes_.size()), "BMP");
}

} // namespace lumeno
