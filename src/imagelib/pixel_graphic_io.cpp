// File and stream entry points; the format registry behind DoLoad and
// DoSaveToFile chooses the reader or writer.

#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_messages.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <algorithm>

namespace lumeno {

void TPixelGraphic::LoadFromFile(const std::string& FileName) { LoadFromFileIndexed(FileName, 0); }

void TPixelGraphic::LoadFromFileIndexed(const std::string& FileName, int Index)
{
    TFileStream stream(FileName, TFileMode::fmOpenRead);
    DoLoad(stream, ExtractFormatExtension(FileName), Index);
}

void TPixelGraphic::LoadFromFileAtLeast(const std::string& FileName, int MinWidth, int MinHeight)
{
    FLoadMinWidth = std::max(0, MinWidth);
    FLoadMinHeight = std::max(0, MinHeight);
    try {
        LoadFromFile(FileName);
    } catch (...) {
        FLoadMinWidth = FLoadMinHeight = 0;
        throw;
    }
    FLoadMinWidth = FLoadMinHeight = 0;
}

void TPixelGraphic::LoadFromStream(TStream& Stream) { LoadFromStreamAs(Stream, ""); }

void TPixelGraphic::LoadFromStreamAs(TStream& Stream, const std::string& Extension)
{
    DoLoad(Stream, Extension, 0);
}

void TPixelGraphic::SaveToFile(const std::string& FileName)
{
    DoSaveToFile(true, FileName, ExtractFormatExtension(FileName), nullptr);
}

void TPixelGraphic::SaveToStreamAs(TStream& Stream, const std::string& Extension)
{
    DoSaveToFile(false, "", Extension, &Stream);
}

void TPixelGraphic::WriteData(TStream& Stream)
{
    const std::int64_t start = Stream.GetPosition();
    std::uint8_t length[4] = {};
    Stream.WriteBuffer(length, 4);
    SaveToStream(Stream);
    const std::int64_t end = Stream.GetPosition();
    const std::uint32_t size = static_cast<std::uint32_t>(end - start - 4);
    for (int i = 0; i < 4; ++i)
        length[i] = static_cast<std::uint8_t>(size >> (8 * i));
    Stream.SetPosition(start);
    Stream.WriteBuffer(length, 4);
    Stream.SetPosition(end);
}

void TPixelGraphic::ReadData(TStream& Stream)
{
    std::uint8_t length[4];
    Stream.ReadBuffer(length, 4);
    const std::int64_t size = static_cast<std::int64_t>(length[0]) | (length[1] << 8) |
                              (length[2] << 16) | (static_cast<std::int64_t>(length[3]) << 24);
    if (size > Stream.Remaining())
        throw EPixelGraphic(GetPGLangStrS1(27, "Data"));
    // The block is read whole, so the reader cannot run past it and the
    // stream ends up right after it whatever the reader consumed.
    TMemoryStream block;
    block.SetSize(size);
    Stream.ReadBuffer(block.Memory(), size);
    LoadFromStreamAs(block, "bmp");
}

} // namespace lumeno
