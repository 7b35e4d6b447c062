#include "imagelib/codecs/bmp_reader.h"

#include "imagelib/codecs/bmp_format.h"
#include "imagelib/codecs/codec_io.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <vector>

namespace lumeno {

namespace {

[[noreturn]] void Invalid(const char* field)
{
    BMPErrors.RaiseMessage(msgInvalid, field);
}

void CheckCoreHeader(const TBMPHeader& h, int planes)
{
    if (planes != 1)
        Invalid("BitmapCoreHeader.bcPlanes");
    if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8 && h.BitCount != 24)
        Invalid("BitmapCoreHeader.bcBitCount");
    if (h.Width == 0 && h.Height != 0)
        Invalid("BitmapCoreHeader.bcWidth");
}

bool CompressionFits(const TBMPHeader& h)
{
    switch (h.Compression) {
    case BI_RGB:
        return true;
    case BI_BITFIELDS:
        return h.BitCount == 16 || h.BitCount == 32;
    case BI_RLE4:
        return h.BitCount == 4 && !h.TopDown();
    case BI_RLE8:
        return h.BitCount == 8 && !h.TopDown();
    default:
        return false;
    }
}

void CheckInfoHeader(const TBMPHeader& h, int planes)
{
    if (planes != 1)
        Invalid("BitmapInfoHeader.biPlanes");
    switch (h.BitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        Invalid("BitmapInfoHeader.biBitCount");
    }
    if (!CompressionFits(h))
        Invalid("BitmapInfoHeader.biCompression");
    // An empty picture is stored with width and height 0.
    if (h.Width < 0 || (h.Width == 0 && h.Height != 0))
        Invalid("BitmapInfoHeader.biWidth");
    if (h.Height == INT_MIN)
        Invalid("BitmapInfoHeader.biHeight");
}

void SetDefaultMasks(TBMPHeader& h)
{
    if (h.BitCount == 16) {
        h.Masks[0] = 0x7C00;
        h.Masks[1] = 0x03E0;
        h.Masks[2] = 0x001F;
    } else {
        h.Masks[0] = 0xFF0000;
        h.Masks[1] = 0x00FF00;
        h.Masks[2] = 0x0000FF;
    }
}

// The later header versions are read as the 40-byte header followed by
// their masks; what follows the masks is of no use here.
void ReadMasks(TCodecReader& in, TBMPHeader& h)
{
    const bool later = h.Size > InfoHeaderSize;
    if (h.Compression == BI_BITFIELDS || later) {
        std::uint32_t masks[3];
        for (auto& m : masks)
            m = in.U32LE();
        if (h.Compression == BI_BITFIELDS)
            std::copy(std::begin(masks), std::end(masks), h.Masks);
    }
    if (later)
        in.Skip(h.Size - InfoHeaderSize - 12);
    if (h.Compression != BI_BITFIELDS)
        SetDefaultMasks(h);
}

// One channel of a bit-field pixel: the mask's top bit is moved to bit 7.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0; // right shift; negative shifts left
    std::uint32_t Expand = 0;

    TChannel(std::uint32_t mask, bool expand) : Mask(mask)
    {
        if (mask == 0)
            return;
        Shift = (31 - std::countl_zero(mask)) - 7;
        const std::uint32_t top = Shift >= 0 ? mask >> Shift : mask << -Shift;
        if (expand)
            Expand = top & (~top + 1);
    }

    std::uint8_t operator()(std::uint32_t pixel) const
    {
        std::uint32_t v = pixel & Mask;
        v = Shift >= 0 ? v >> Shift : v << -Shift;
        if (v != 0 && Expand != 0)
            v = std::min<std::uint32_t>(v + Expand, 255);
        return static_cast<std::uint8_t>(v);
    }
};

// The decoding of one DIB; lives for one call.
class TDIBDecoder {
public:
    TDIBDecoder(TStream& stream, TPixelGraphic& graphic) : in_(stream, BMPErrors), g_(graphic) {}

    void Run(bool isCoreHeader, std::int64_t fileStart, std::int64_t pixelOffset)
    {
        h_ = ReadBMPHeader(in_);
        if (h_.Core != isCoreHeader)
            BMPErrors.RaiseMessage(msgInvalidSize, "BitmapInfoHeader/BitmapCoreHeader");
        const int bits = h_.BitCount <= 8 ? h_.BitCount : 24;
        CheckImageSize(BMPErrors, h_.Width, h_.Rows(), bits);
        LocateColorTable(fileStart, pixelOffset);
        // Everything the header promises must be there before pixel memory
        // is taken; a compressed block is read as far as it goes.
        const bool rle = h_.Compression == BI_RLE8 || h_.Compression == BI_RLE4;
        if (!rle && DIBStride(h_.Width, h_.BitCount) * h_.Rows() > in_.Remaining() - (pixelStart_ - in_.Position()))
            BMPErrors.RaiseMessage(msgUnexpectedEnd);
        g_.SetDimensions(h_.Width, h_.Rows(), TPixelGraphic::BitCountToPixelFormat(bits));
        ReadColorTable();
        if (g_.GetEmpty())
            return;
        TCodecProgressScope progress(g_);
        if (rle)
            ReadRLE();
        else if (h_.BitCount == 16 || h_.BitCount == 32)
            ReadBitFieldRows();
        else
            ReadRawBlock();
    }

private:
    void LocateColorTable(std::int64_t fileStart, std::int64_t pixelOffset);
    void ReadColorTable();
    void ReadRawBlock();
    void FlipRows();
    void ReadBitFieldRows();
    void ReadRLE();
    void DecodeRLE(const std::vector<std::uint8_t>& block);

    TCodecReader in_;
    TPixelGraphic& g_;
    TBMPHeader h_;
    int entries_ = 0; // colour-table entries kept
    std::int64_t pixelStart_ = 0;
};

void TDIBDecoder::LocateColorTable(std::int64_t fileStart, std::int64_t pixelOffset)
{
    const int entrySize = h_.Core ? 3 : 4;
    std::int64_t entries = h_.Core ? (std::int64_t{1} << h_.BitCount) : h_.ClrUsed;
    if (entries == 0 && h_.BitCount <= 8)
        entries = std::int64_t{1} << h_.BitCount;
    const std::int64_t tableStart = in_.Position();
    pixelStart_ = tableStart + entries * entrySize;
    // The file's own pixel offset wins when it is plausible; the colour table
    // then cannot reach into the pixels.
    if (pixelOffset >= 0) {
        const std::int64_t at = fileStart + pixelOffset;
        if (at >= tableStart && at < in_.Position() + in_.Remaining()) {
            pixelStart_ = at;
            entries = std::min(entries, (at - tableStart) / entrySize);
        }
    }
    entries_ = h_.BitCount <= 8 ? static_cast<int>(std::min(entries, std::int64_t{1} << h_.BitCount)) : 0;
    if (pixelStart_ > in_.Position() + in_.Remaining())
        BMPErrors.RaiseMessage(msgUnexpectedEnd);
}

void TDIBDecoder::ReadColorTable()
{
    const int entrySize = h_.Core ? 3 : 4;
    std::vector<std::uint8_t> table(static_cast<std::size_t>(entries_) * entrySize);
    in_.Read(table.data(), static_cast<std::int64_t>(table.size()));
    if (h_.BitCount <= 8)
        g_.SetPaletteSize(entries_);
    for (int i = 0; i < entries_; ++i) {
        const std::uint8_t* e = table.data() + static_cast<std::ptrdiff_t>(i) * entrySize;
        g_.SetPaletteEntry(i, RGB(e[2], e[1], e[0]));
    }
    in_.Skip(pixelStart_ - in_.Position());
}

void TDIBDecoder::ReadRawBlock()
{
    std::uint8_t* bits = g_.GetBits();
    const std::int64_t size = g_.GetImageSize();
    if (size < 101) {
        in_.Read(bits, size);
    } else {
        const std::int64_t piece = size / 10;
        for (int step = 1; step <= 9; ++step) {
            in_.Read(bits + (step - 1) * piece, piece);
            if (g_.Progress(step, 10))
                return;
        }
        in_.Read(bits + 9 * piece, size - 9 * piece);
        g_.Progress(10, 10);
    }
    if (h_.TopDown())
        FlipRows();
}

void TDIBDecoder::FlipRows()
{
    const int stride = g_.GetStride();
    std::vector<std::uint8_t> temp(static_cast<std::size_t>(stride));
    for (int top = 0, bottom = g_.GetHeight() - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* a = g_.GetScanLine(top);
        std::uint8_t* b = g_.GetScanLine(bottom);
        std::memcpy(temp.data(), a, temp.size());
        std::memcpy(a, b, temp.size());
        std::memcpy(b, temp.data(), temp.size());
    }
}

void TDIBDecoder::ReadBitFieldRows()
{
    const bool expand = BMPExpand16Bit && h_.BitCount == 16;
    const TChannel red(h_.Masks[0], expand), green(h_.Masks[1], expand), blue(h_.Masks[2], expand);
    const int width = h_.Width;
    const int rows = h_.Rows();
    std::vector<std::uint8_t> row(static_cast<std::size_t>(DIBStride(width, h_.BitCount)));
    for (int i = 0; i < rows; ++i) {
        in_.Read(row.data(), static_cast<std::int64_t>(row.size()));
        std::uint8_t* dst = g_.GetScanLine(h_.TopDown() ? i : rows - 1 - i);
        const std::uint8_t* src = row.data();
        for (int x = 0; x < width; ++x, dst += 3) {
            std::uint32_t p;
            if (h_.BitCount == 16) {
                p = GetU16LE(src);
                src += 2;
            } else {
                p = GetU32LE(src);
                src += 4;
            }
            dst[0] = blue(p);
            dst[1] = green(p);
            dst[2] = red(p);
        }
        if (g_.Progress(i, rows))
            return;
    }
}

void TDIBDecoder::ReadRLE()
{
    std::int64_t size = h_.SizeImage;
    if (size == 0 || size > in_.Remaining())
        size = in_.Remaining();
    std::vector<std::uint8_t> block(static_cast<std::size_t>(size));
    in_.Read(block.data(), size);
    DecodeRLE(block);
}

void TDIBDecoder::DecodeRLE(const std::vector<std::uint8_t>& block)
{
    const bool rle4 = h_.Compression == BI_RLE4;
    const std::int64_t width = h_.Width;
    const std::int64_t rows = h_.Rows();
    const std::int64_t stride = g_.GetStride();
    std::uint8_t* bits = g_.GetBits();
    // Rows count from the bottom, which is also the order in memory.
    std::int64_t x = 0, y = 0;
    auto put = [&](std::uint8_t value) {
        if (x < width) {
            std::uint8_t* row = bits + y * stride;
            if (!rle4)
                row[x] = value;
            else if (x & 1)
                row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0xF0) | value);
            else
                row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0x0F) | value << 4);
        }
        ++x;
    };
    const std::size_t n = block.size();
    std::size_t i = 0;
    int step = 0;
    while (i + 1 < n && y < rows) {
        const std::uint8_t count = block[i++];
        const std::uint8_t value = block[i++];
        if (count > 0) {
            for (int k = 0; k < count && x < width; ++k)
                put(rle4 ? ((k & 1) ? value & 0x0F : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (i + 1 >= n)
                break;
            x += block[i];
            y += block[i + 1];
            i += 2;
        } else {
            const std::size_t bytes = rle4 ? (value + 1u) / 2 : value;
            const std::size_t avail = std::min(bytes, n - i);
            for (std::size_t k = 0; k < value && (rle4 ? k / 2 : k) < avail && x < width; ++k) {
                const std::uint8_t b = block[i + (rle4 ? k / 2 : k)];
                put(rle4 ? ((k & 1) ? b & 0x0F : b >> 4) : b);
            }
            i += bytes + (bytes & 1);
        }
        while (step < 9 && i >= (step + 1) * n / 10) {
            if (g_.Progress(++step, 10))
                return;
        }
    }
}

std::string ColorsText(int bitCount)
{
    switch (bitCount) {
    case 1: return "2";
    case 4: return "16";
    case 8: return "256";
    case 16: return "64K";
    default: return "16.7M";
    }
}

} // namespace

TBMPHeader ReadBMPHeader(TCodecReader& in)
{
    TBMPHeader h;
    h.Size = in.U32LE();
    if (h.Size == CoreHeaderSize) {
        h.Core = true;
        h.Width = in.U16LE();
        h.Height = in.U16LE();
        const int planes = in.U16LE();
        h.BitCount = in.U16LE();
        CheckCoreHeader(h, planes);
        return h;
    }
    if (h.Size != InfoHeaderSize && h.Size != V4HeaderSize && h.Size != V5HeaderSize)
        BMPErrors.RaiseMessage(msgInvalidSize, "BitmapInfoHeader/BitmapCoreHeader");
    h.Width = in.I32LE();
    h.Height = in.I32LE();
    const int planes = in.U16LE();
    h.BitCount = in.U16LE();
    h.Compression = in.U32LE();
    h.SizeImage = in.U32LE();
    in.Skip(8); // resolution
    h.ClrUsed = in.U32LE();
    in.Skip(4); // colours important
    CheckInfoHeader(h, planes);
    if (h.BitCount == 16 || h.BitCount == 32 || h.Size > InfoHeaderSize)
        ReadMasks(in, h);
    return h;
}

void ReadDIB(TStream& Stream, TPixelGraphic& Graphic, bool IsCoreHeader, std::int64_t FileStart,
             std::int64_t PixelOffset)
{
    TDIBDecoder(Stream, Graphic).Run(IsCoreHeader, FileStart, PixelOffset);
}

TBMPFileFormatReader::TBMPFileFormatReader() : TFileFormatReader("bmp", "Bitmap") {}

bool TBMPFileFormatReader::CanRead(TFileHeader Header) const
{
    return Header[0] == 'B' && Header[1] == 'M';
}

void TBMPFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    if (Index != 0)
        BMPErrors.RaiseMessage(msgInvalid, "Index");
    const std::int64_t start = Stream.GetPosition();
    TCodecReader in(Stream, BMPErrors);
    std::uint8_t fileHeader[BMPFileHeaderSize];
    in.Read(fileHeader, BMPFileHeaderSize);
    const std::uint32_t headerSize = in.U32LE();
    Stream.SetPosition(start + BMPFileHeaderSize);
    ReadDIB(Stream, Graphic, headerSize == CoreHeaderSize, start, GetU32LE(fileHeader + 10));
}

void TBMPFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount, ImageCount);
    if (Index != 0)
        BMPErrors.RaiseMessage(msgInvalidValue, "Index");
    TCodecReader in(Stream, BMPErrors);
    in.Skip(BMPFileHeaderSize);
    const TBMPHeader h = ReadBMPHeader(in);
    SubFormat = h.Core ? "OS/2" : "Windows";
    if (!h.Core) {
        static const char* const kinds[] = {", RGB", ", RLE8", ", RLE4"};
        if (h.Compression < 3)
            SubFormat += kinds[h.Compression];
        if (h.TopDown())
            SubFormat += ", Top-Down";
    }
    Width = h.Width;
    Height = h.Height;
    BitCount = h.BitCount;
    Colors = ColorsText(h.BitCount);
}

} // namespace lumeno
