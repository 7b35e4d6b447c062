#include "controls/media/gif_writer.h"

#include "controls/media/gif_color_indexer.h"
#include "controls/media/gif_lzw_encoder.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <algorithm>

namespace lumeno {

namespace {

const char* const kCredit = "Saved by the Lumeno GIF encoder";

void Byte(TStream& stream, int value)
{
    const std::uint8_t b = static_cast<std::uint8_t>(value);
    stream.WriteBuffer(&b, 1);
}

void Word(TStream& stream, int value)
{
    Byte(stream, value & 0xFF);
    Byte(stream, (value >> 8) & 0xFF);
}

void WriteTable(TStream& stream, const std::vector<std::uint32_t>& table)
{
    const int entries = 1 << GIFBitsForColors(static_cast<int>(table.size()));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(entries) * 3, 0);
    for (std::size_t i = 0; i < table.size(); ++i) {
        bytes[i * 3] = static_cast<std::uint8_t>(table[i] >> 16);
        bytes[i * 3 + 1] = static_cast<std::uint8_t>(table[i] >> 8);
        bytes[i * 3 + 2] = static_cast<std::uint8_t>(table[i]);
    }
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void WriteComment(TStream& stream, const std::string& text)
{
    if (text.empty())
        return;
    Byte(stream, 0x21);
    Byte(stream, 0xFE);
    for (std::size_t i = 0; i < text.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, text.size() - i);
        Byte(stream, static_cast<int>(n));
        stream.WriteBuffer(text.data() + i, static_cast<std::int64_t>(n));
    }
    Byte(stream, 0);
}

void WriteNetscape(TStream& stream, std::uint16_t loops)
{
    Byte(stream, 0x21);
    Byte(stream, 0xFF);
    Byte(stream, 11);
    stream.WriteBuffer("NETSCAPE2.0", 11);
    Byte(stream, 3);
    Byte(stream, 1);
    Word(stream, loops);
    Byte(stream, 0);
}

} // namespace

bool TGIFWriter::Encode(TGIFSaveData& Data, TStream& Stream)
{
    status_ = gwsWriting;
    if (Data.Frames.empty())
        return false;
    int width = 0;
    int height = 0;
    for (TFrameInfo& frame : Data.Frames) {
        if (!frame.Bitmap || frame.Bitmap->GetEmpty())
            return false;
        frame.Width = frame.Bitmap->GetWidth();
        frame.Height = frame.Bitmap->GetHeight();
        width = std::max(width, frame.Left + frame.Width);
        height = std::max(height, frame.Top + frame.Height);
    }
    if (width > 0xFFFF || height > 0xFFFF || !IndexFrames(Data))
        return false;

    status_ = gwsWriting;
    const bool global = Data.Frames.size() == 1 || Data.GlobalTable;
    Stream.WriteBuffer("GIF89a", 6);
    Word(Stream, width);
    Word(Stream, height);
    Byte(Stream, global ? 0x80 | (GIFBitsForColors(static_cast<int>(globalTable_.size())) - 1) : 0);
    Byte(Stream, 0);
    Byte(Stream, 0);
    if (global)
        WriteTable(Stream, globalTable_);
    if (Data.Frames.size() > 1)
        WriteNetscape(Stream, Data.LoopCount);
    for (std::size_t i = 0; i < Data.Frames.size(); ++i)
        WriteFrame(Data.Frames[i], indexed_[i], Stream);
    WriteComment(Stream, kCredit);
    Byte(Stream, 0x3B);
    status_ = gwsOk;
    return true;
}

// Everything is indexed before anything is written, so a refused frame
// leaves the stream untouched.
bool TGIFWriter::IndexFrames(TGIFSaveData& Data)
{
    status_ = gwsIndexing;
    indexed_.assign(Data.Frames.size(), {});
    globalTable_.clear();
    if (Data.Frames.size() == 1 || Data.GlobalTable) {
        if (IndexShared(Data))
            return true;
        if (status_ == gwsTooManyColors)
            return false;
        Data.GlobalTable = false;
        status_ = gwsIndexing;
        indexed_.assign(Data.Frames.size(), {});
    }
    return IndexSeparately(Data);
}

// False with gwsTooManyColors when the first frame overflows; false with
// gwsIndexing when a later one does (the caller then goes per frame).
bool TGIFWriter::IndexShared(TGIFSaveData& Data)
{
    TGIFColorIndexer indexer;
    for (std::size_t i = 0; i < Data.Frames.size(); ++i) {
        TFrameInfo& frame = Data.Frames[i];
        if (!indexer.Index(*frame.Bitmap, frame.Interlaced, indexed_[i].Indices)) {
            if (i == 0)
                status_ = gwsTooManyColors;
            return false;
        }
        const int transparent = frame.Transparent ? indexer.Find(frame.TransparentColor) : -1;
        indexed_[i].HasTransparentIndex = transparent >= 0;
        indexed_[i].TransparentIndex = static_cast<std::uint8_t>(std::max(transparent, 0));
    }
    globalTable_ = indexer.Table();
    return true;
}

bool TGIFWriter::IndexSeparately(TGIFSaveData& Data)
{
    for (std::size_t i = 0; i < Data.Frames.size(); ++i) {
        TFrameInfo& frame = Data.Frames[i];
        TGIFColorIndexer indexer;
        if (!indexer.Index(*frame.Bitmap, frame.Interlaced, indexed_[i].Indices)) {
            status_ = gwsTooManyColors;
            return false;
        }
        const int transparent = frame.Transparent ? indexer.Find(frame.TransparentColor) : -1;
        indexed_[i].HasTransparentIndex = transparent >= 0;
        indexed_[i].TransparentIndex = static_cast<std::uint8_t>(std::max(transparent, 0));
        indexed_[i].Table = indexer.Table();
    }
    return true;
}

void TGIFWriter::WriteFrame(const TFrameInfo& Frame, const TIndexedFrame& Indexed, TStream& Stream) const
{
    WriteComment(Stream, Frame.Comment);

    Byte(Stream, 0x21);
    Byte(Stream, 0xF9);
    Byte(Stream, 4);
    const int disposal = Frame.Disposal >= 0 && Frame.Disposal <= 3 ? Frame.Disposal : 0;
    Byte(Stream, disposal * 4 | (Frame.Transparent && Indexed.HasTransparentIndex ? 1 : 0));
    Word(Stream, std::clamp(Frame.Delay / 10, 0, 0xFFFF));
    Byte(Stream, Indexed.TransparentIndex);
    Byte(Stream, 0);

    const bool local = !Indexed.Table.empty();
    const int colours = static_cast<int>(local ? Indexed.Table.size() : globalTable_.size());
    const int bits = GIFBitsForColors(colours);
    Byte(Stream, 0x2C);
    Word(Stream, Frame.Left);
    Word(Stream, Frame.Top);
    Word(Stream, Frame.Width);
    Word(Stream, Frame.Height);
    Byte(Stream, (local ? 0x80 | (bits - 1) : 0) | (Frame.Interlaced ? 0x40 : 0));
    if (local)
        WriteTable(Stream, Indexed.Table);
    EncodeGIFLZW(Indexed.Indices.data(), Indexed.Indices.size(), std::max(bits, 2), Stream);
}

bool SaveBitmapAsGIF(const std::string& FileName, TPixelGraphic& Bitmap, bool Interlaced,
                     TColor TransparentColor, bool Transparent)
{
    TGIFSaveData data;
    TFrameInfo frame;
    frame.Bitmap = &Bitmap;
    frame.Interlaced = Interlaced;
    frame.Transparent = Transparent;
    frame.TransparentColor = TransparentColor;
    data.Frames.push_back(frame);
    TMemoryStream encoded;
    TGIFWriter writer;
    if (!writer.Encode(data, encoded))
        return false;
    TSafeFileStream file(FileName);
    file.WriteBuffer(encoded.Data().data(), encoded.GetSize());
    file.Commit();
    return true;
}

} // namespace lumeno
