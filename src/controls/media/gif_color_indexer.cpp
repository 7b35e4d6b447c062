#include "controls/media/gif_color_indexer.h"

#include "controls/media/gif_frame.h"

#include "imagelib/pixel_graphic.h"

namespace lumeno {

namespace {

std::vector<int> RowOrder(int height, bool interlaced)
{
    if (interlaced)
        return InterlacedRows(height);
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows.push_back(y);
    return rows;
}

// One row as 0xRRGGBB values, whatever the pixel format.
void ReadRow(TPixelGraphic& bitmap, int y, std::vector<std::uint32_t>& out)
{
    const std::uint8_t* row = bitmap.GetScanLine(y);
    const std::uint32_t* table = bitmap.GetColorTable();
    const int width = bitmap.GetWidth();
    switch (bitmap.GetPixelFormat()) {
    case pf24Bit:
        for (int x = 0; x < width; ++x, row += 3)
            out[static_cast<std::size_t>(x)] =
                std::uint32_t{row[2]} << 16 | std::uint32_t{row[1]} << 8 | row[0];
        break;
    case pf8Bit:
        for (int x = 0; x < width; ++x)
            out[static_cast<std::size_t>(x)] = table[row[x]] & 0xFFFFFF;
        break;
    case pf4Bit:
        for (int x = 0; x < width; ++x)
            out[static_cast<std::size_t>(x)] =
                table[(x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4] & 0xFFFFFF;
        break;
    default:
        for (int x = 0; x < width; ++x)
            out[static_cast<std::size_t>(x)] = table[(row[x >> 3] >> (7 - (x & 7))) & 1] & 0xFFFFFF;
        break;
    }
}

std::uint32_t ToRRGGBB(TColor colour)
{
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

} // namespace

int GIFBitsForColors(int n)
{
    int bits = 1;
    while ((1 << bits) < n && bits < 8)
        ++bits;
    return bits;
}

bool TGIFColorIndexer::Index(TPixelGraphic& bitmap, bool interlaced, std::vector<std::uint8_t>& indices)
{
    const int width = bitmap.GetWidth();
    std::vector<std::uint32_t> rgb(static_cast<std::size_t>(width));
    const std::size_t start = indices.size();
    indices.resize(start + static_cast<std::size_t>(width) * static_cast<std::size_t>(bitmap.GetHeight()));
    std::uint8_t* out = indices.data() + start;
    for (int y : RowOrder(bitmap.GetHeight(), interlaced)) {
        ReadRow(bitmap, y, rgb);
        if (!IndexRow(rgb.data(), width, out))
            return false;
        out += width;
    }
    return true;
}

bool TGIFColorIndexer::IndexRow(const std::uint32_t* rgb, int width, std::uint8_t* out)
{
    std::uint32_t last = 0xFFFFFFFF;
    std::uint8_t lastIndex = 0;
    for (int x = 0; x < width; ++x) {
        if (rgb[x] != last) {
            auto found = lookup_.find(rgb[x]);
            if (found == lookup_.end()) {
                if (table_.size() == 256)
                    return false;
                found = lookup_.emplace(rgb[x], static_cast<std::uint8_t>(table_.size())).first;
                table_.push_back(rgb[x]);
            }
            last = rgb[x];
            lastIndex = found->second;
        }
        out[x] = lastIndex;
    }
    return true;
}

int TGIFColorIndexer::Find(TColor colour) const
{
    const auto found = lookup_.find(ToRRGGBB(colour));
    return found == lookup_.end() ? -1 : found->second;
}

} // namespace lumeno
