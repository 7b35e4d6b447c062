#include "imagelib/codecs/ico_reader.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/format_registry.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <algorithm>
#include <cstring>

namespace lumeno {

namespace {

const TCodecErrorsOf<EPixelGraphic> IconErrors("");

constexpr int DirectoryHeaderSize = 6;
constexpr int EntrySize = 16;
constexpr int BitmapHeaderSize = 40;
// Offsets in the rebuilt file.
constexpr int ImageOffsetInMemory = DirectoryHeaderSize + EntrySize;     // 22
constexpr int ColorTableOffset = ImageOffsetInMemory + BitmapHeaderSize; // 62
// Larger images cannot be laid out sensibly.
constexpr int MaxIconSide = 256;

constexpr int MinReadSide = 8;
constexpr int MaxReadSide = 64;

[[noreturn]] void NotAnIcon()
{
    throw EPixelGraphic("Not an Icon file");
}
[[noreturn]] void OutOfBounds()
{
    throw EPixelGraphic("Index out of bounds");
}

int PaddedRow(std::int64_t bits)
{
    return static_cast<int>((bits + 31) / 32 * 4);
}

std::string ColorsText(int bitCount)
{
    return ColorCountText(bitCount, bitCount > 8 ? "16.7M" : "");
}

// Reads Count bytes at an absolute position; the position is kept.
void ReadAt(TStream& stream, std::int64_t at, void* buffer, std::int64_t count)
{
    const std::int64_t keep = stream.GetPosition();
    stream.SetPosition(at);
    TCodecReader(stream, IconErrors).Read(buffer, count);
    stream.SetPosition(keep);
}

} // namespace

bool tIconHandler::Validate(TStream& Stream)
{
    Count = 0;
    Kind = 0;
    start_ = Stream.GetPosition();
    const std::int64_t size = Stream.GetSize();
    if (size - start_ <= DirectoryHeaderSize)
        return false;
    std::uint8_t h[DirectoryHeaderSize];
    ReadAt(Stream, start_, h, DirectoryHeaderSize);
    const int reserved = GetU16LE(h), type = GetU16LE(h + 2), count = GetU16LE(h + 4);
    if (reserved != 0 || (type != 1 && type != 2) || count == 0)
        return false;
    if (size - start_ - DirectoryHeaderSize < std::int64_t{count} * EntrySize)
        return false;
    std::vector<std::uint8_t> entries(static_cast<std::size_t>(count) * EntrySize);
    ReadAt(Stream, start_ + DirectoryHeaderSize, entries.data(), static_cast<std::int64_t>(entries.size()));
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* e = entries.data() + static_cast<std::ptrdiff_t>(i) * EntrySize;
        if (std::int64_t{GetU32LE(e + 12)} + GetU32LE(e + 8) > size)
            return false;
    }
    Count = count;
    Kind = type;
    return true;
}

tIconHandler::TEntry tIconHandler::ReadEntry(TStream& Stream, int Index) const
{
    std::uint8_t e[EntrySize];
    ReadAt(Stream, start_ + DirectoryHeaderSize + std::int64_t{Index} * EntrySize, e, EntrySize);
    return {GetU32LE(e + 8), GetU32LE(e + 12)};
}

bool tIconHandler::ReadImageHeader(TStream& Stream, int Index, TImageHeader& Header) const
{
    if (Index < 0 || Index >= Count)
        return false;
    const TEntry entry = ReadEntry(Stream, Index);
    if (entry.BytesInRes < BitmapHeaderSize)
        return false;
    std::uint8_t b[BitmapHeaderSize];
    ReadAt(Stream, entry.ImageOffset, b, BitmapHeaderSize);
    if (GetU32LE(b) != BitmapHeaderSize)
        return false;
    Header.Width = static_cast<std::int32_t>(GetU32LE(b + 4));
    // The height counts the XOR and the AND bitmap.
    Header.Height = static_cast<std::int32_t>(GetU32LE(b + 8)) / 2;
    Header.BitCount = GetU16LE(b + 14);
    return true;
}

bool tIconHandler::LoadImage(TStream& Stream, int Index)
{
    Clear();
    TImageHeader h;
    if (!ReadImageHeader(Stream, Index, h) || (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8) ||
        (Kind != 1 && Kind != 2) || h.Width < 1 || h.Width > MaxIconSide || h.Height < 1 ||
        h.Height > MaxIconSide)
        return false;
    const TEntry entry = ReadEntry(Stream, Index);
    const int colors = 1 << h.BitCount;
    const int xorRow = PaddedRow(std::int64_t{h.BitCount} * h.Width);
    const int andRow = PaddedRow(h.Width);
    const std::int64_t size = ColorTableOffset + 4 * colors + std::int64_t{xorRow + andRow} * h.Height;
    // The entry's parts must fill it exactly; checked before any memory is
    // laid out.
    if (std::int64_t{entry.BytesInRes} + ImageOffsetInMemory != size)
        return false;
    memory_.assign(static_cast<std::size_t>(size), 0);
    std::uint8_t* m = memory_.data();
    PutU16LE(m + 2, static_cast<std::uint16_t>(Kind));
    PutU16LE(m + 4, 1);
    ReadAt(Stream, start_ + DirectoryHeaderSize + std::int64_t{Index} * EntrySize, m + DirectoryHeaderSize,
           EntrySize);
    PutU32LE(m + DirectoryHeaderSize + 12, ImageOffsetInMemory);
    ReadAt(Stream, entry.ImageOffset, m + ImageOffsetInMemory, entry.BytesInRes);
    Width = h.Width;
    Height = h.Height;
    BitsPerPixel = h.BitCount;
    ColorCount = colors;
    xorRowSize_ = xorRow;
    andRowSize_ = andRow;
    return true;
}

void tIconHandler::Clear()
{
    memory_.clear();
    memory_.shrink_to_fit();
    Width = Height = BitsPerPixel = ColorCount = 0;
    xorRowSize_ = andRowSize_ = 0;
}

void tIconHandler::DecodeRow(int Y, std::uint8_t* Dest) const
{
    // Both bitmaps are stored bottom-up.
    const int stored = Height - 1 - Y;
    const std::uint8_t* table = memory_.data() + ColorTableOffset;
    const std::uint8_t* xorBits = table + 4 * ColorCount + std::ptrdiff_t{stored} * xorRowSize_;
    const std::uint8_t* andBits =
        table + 4 * ColorCount + std::ptrdiff_t{Height} * xorRowSize_ + std::ptrdiff_t{stored} * andRowSize_;
    const std::uint8_t transparent[3] = {static_cast<std::uint8_t>(GetBValue(TransparentColor)),
                                         static_cast<std::uint8_t>(GetGValue(TransparentColor)),
                                         static_cast<std::uint8_t>(GetRValue(TransparentColor))};
    for (int x = 0; x < Width; ++x, Dest += 3) {
        if (andBits[x >> 3] >> (7 - (x & 7)) & 1) {
            std::memcpy(Dest, transparent, 3);
            continue;
        }
        int index;
        switch (BitsPerPixel) {
        case 1:
            index = xorBits[x >> 3] >> (7 - (x & 7)) & 1;
            break;
        case 4:
            index = (x & 1) ? xorBits[x >> 1] & 0x0F : xorBits[x >> 1] >> 4;
            break;
        default:
            index = xorBits[x];
            break;
        }
        std::memcpy(Dest, table + 4 * index, 3);
    }
}

tIcoFileFormatReader::tIcoFileFormatReader() : TFileFormatReader("ico", "Windows Icon") {}

bool tIcoFileFormatReader::CanRead(TFileHeader Header) const
{
    return GetU16LE(Header.data()) == 0 && GetU16LE(Header.data() + 2) == 1 &&
           GetU16LE(Header.data() + 4) > 0;
}

void tIcoFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    tIconHandler handler;
    handler.TransparentColor = clWhite;
    if (!handler.Validate(Stream) || handler.Kind != 1)
        NotAnIcon();
    if (Index < 0 || Index >= handler.Count)
        OutOfBounds();
    if (!handler.LoadImage(Stream, Index) || handler.Width < MinReadSide || handler.Width > MaxReadSide ||
        handler.Height < MinReadSide || handler.Height > MaxReadSide)
        OutOfBounds();
    Graphic.SetDimensions(handler.Width, handler.Height, pf24Bit);
    TCodecProgressScope progress(Graphic);
    for (int y = 0; y < handler.Height; ++y) {
        handler.DecodeRow(y, Graphic.GetScanLine(y));
        if (Graphic.Progress(y, handler.Height))
            return;
    }
}

void tIcoFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                               ImageCount);
    tIconHandler handler;
    if (!handler.Validate(Stream) || handler.Kind != 1)
        NotAnIcon();
    ImageCount = handler.Count;
    tIconHandler::TImageHeader first;
    if (handler.ReadImageHeader(Stream, 0, first)) {
        Width = first.Width;
        Height = first.Height;
        BitCount = first.BitCount;
    }
    if (handler.Count == 1) {
        Colors = ColorsText(first.BitCount);
        return;
    }
    int minWidth = INT32_MAX, maxWidth = 0, minBits = INT32_MAX, maxBits = 0;
    for (int i = 0; i < handler.Count; ++i) {
        tIconHandler::TImageHeader h;
        if (!handler.ReadImageHeader(Stream, i, h))
            continue;
        minWidth = std::min(minWidth, h.Width);
        maxWidth = std::max(maxWidth, h.Width);
        minBits = std::min(minBits, h.BitCount);
        maxBits = std::max(maxBits, h.BitCount);
    }
    if (maxBits == 0)
        return;
    SubFormat = "Sizes " + std::to_string(minWidth) + ".." + std::to_string(maxWidth);
    Remarks = "Colors " + ColorsText(minBits) + ".." + ColorsText(maxBits);
}

void PGIcoStartup()
{
    FileFormatRegistry().AddReader(std::make_unique<tIcoFileFormatReader>());
}

} // namespace lumeno
