#include "controls/shell/pcxmap.h"

#include "controls/shell/bmp_stream.h"
#include "controls/shell/map_exceptions.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumeno {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kMaxRowBytes = 3072;
constexpr int kPixelsPerMetre = 143;

int Word(const std::uint8_t* at)
{
    return at[0] | at[1] << 8;
}

// How the layers of a row become one BMP row.
enum class TLayout { Copy, Widen2, Merge4, Interleave24 };

struct TPcxHeader {
    int Version, BitsPerPixel, Planes, BytesPerLine, Width, Height;
    const std::uint8_t* Palette16;
};

class TPcxDecoder {
public:
    TPcxDecoder(const std::vector<std::uint8_t>& data, const TPcxHeader& h)
        : data_(data), h_(h), rowBytes_(std::size_t(h.BytesPerLine) * std::size_t(h.Planes))
    {
    }

    QImage Decode()
    {
        const auto [layout, bitCount] = Layout();
        const std::vector<std::uint32_t> palette = Palette(bitCount);
        // Every row takes at least one run of two bytes per 63 decoded ones.
        const std::size_t leastPerRow = (rowBytes_ + 62) / 63 * 2;
        if (!BmpSizeAllowed(h_.Width, h_.Height, bitCount) ||
            std::size_t(h_.Height) * leastPerRow > data_.size())
            throw EPcxException(4);
        TBmpStream bmp(h_.Width, h_.Height, bitCount, palette, kPixelsPerMetre);
        std::vector<std::uint8_t> row(rowBytes_);
        for (int y = 0; y < h_.Height; ++y) {
            DecodeRow(row.data());
            ConvertRow(layout, row.data(), bmp.Row(y));
        }
        return bmp.Image();
    }

private:
    std::pair<TLayout, int> Layout() const
    {
        const int bits = h_.BitsPerPixel, planes = h_.Planes;
        if (planes == 1 && (bits == 1 || bits == 4 || bits == 8))
            return {TLayout::Copy, bits};
        if (planes == 1 && bits == 2)
            return {TLayout::Widen2, 4}; // a BMP has no 2-bit form
        if (planes == 4 && bits == 1)
            return {TLayout::Merge4, 4};
        if (planes == 3 && bits == 8)
            return {TLayout::Interleave24, 24};
        throw EPcxException(4);
    }

    std::vector<std::uint32_t> Palette(int bitCount) const
    {
        if (bitCount == 24)
            return {};
        if (h_.BitsPerPixel == 1 && h_.Planes == 1)
            return {0x000000, 0xFFFFFF};
        std::vector<std::uint32_t> palette;
        if (bitCount == 4) {
            for (int i = 0; i < 16; ++i) {
                const std::uint8_t* rgb = h_.Palette16 + 3 * i;
                palette.push_back(std::uint32_t(rgb[0]) << 16 | rgb[1] << 8 | rgb[2]);
            }
            return palette;
        }
        if (h_.Version < 5) {
            for (std::uint32_t i = 0; i < 256; ++i)
                palette.push_back(i * 0x010101u);
            return palette;
        }
        // The 256 colours follow a 12 at the end of the file.
        if (data_.size() < kHeaderSize + 769 || data_[data_.size() - 769] != 12)
            throw EPcxException(4);
        const std::uint8_t* rgb = data_.data() + data_.size() - 768;
        for (int i = 0; i < 256; ++i, rgb += 3)
            palette.push_back(std::uint32_t(rgb[0]) << 16 | rgb[1] << 8 | rgb[2]);
        return palette;
    }

    // Runs longer than what is left of the row are cut at its end.
    void DecodeRow(std::uint8_t* row)
    {
        std::size_t x = 0;
        while (x < rowBytes_) {
            const std::uint8_t b = Next();
            if (b >= 192) {
                const std::size_t count = std::min<std::size_t>(b & 63, rowBytes_ - x);
                std::memset(row + x, Next(), count);
                x += count;
            } else {
                row[x++] = b;
            }
        }
    }

    std::uint8_t Next()
    {
        if (position_ >= data_.size())
            throw EPcxException(4);
        return data_[position_++];
    }

    void ConvertRow(TLayout layout, const std::uint8_t* row, std::uint8_t* out) const
    {
        const int w = h_.Width;
        const std::size_t line = std::size_t(h_.BytesPerLine);
        switch (layout) {
        case TLayout::Copy:
            std::memcpy(out, row, (std::size_t(w) * std::size_t(h_.BitsPerPixel) + 7) / 8);
            break;
        case TLayout::Widen2:
            for (int x = 0; x < w; ++x) {
                const int value = row[x / 4] >> (6 - 2 * (x % 4)) & 3;
                out[x / 2] |= std::uint8_t(x % 2 ? value : value << 4);
            }
            break;
        case TLayout::Merge4:
            for (int x = 0; x < w; ++x) {
                const int mask = 0x80 >> (x % 8);
                int value = 0;
                for (int plane = 0; plane < 4; ++plane)
                    if (row[std::size_t(plane) * line + std::size_t(x / 8)] & mask)
                        value |= 1 << plane;
                out[x / 2] |= std::uint8_t(x % 2 ? value : value << 4);
            }
            break;
        case TLayout::Interleave24:
            for (int x = 0; x < w; ++x, out += 3) {
                out[0] = row[2 * line + std::size_t(x)];
                out[1] = row[line + std::size_t(x)];
                out[2] = row[std::size_t(x)];
            }
            break;
        }
    }

    const std::vector<std::uint8_t>& data_;
    const TPcxHeader& h_;
    std::size_t rowBytes_;
    std::size_t position_ = kHeaderSize;
};

} // namespace

void TPcxmap::LoadFromStream(TStream& stream)
{
    const std::vector<std::uint8_t> data = ReadStreamRest(stream);
    if (data.size() < kHeaderSize)
        throw EPcxException(4);
    const std::uint8_t* h = data.data();
    if (h[0] != 10)
        throw EPcxException(2);
    const TPcxHeader header{
        h[1],  h[3], h[65], Word(h + 66), Word(h + 8) - Word(h + 4) + 1, Word(h + 10) - Word(h + 6) + 1,
        h + 16};
    if (std::size_t(header.BytesPerLine) * std::size_t(header.Planes) > kMaxRowBytes)
        throw EPcxException(3);
    // A width the bytes per line cannot hold is a lying header.
    if (header.Width <= 0 || header.Height <= 0 || header.BitsPerPixel == 0 ||
        std::int64_t(header.BytesPerLine) * 8 < std::int64_t(header.Width) * header.BitsPerPixel)
        throw EPcxException(4);
    QImage::operator=(TPcxDecoder(data, header).Decode());
}

} // namespace lumeno
