// Packed DIB reading and writing, and the clipboard block built from it.

#include "imagelib/codecs/bmp_reader.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_messages.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"


namespace lumeno {

namespace {

void PutU16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::uint8_t* p, std::uint32_t v)
{
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

} // namespace

void TPixelGraphic::SaveToDIBStream(TStream& Stream)
{
    Flush();
    const int entries = GetDIBPaletteEntries();
    std::uint8_t header[40] = {};
    PutU32(header, 40);
    PutU32(header + 4, static_cast<std::uint32_t>(FWidth));
    PutU32(header + 8, static_cast<std::uint32_t>(FHeight));
    PutU16(header + 12, 1);
    PutU16(header + 14, static_cast<std::uint32_t>(GetBitsPerPixel()));
    PutU32(header + 20, static_cast<std::uint32_t>(FImageSize));
    PutU32(header + 32, static_cast<std::uint32_t>(entries));
    Stream.WriteBuffer(header, sizeof header);
    std::vector<std::uint8_t> quads(static_cast<std::size_t>(entries) * 4);
    for (int i = 0; i < entries; ++i) {
        const TColor c = FPalette[static_cast<std::size_t>(i)];
        quads[i * 4 + 0] = static_cast<std::uint8_t>(GetBValue(c));
        quads[i * 4 + 1] = static_cast<std::uint8_t>(GetGValue(c));
        quads[i * 4 + 2] = static_cast<std::uint8_t>(GetRValue(c));
    }
    Stream.WriteBuffer(quads.data(), static_cast<std::int64_t>(quads.size()));
    if (FImageSize > 0)
        Stream.WriteBuffer(FBits.get(), FImageSize);
}

void TPixelGraphic::LoadFromDIBStream(TStream& Stream, bool IsCoreHeader)
{
    Flush();
    ReadDIB(Stream, *this, IsCoreHeader, 0, -1);
}

void TPixelGraphic::SaveToClipboardFormat(unsigned& Format, std::vector<std::uint8_t>& Data,
                                          std::uintptr_t& Palette)
{
    TMemoryStream stream;
    SaveToDIBStream(stream);
    Data = stream.Data();
    // The block keeps the size that also covers a file header and a length prefix.
    Data.resize(static_cast<std::size_t>(GetDIBSize()), 0);
    Palette = 0;
    Format = CF_DIB;
}

void TPixelGraphic::LoadFromClipboardFormat(unsigned Format, const std::vector<std::uint8_t>* Data,
                                            std::uintptr_t Palette)
{
    (void)Palette;
    if ((Format != CF_DIB && Format != CF_BITMAP) || !Data || Data->empty())
        throw EPGUnknownClipboardFormat(GetPGLangStr(4));
    Flush();
    BeginUpdate();
    try {
        TMemoryStream stream(Data->data(), static_cast<std::int64_t>(Data->size()));
        LoadFromDIBStream(stream, false);
        FGamma = DefaultGamma;
        DetectPaletteType();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

} // namespace lumeno
