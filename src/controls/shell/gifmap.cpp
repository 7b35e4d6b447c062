#include "controls/shell/gifmap.h"

#include "controls/shell/bmp_stream.h"
#include "controls/shell/map_exceptions.h"
#include "imagelib/codecs/lzw_decoder.h"

#include <cstring>
#include <vector>

namespace lumeno {

namespace {

class TGifBytes {
public:
    explicit TGifBytes(const std::vector<std::uint8_t>& data) : data_(data) {}

    bool AtEnd() const { return position_ >= data_.size(); }
    // A file that ends before its picture has no picture data.
    std::uint8_t Byte()
    {
        if (AtEnd())
            throw EGifException(5);
        return data_[position_++];
    }
    int Word()
    {
        const int low = Byte();
        return low | Byte() << 8;
    }
    const std::uint8_t* Take(std::size_t count)
    {
        if (data_.size() - position_ < count)
            throw EGifException(5);
        position_ += count;
        return data_.data() + position_ - count;
    }
    // Sub-blocks up to their terminator, joined; a cut-off chain keeps what
    // it holds.
    std::vector<std::uint8_t> SubBlocks()
    {
        std::vector<std::uint8_t> joined;
        while (!AtEnd()) {
            const std::size_t size = Byte();
            if (size == 0)
                break;
            const std::size_t count = std::min(size, data_.size() - position_);
            joined.insert(joined.end(), data_.begin() + std::ptrdiff_t(position_),
                          data_.begin() + std::ptrdiff_t(position_ + count));
            position_ += count;
        }
        return joined;
    }

private:
    const std::vector<std::uint8_t>& data_;
    std::size_t position_ = 0;
};

std::vector<std::uint32_t> ColorTable(TGifBytes& in, int flags)
{
    const std::size_t count = std::size_t{2} << (flags & 7);
    const std::uint8_t* rgb = in.Take(3 * count);
    std::vector<std::uint32_t> table(256, 0);
    for (std::size_t i = 0; i < count; ++i, rgb += 3)
        table[i] = std::uint32_t(rgb[0]) << 16 | rgb[1] << 8 | rgb[2];
    return table;
}

// Row i of an interlaced picture is stored as row InterlacedRow(i).
std::vector<int> InterlacedOrder(int height)
{
    std::vector<int> order;
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < height; y += step)
            order.push_back(y);
    return order;
}

} // namespace

void TGifmap::LoadFromStream(TStream& stream)
{
    const std::vector<std::uint8_t> data = ReadStreamRest(stream);
    TGifBytes in(data);
    if (data.size() < 6 || std::memcmp(data.data(), "GIF", 3) != 0)
        throw EGifException(2);
    in.Take(6 + 4);
    const int screenFlags = in.Byte();
    in.Take(2);
    if (!(screenFlags & 0x80))
        throw EGifException(3);
    std::vector<std::uint32_t> table = ColorTable(in, screenFlags);

    for (std::uint8_t b = in.Byte(); b != ','; b = in.Byte())
        if (b == '!') {
            in.Byte();
            in.SubBlocks();
        }
    in.Take(4);
    const int width = in.Word(), height = in.Word(), flags = in.Byte();
    if (flags & 0x80)
        table = ColorTable(in, flags);
    if (!BmpSizeAllowed(width, height, 8))
        throw EGifException(9);
    const int minCodeSize = in.Byte();
    if (minCodeSize < 1 || minCodeSize > 11)
        throw EGifException(7);
    const std::vector<std::uint8_t> codes = in.SubBlocks();
    if (codes.empty())
        throw EGifException(5);
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    // No code stands for more than a whole table's string.
    if (pixels / TLZWDecoder::MaxCodes > codes.size() * 8 / std::size_t(minCodeSize + 1))
        throw EGifException(8);
    std::vector<std::uint8_t> indices(pixels);
    if (TLZWDecoder(codes.data(), codes.size(), minCodeSize).Decode(indices.data(), pixels, pixels) < pixels)
        throw EGifException(8);

    TBmpStream bmp(width, height, 8, table);
    const std::vector<int> order = (flags & 0x40) ? InterlacedOrder(height) : std::vector<int>();
    for (int i = 0; i < height; ++i)
        std::memcpy(bmp.Row(order.empty() ? i : order[std::size_t(i)]),
                    indices.data() + std::size_t(i) * std::size_t(width), std::size_t(width));
    QImage::operator=(bmp.Image());
}

} // namespace lumeno
