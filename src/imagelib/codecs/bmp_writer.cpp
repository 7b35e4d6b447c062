#include "imagelib/codecs/bmp_writer.h"

#include "imagelib/codecs/bmp_format.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

namespace lumeno {

TBMPFileFormatWriter::TBMPFileFormatWriter() : TFileFormatWriter("bmp", "Bitmap")
{
    CanWriteResolutions = AllColorResolutions();
}

void TBMPFileFormatWriter::Write(TStream& Stream, TPixelGraphic& Graphic) const
{
    const auto pixelOffset =
        static_cast<std::uint32_t>(BMPFileHeaderSize + InfoHeaderSize + 4 * Graphic.GetDIBPaletteEntries());
    std::uint8_t h[BMPFileHeaderSize] = {'B', 'M'};
    PutU32LE(h + 2, static_cast<std::uint32_t>(pixelOffset + Graphic.GetImageSize()));
    PutU32LE(h + 10, pixelOffset);
    Stream.WriteBuffer(h, sizeof h);
    Graphic.SaveToDIBStream(Stream);
}

} // namespace lumeno
