#include "imagelib/codecs/tga_writer.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <vector>

namespace lumeno {

TTGAFileFormatWriter::TTGAFileFormatWriter() : TFileFormatWriter("tga", "Truevision Targa")
{
    CanWriteResolutions.set(6).set(7);
}

void TTGAFileFormatWriter::Write(TStream& Stream, TPixelGraphic& Graphic) const
{
    const bool mapped = Graphic.GetPixelFormat() == pf8Bit;
    // Rows are written as stored, so no other depth can be written.
    if (!mapped && Graphic.GetPixelFormat() != pf24Bit)
        TGAErrors.RaiseMessage(msgInvalidColorRes);
    // The header holds 16-bit sizes.
    if (Graphic.GetWidth() > 0xFFFF || Graphic.GetHeight() > 0xFFFF)
        TGAErrors.RaiseMessage(msgInvalidSize, "image");
    const int entries = mapped ? Graphic.GetPaletteSize() : 0;
    std::uint8_t h[18] = {};
    if (mapped) {
        h[1] = 1;
        h[2] = 1;
        PutU16LE(h + 5, static_cast<std::uint16_t>(entries));
        h[7] = 24;
        h[16] = 8;
    } else {
        h[2] = 2;
        h[16] = 24;
    }
    PutU16LE(h + 12, static_cast<std::uint16_t>(Graphic.GetWidth()));
    PutU16LE(h + 14, static_cast<std::uint16_t>(Graphic.GetHeight()));
    Stream.WriteBuffer(h, sizeof h);
    std::vector<std::uint8_t> map(static_cast<std::size_t>(entries) * 3);
    for (int i = 0; i < entries; ++i) {
        const TColor c = Graphic.GetPaletteEntry(i);
        map[static_cast<std::size_t>(i) * 3] = static_cast<std::uint8_t>(GetBValue(c));
        map[static_cast<std::size_t>(i) * 3 + 1] = static_cast<std::uint8_t>(GetGValue(c));
        map[static_cast<std::size_t>(i) * 3 + 2] = static_cast<std::uint8_t>(GetRValue(c));
    }
    Stream.WriteBuffer(map.data(), static_cast<std::int64_t>(map.size()));
    const int height = Graphic.GetHeight();
    const std::int64_t rowBytes = std::int64_t{Graphic.GetWidth()} * (mapped ? 1 : 3);
    TCodecProgressScope progress(Graphic);
    for (int r = 0; r < height; ++r) {
        Stream.WriteBuffer(Graphic.GetScanLine(height - 1 - r), rowBytes);
        Graphic.Progress(r, height);
    }
}

} // namespace lumeno
