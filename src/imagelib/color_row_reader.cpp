#include "imagelib/color_row_reader.h"

namespace lumeno {

void UnpackIndexRow(const std::uint8_t* Row, std::uint8_t PixelFormat, int Count, std::uint8_t* Out)
{
    switch (PixelFormat) {
    case pf1Bit:
        for (int x = 0; x < Count; ++x)
            Out[x] = static_cast<std::uint8_t>((Row[x >> 3] >> (7 - (x & 7))) & 1);
        break;
    case pf4Bit:
        for (int x = 0; x < Count; ++x)
            Out[x] = static_cast<std::uint8_t>((x & 1) ? (Row[x >> 1] & 0x0F) : (Row[x >> 1] >> 4));
        break;
    default:
        for (int x = 0; x < Count; ++x)
            Out[x] = Row[x];
        break;
    }
}

TColorRowReader::TColorRowReader(TPixelGraphic& Source) : FSource(Source)
{
    Source.Flush();
    if (Source.GetPixelFormat() == pf24Bit)
        return;
    const int size = Source.GetPaletteSize();
    for (int i = 0; i < 256; ++i) {
        const TColor c =
            i < size ? Source.GetPaletteEntry(i) : (size > 0 ? Source.GetPaletteEntry(0) : clBlack);
        FColors[i * 3] = static_cast<std::uint8_t>(GetBValue(c));
        FColors[i * 3 + 1] = static_cast<std::uint8_t>(GetGValue(c));
        FColors[i * 3 + 2] = static_cast<std::uint8_t>(GetRValue(c));
    }
    FIndices.resize(static_cast<std::size_t>(Source.GetWidth()));
    FBuffer.resize(static_cast<std::size_t>(Source.GetWidth()) * 3);
}

const std::uint8_t* TColorRowReader::Row(int Y)
{
    const std::uint8_t* raw = FSource.GetScanLine(Y);
    if (FSource.GetPixelFormat() == pf24Bit)
        return raw;
    const int width = FSource.GetWidth();
    UnpackIndexRow(raw, FSource.GetPixelFormat(), width, FIndices.data());
    std::uint8_t* out = FBuffer.data();
    for (int x = 0; x < width; ++x, out += 3) {
        const std::uint8_t* c = FColors.data() + FIndices[x] * 3;
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
    }
    return FBuffer.data();
}

} // namespace lumeno
