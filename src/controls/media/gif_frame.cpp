#include "controls/media/gif_frame.h"

#include "imagelib/codecs/lzw_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace lumeno {

namespace {

constexpr std::size_t kProgressPixels = 100000;

} // namespace

std::vector<int> InterlacedRows(int height)
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    static constexpr int start[] = {0, 4, 2, 1};
    static constexpr int step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            rows.push_back(y);
    return rows;
}

TGIFFrame::TReadResult TGIFFrame::Read(TGIFReader& reader, const TGIFGraphicControl& control,
                                       const std::array<std::uint8_t, 768>& globalTable,
                                       std::size_t& pixelBudget, const TProgress& progress)
{
    reader.Skip(1); // separator
    Left = reader.Word();
    Top = reader.Word();
    Width = reader.Word();
    Height = reader.Word();
    const std::uint8_t flags = reader.Byte();
    if (Width == 0 || Height == 0)
        return TReadResult::rrFailed;
    if (Width > kGIFMaxSide || Height > kGIFMaxSide)
        throw EGIFImage("GIF frame too large");
    const std::size_t pixels = static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
    if (pixels > pixelBudget)
        throw EGIFImage("GIF image too large");
    pixelBudget -= pixels;

    if (flags & 0x80) {
        ColorBits = (flags & 7) + 1;
        reader.Read(ColorTable.data(), (std::size_t{1} << ColorBits) * 3);
    } else {
        ColorTable = globalTable;
    }
    Interlaced = (flags & 0x40) != 0;
    ApplyControl(control);
    BuildColors();
    const int minCodeSize = reader.Byte();
    // Larger code sizes would overflow the 4096-entry string table.
    if (minCodeSize < 1 || minCodeSize > 11)
        return TReadResult::rrFailed;
    const bool complete = DecodeImage(reader, minCodeSize, progress);
    return complete ? TReadResult::rrOk : TReadResult::rrTruncated;
}

void TGIFFrame::ApplyControl(const TGIFGraphicControl& control)
{
    Disposal = (control.Flags >> 2) & 7;
    if (Disposal > 3)
        Disposal = 2;
    Delay = control.Delay * 10;
    Transparent = (control.Flags & 1) != 0;
    TransparentIndex = control.TransparentIndex;
    const std::uint8_t* rgb = &ColorTable[static_cast<std::size_t>(TransparentIndex) * 3];
    TransparentColor = RGB(rgb[0], rgb[1], rgb[2]);
}

void TGIFFrame::BuildColors()
{
    for (std::size_t i = 0; i < 256; ++i) {
        const std::uint8_t* rgb = &ColorTable[i * 3];
        Colors[i] = 0xFF000000u | std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
    }
    if (Transparent)
        Colors[static_cast<std::size_t>(TransparentIndex)] = 0;
}

// Returns false when the data were cut short; missing pixels stay index 0.
bool TGIFFrame::DecodeImage(TGIFReader& reader, int minCodeSize, const TProgress& progress)
{
    const std::size_t pixels = static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
    const std::size_t dataStart = reader.Position();
    std::vector<std::uint8_t> data;
    const bool complete = reader.ReadSubBlocksTolerant(data);
    // Each code of at least minCodeSize + 1 bits yields at most a whole
    // string table's worth of pixels: a frame far beyond that is a lie, and
    // is refused before its memory is asked for.
    const std::size_t codes = data.size() * 8 / static_cast<std::size_t>(minCodeSize + 1);
    if (pixels / 4096 > codes)
        throw EGIFImage("GIF frame larger than its data");
    Pixels.assign(pixels, 0);

    std::vector<std::uint8_t> decoded(Interlaced ? pixels : 0);
    std::uint8_t* target = Interlaced ? decoded.data() : Pixels.data();
    const auto lzw = std::make_unique<TLZWDecoder>(data.data(), data.size(), minCodeSize);
    // Large frames report the input consumed every 64K pixels.
    const std::size_t step = progress && pixels > kProgressPixels ? std::size_t{1} << 16 : pixels;
    for (std::size_t until = step, written = 0; written < pixels; until += step) {
        written = lzw->Decode(target, pixels, until);
        if (written < std::min(until, pixels))
            break;
        if (progress && written < pixels)
            progress(dataStart + lzw->Consumed() + lzw->Consumed() / 255);
    }
    if (Interlaced) {
        const std::vector<int> rows = InterlacedRows(Height);
        for (int i = 0; i < Height; ++i)
            std::memcpy(&Pixels[static_cast<std::size_t>(rows[i]) * Width],
                        &decoded[static_cast<std::size_t>(i) * Width], static_cast<std::size_t>(Width));
    }
    return complete;
}

} // namespace lumeno
