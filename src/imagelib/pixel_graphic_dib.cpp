// Packed DIB reading and writing, and the clipboard block built from it.

#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_messages.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <cstring>
#include <utility>

namespace lumeno {

namespace {

constexpr std::uint16_t BI_RGB = 0;
constexpr std::uint16_t BI_RLE8 = 1;
constexpr std::uint16_t BI_RLE4 = 2;
constexpr std::uint16_t BI_BITFIELDS = 3;

std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t GetU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
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

[[noreturn]] void BMPError(const std::string& text) { throw EPGBMPFileFormatReader("BMP: " + text); }
[[noreturn]] void BMPInvalid(const char* field) { BMPError(GetPGLangStrS1(7, field)); }

void NeedBytes(TStream& s, std::int64_t n)
{
    if (n < 0 || s.Remaining() < n)
        BMPError(GetPGLangStr(32));
}

// A channel mask of a 16/32-bit pixel: the shift that brings its highest
// bit to bit 7, and the value of its lowest bit after that shift.
struct TChannelMask {
    std::uint32_t Mask = 0;
    int Shift = 0;
    int LowBit = 0;

    explicit TChannelMask(std::uint32_t mask) : Mask(mask)
    {
        if (!mask)
            return;
        int high = 31;
        while (!(mask & (1u << high)))
            --high;
        int low = 0;
        while (!(mask & (1u << low)))
            ++low;
        Shift = 7 - high;
        LowBit = low + Shift >= 0 ? 1 << (low + Shift) : 0;
    }

    int Channel(std::uint32_t pixel, bool expand) const
    {
        const std::uint32_t v = pixel & Mask;
        int c = static_cast<int>(Shift >= 0 ? v << Shift : v >> -Shift);
        if (expand && c != 0)
            c += LowBit;
        return c > 255 ? 255 : c;
    }
};

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
    std::uint8_t h[40] = {};
    int width, height, bitCount;
    std::uint32_t compression = BI_RGB, clrUsed = 0, sizeImage = 0;
    bool topDown = false;
    if (IsCoreHeader) {
        NeedBytes(Stream, 12);
        Stream.ReadBuffer(h, 12);
        if (GetU32(h) != 12)
            BMPError(GetPGLangStrS1(27, "BitmapInfoHeader/BitmapCoreHeader"));
        width = GetU16(h + 4);
        height = GetU16(h + 6);
        if (GetU16(h + 8) != 1)
            BMPInvalid("BitmapCoreHeader.bcPlanes");
        bitCount = GetU16(h + 10);
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
            BMPInvalid("BitmapCoreHeader.bcBitCount");
    } else {
        NeedBytes(Stream, 40);
        Stream.ReadBuffer(h, 40);
        if (GetU32(h) != 40)
            BMPError(GetPGLangStrS1(27, "BitmapInfoHeader/BitmapCoreHeader"));
        width = static_cast<std::int32_t>(GetU32(h + 4));
        const std::int32_t rawHeight = static_cast<std::int32_t>(GetU32(h + 8));
        if (GetU16(h + 12) != 1)
            BMPInvalid("BitmapInfoHeader.biPlanes");
        bitCount = GetU16(h + 14);
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
            bitCount != 32)
            BMPInvalid("BitmapInfoHeader.biBitCount");
        compression = GetU32(h + 16);
        const bool ok = compression == BI_RGB ||
                        (compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32)) ||
                        (compression == BI_RLE4 && bitCount == 4 && rawHeight >= 0) ||
                        (compression == BI_RLE8 && bitCount == 8 && rawHeight >= 0);
        if (!ok)
            BMPInvalid("BitmapInfoHeader.biCompression");
        if (rawHeight == INT32_MIN)
            BMPInvalid("BitmapInfoHeader.biHeight");
        topDown = rawHeight < 0;
        height = topDown ? -rawHeight : rawHeight;
        sizeImage = GetU32(h + 20);
        clrUsed = GetU32(h + 32);
    }
    if (width < 0)
        throw EPGInvalidSize(GetPGLangStr(22));

    // Everything the header promises must be in the stream before any
    // pixel memory is taken.
    const std::int64_t rowBytes = ((static_cast<std::int64_t>(bitCount) * width + 31) / 32) * 4;
    const bool rle = compression == BI_RLE4 || compression == BI_RLE8;
    const std::int64_t pixelBytes = rle ? static_cast<std::int64_t>(sizeImage) : rowBytes * height;
    std::uint32_t masks[3] = {0, 0, 0};
    if (bitCount <= 8) {
        const std::uint32_t entries = clrUsed ? clrUsed : 1u << bitCount;
        if (entries > 256)
            BMPInvalid("BitmapInfoHeader.biClrUsed");
        NeedBytes(Stream, static_cast<std::int64_t>(entries) * (IsCoreHeader ? 3 : 4) + pixelBytes);
        SetDimensions(width, height, BitCountToPixelFormat(bitCount));
        ReadDIBPalette(Stream, static_cast<int>(entries), !IsCoreHeader);
    } else {
        if (compression == BI_BITFIELDS) {
            std::uint8_t m[12];
            NeedBytes(Stream, 12);
            Stream.ReadBuffer(m, 12);
            for (int i = 0; i < 3; ++i)
                masks[i] = GetU32(m + 4 * i);
        } else if (bitCount == 16) {
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
        }
        NeedBytes(Stream, static_cast<std::int64_t>(clrUsed) * 4 + pixelBytes);
        Stream.Seek(static_cast<std::int64_t>(clrUsed) * 4, TSeekOrigin::soCurrent);
        SetDimensions(width, height, pf24Bit);
    }
    if (!FBits)
        return;

    ProgressStart();
    try {
        if (rle) {
            std::vector<std::uint8_t> block(sizeImage);
            if (ReadPixelBlock(Stream, block.data(), sizeImage))
                DecodeRLE(block, compression == BI_RLE4);
        } else if (bitCount == 16 || bitCount == 32) {
            ReadBitFieldRows(Stream, bitCount, masks, topDown);
        } else {
            ReadPixelBlock(Stream, FBits.get(), FImageSize);
            if (topDown)
                FlipRows();
        }
    } catch (...) {
        ProgressEnd();
        throw;
    }
    ProgressEnd();
}

void TPixelGraphic::ReadDIBPalette(TStream& Stream, int Count, bool Quads)
{
    const int step = Quads ? 4 : 3;
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(Count * step));
    Stream.ReadBuffer(raw.data(), static_cast<std::int64_t>(raw.size()));
    SetPaletteSize(Count);
    if (FPaletteType != pUnknown)
        SetPaletteType(pUnknown);
    for (int i = 0; i < Count; ++i) {
        const std::uint8_t* q = raw.data() + i * step;
        SetPaletteEntry(i, RGB(q[2], q[1], q[0]));
    }
}

// Large blocks come in ten pieces so that progress shows and an abort can
// stop the reading. Returns false when aborted.
bool TPixelGraphic::ReadPixelBlock(TStream& Stream, std::uint8_t* Dest, std::int64_t Size)
{
    if (Size < 101) {
        Stream.ReadBuffer(Dest, Size);
        return true;
    }
    const std::int64_t piece = Size / 10;
    for (int step = 1; step <= 9; ++step) {
        Stream.ReadBuffer(Dest, piece);
        Dest += piece;
        if (Progress(step, 10))
            return false;
    }
    Stream.ReadBuffer(Dest, Size - 9 * piece);
    return !Progress(10, 10);
}

void TPixelGraphic::ReadBitFieldRows(TStream& Stream, int BitCount, const std::uint32_t Masks[3],
                                     bool TopDown)
{
    const std::int64_t rowBytes = ((static_cast<std::int64_t>(BitCount) * FWidth + 31) / 32) * 4;
    const TChannelMask red(Masks[0]), green(Masks[1]), blue(Masks[2]);
    const bool expand = BMPExpand16Bit && BitCount == 16;
    const int bytes = BitCount / 8;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
    for (int i = 0; i < FHeight; ++i) {
        Stream.ReadBuffer(row.data(), rowBytes);
        std::uint8_t* dest = GetScanLine(TopDown ? i : FHeight - 1 - i);
        for (int x = 0; x < FWidth; ++x) {
            const std::uint8_t* p = row.data() + static_cast<std::size_t>(x) * bytes;
            const std::uint32_t pixel = bytes == 2 ? GetU16(p) : GetU32(p);
            dest[x * 3 + 0] = static_cast<std::uint8_t>(blue.Channel(pixel, expand));
            dest[x * 3 + 1] = static_cast<std::uint8_t>(green.Channel(pixel, expand));
            dest[x * 3 + 2] = static_cast<std::uint8_t>(red.Channel(pixel, expand));
        }
        if (Progress(i, FHeight))
            return;
    }
}

void TPixelGraphic::DecodeRLE(const std::vector<std::uint8_t>& Block, bool FourBit)
{
    // Coordinates in 64 bits: deltas in a long block must not wrap around.
    std::int64_t x = 0, y = FHeight - 1;
    const std::size_t n = Block.size();
    auto put = [&](std::uint32_t v) {
        if (x >= 0 && x < FWidth && y >= 0 && y < FHeight)
            SetPixel(static_cast<int>(x), static_cast<int>(y), v);
        ++x;
    };
    std::size_t i = 0;
    while (i + 1 < n) {
        const std::uint8_t count = Block[i], value = Block[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(FourBit ? ((k & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            --y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (i + 1 >= n)
                return;
            x += Block[i];
            y -= Block[i + 1];
            i += 2;
        } else {
            const std::size_t bytes = FourBit ? (value + 1u) / 2 : value;
            for (int k = 0; k < value; ++k) {
                const std::size_t at = i + (FourBit ? static_cast<std::size_t>(k / 2) : static_cast<std::size_t>(k));
                if (at >= n)
                    return;
                put(FourBit ? ((k & 1) ? Block[at] & 0x0F : Block[at] >> 4) : Block[at]);
            }
            i += bytes + (bytes & 1);
        }
    }
}

void TPixelGraphic::FlipRows()
{
    std::vector<std::uint8_t> tmp(static_cast<std::size_t>(FStride));
    for (int y = 0; y < FHeight / 2; ++y) {
        std::uint8_t* a = GetScanLine(y);
        std::uint8_t* b = GetScanLine(FHeight - 1 - y);
        std::memcpy(tmp.data(), a, tmp.size());
        std::memcpy(a, b, tmp.size());
        std::memcpy(b, tmp.data(), tmp.size());
    }
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
