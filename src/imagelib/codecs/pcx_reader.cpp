#include "imagelib/codecs/pcx_reader.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <vector>

namespace lumeno {

namespace {

constexpr int PCXHeaderSize = 128;
constexpr int EndPaletteSize = 769; // marker 0x0C and 256 × RGB
constexpr std::uint8_t EndPaletteMarker = 0x0C;

struct TPCXHeader {
    int Version = 0;
    int BitsPerPixel = 0;
    int XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    std::uint8_t ColorMap[48] = {};
    int Reserved = 0;
    int Planes = 0;
    int BytesPerLine = 0;
    int PaletteInfo = 0;

    int Width() const { return XMax - XMin + 1; }
    int Height() const { return YMax - YMin + 1; }
    int BitCount() const { return BitsPerPixel * Planes; }
    bool Supported() const
    {
        return (BitsPerPixel == 1 && (Planes == 1 || Planes == 4)) ||
               (BitsPerPixel == 8 && (Planes == 1 || Planes == 3));
    }
};

TPCXHeader ReadHeader(TCodecReader& in)
{
    std::uint8_t b[PCXHeaderSize];
    in.Read(b, PCXHeaderSize);
    TPCXHeader h;
    h.Version = b[1];
    h.BitsPerPixel = b[3];
    h.XMin = GetU16LE(b + 4);
    h.YMin = GetU16LE(b + 6);
    h.XMax = GetU16LE(b + 8);
    h.YMax = GetU16LE(b + 10);
    std::memcpy(h.ColorMap, b + 16, sizeof h.ColorMap);
    h.Reserved = b[64];
    h.Planes = b[65];
    h.BytesPerLine = GetU16LE(b + 66);
    h.PaletteInfo = GetU16LE(b + 68);
    return h;
}

void CheckHeader(const TPCXHeader& h)
{
    if (h.PaletteInfo != 1 || h.Reserved != 0)
        PCXErrors.RaiseMessage(msgUnknownSubformat);
}

// Checks for reading pixels: the layout must be one the reader knows, and
// the window must not be inside out.
void CheckLayout(const TPCXHeader& h)
{
    CheckHeader(h);
    if (!h.Supported() || h.XMax < h.XMin || h.YMax < h.YMin || h.BytesPerLine == 0)
        PCXErrors.RaiseMessage(msgUnknownSubformat);
}

// The fewest file bytes that can encode a line: a run pair gives at most 63
// bytes, a lone literal byte one.
std::int64_t MinEncodedLine(std::int64_t LineBytes)
{
    const std::int64_t rest = LineBytes % 63;
    return LineBytes / 63 * 2 + (rest == 0 ? 0 : rest == 1 ? 1 : 2);
}

// The 256-colour palette that ends the file; the stream's position is kept.
std::vector<TColor> ReadEndPalette(TStream& stream, std::int64_t start)
{
    const std::int64_t at = stream.GetSize() - EndPaletteSize;
    if (at < start + PCXHeaderSize)
        PCXErrors.RaiseMessage(msgUnknownSubformat);
    const std::int64_t keep = stream.GetPosition();
    stream.SetPosition(at);
    std::uint8_t p[EndPaletteSize];
    TCodecReader(stream, PCXErrors).Read(p, EndPaletteSize);
    stream.SetPosition(keep);
    if (p[0] != EndPaletteMarker)
        PCXErrors.RaiseMessage(msgUnknownSubformat);
    std::vector<TColor> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = RGB(p[1 + 3 * i], p[2 + 3 * i], p[3 + 3 * i]);
    return palette;
}

void SetPalette(const TPCXHeader& h, const std::vector<TColor>& endPalette, TPixelGraphic& g)
{
    if (h.BitCount() == 1) {
        g.SetPaletteType(pBlackWhite);
    } else if (h.BitCount() == 4 && h.Version == 3) {
        g.SetPaletteType(pSys16);
    } else if (h.BitCount() == 4) {
        g.SetPaletteSize(16);
        for (int i = 0; i < 16; ++i)
            g.SetPaletteEntry(i, RGB(h.ColorMap[3 * i], h.ColorMap[3 * i + 1], h.ColorMap[3 * i + 2]));
    } else if (h.BitCount() == 8) {
        g.SetPaletteSize(256);
        for (int i = 0; i < 256; ++i)
            g.SetPaletteEntry(i, endPalette[static_cast<std::size_t>(i)]);
    }
}

// Bit k (from the top) of a byte becomes nibble k of four packed bytes.
std::array<std::uint32_t, 256> MakePlaneSpread()
{
    std::array<std::uint32_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        std::uint32_t v = 0;
        for (int k = 0; k < 8; ++k) {
            if (b & (0x80 >> k))
                v |= 1u << (8 * (k / 2) + ((k & 1) ? 0 : 4));
        }
        t[static_cast<std::size_t>(b)] = v;
    }
    return t;
}

// The decoding of one file; lives for one call.
class TPCXDecoder {
public:
    TPCXDecoder(TStream& stream, const TPCXHeader& h, TPixelGraphic& g)
        : in_(stream, PCXErrors), h_(h), g_(g),
          line_(static_cast<std::size_t>(h.Planes) * static_cast<std::size_t>(h.BytesPerLine))
    {
    }

    void Run()
    {
        // A picture 0 pixels wide has no rows to fill.
        if (g_.GetEmpty())
            return;
        const int height = g_.GetHeight();
        for (int y = 0; y < height; ++y) {
            DecodeLine();
            StoreLine(g_.GetScanLine(y));
            if (g_.Progress(y, height))
                return;
        }
    }

private:
    void DecodeLine();
    void DecodeToken(std::uint8_t*& out, std::uint8_t* end);
    void StoreLine(std::uint8_t* row);
    void StoreOnePlaneBits(std::uint8_t* row) const;
    void StoreFourPlaneBits(std::uint8_t* row) const;
    void StoreIndices(std::uint8_t* row) const;
    void StoreRGB(std::uint8_t* row) const;

    TCodecByteReader in_;
    const TPCXHeader& h_;
    TPixelGraphic& g_;
    std::vector<std::uint8_t> line_;
};

// A run never carries into the next line.
void TPCXDecoder::DecodeLine()
{
    std::uint8_t* out = line_.data();
    std::uint8_t* const end = out + line_.size();
    while (out < end) {
        const std::span<const std::uint8_t> window = in_.Window();
        const std::uint8_t* p = window.data();
        // The last byte of the window is left to the careful path below, so
        // a run's value byte is always at hand here.
        const std::uint8_t* const stop = p + window.size() - (window.empty() ? 0 : 1);
        while (out < end && p < stop) {
            // Literals and runs are taken without a branch between them: in
            // a photograph they alternate at random.
            const std::uint8_t b = p[0];
            const bool run = (b & 0xC0) == 0xC0;
            const std::uint8_t value = run ? p[1] : b;
            const std::ptrdiff_t count = run ? (b & 0x3F) : 1;
            p += run ? 2 : 1;
            if (count == 1) {
                *out++ = value;
            } else {
                const std::ptrdiff_t n = std::min(count, end - out);
                std::memset(out, value, static_cast<std::size_t>(n));
                out += n;
            }
        }
        in_.Take(static_cast<std::size_t>(p - window.data()));
        if (out < end && p >= stop)
            DecodeToken(out, end);
    }
}

void TPCXDecoder::DecodeToken(std::uint8_t*& out, std::uint8_t* end)
{
    const std::uint8_t b = in_.U8();
    if ((b & 0xC0) != 0xC0) {
        *out++ = b;
        return;
    }
    const std::uint8_t value = in_.U8();
    const std::ptrdiff_t count = std::min<std::ptrdiff_t>(b & 0x3F, end - out);
    std::memset(out, value, static_cast<std::size_t>(count));
    out += count;
}

void TPCXDecoder::StoreLine(std::uint8_t* row)
{
    // What a short line does not reach stays 0.
    if (std::int64_t{h_.BytesPerLine} * 8 < std::int64_t{g_.GetWidth()} * h_.BitsPerPixel)
        std::memset(row, 0, static_cast<std::size_t>(g_.GetStride()));
    if (line_.empty())
        return;
    switch (h_.BitCount()) {
    case 1:
        StoreOnePlaneBits(row);
        break;
    case 4:
        StoreFourPlaneBits(row);
        break;
    case 8:
        StoreIndices(row);
        break;
    default:
        StoreRGB(row);
        break;
    }
}

// Bytes-per-line may be shorter or longer than a row: only the part that
// both hold is copied.
void TPCXDecoder::StoreOnePlaneBits(std::uint8_t* row) const
{
    const int width = g_.GetWidth();
    const int rowBytes = (width + 7) / 8;
    const int n = std::min(rowBytes, h_.BytesPerLine);
    std::memcpy(row, line_.data(), static_cast<std::size_t>(n));
    if (n == rowBytes && width % 8 != 0)
        row[n - 1] &= static_cast<std::uint8_t>(0xFF00 >> (width % 8));
}

void TPCXDecoder::StoreFourPlaneBits(std::uint8_t* row) const
{
    static const std::array<std::uint32_t, 256> spread = MakePlaneSpread();
    const int width = g_.GetWidth();
    const int n = std::min((width + 7) / 8, h_.BytesPerLine);
    for (int i = 0; i < n; ++i) {
        std::uint32_t v = 0;
        for (int p = 0; p < 4; ++p)
            v |= spread[line_[static_cast<std::size_t>(p * h_.BytesPerLine + i)]] << p;
        for (int k = 0; k < 4; ++k)
            row[4 * i + k] = static_cast<std::uint8_t>(v >> (8 * k));
    }
    // Pixels past the width stay 0.
    const int used = (width + 1) / 2;
    if (n * 4 >= used) {
        std::memset(row + used, 0, static_cast<std::size_t>(n * 4 - used));
        if (width & 1)
            row[used - 1] &= 0xF0;
    }
}

void TPCXDecoder::StoreIndices(std::uint8_t* row) const
{
    std::memcpy(row, line_.data(), static_cast<std::size_t>(std::min(g_.GetWidth(), h_.BytesPerLine)));
}

void TPCXDecoder::StoreRGB(std::uint8_t* row) const
{
    const int n = std::min(g_.GetWidth(), h_.BytesPerLine);
    const std::uint8_t* red = line_.data();
    const std::uint8_t* green = red + h_.BytesPerLine;
    const std::uint8_t* blue = green + h_.BytesPerLine;
    for (int x = 0; x < n; ++x, row += 3) {
        row[0] = blue[x];
        row[1] = green[x];
        row[2] = red[x];
    }
}

} // namespace

TPCXFileFormatReader::TPCXFileFormatReader() : TFileFormatReader("pcx", "Paintbrush") {}

bool TPCXFileFormatReader::CanRead(TFileHeader Header) const
{
    return Header[0] == 0x0A;
}

void TPCXFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    if (Index != 0)
        PCXErrors.RaiseMessage(msgInvalid, "Index");
    Graphic.SetGamma(DefaultGamma);
    const std::int64_t start = Stream.GetPosition();
    TCodecReader in(Stream, PCXErrors);
    const TPCXHeader h = ReadHeader(in);
    CheckLayout(h);
    const int bits = h.BitCount();
    std::vector<TColor> endPalette;
    if (bits == 8)
        endPalette = ReadEndPalette(Stream, start);
    CheckImageSize(PCXErrors, h.Width(), h.Height(), bits);
    // A file that cannot hold its lines is refused before pixel memory is taken.
    if (MinEncodedLine(std::int64_t{h.Planes} * h.BytesPerLine) * h.Height() > in.Remaining())
        PCXErrors.RaiseMessage(msgUnexpectedEnd);
    Graphic.SetDimensions(h.Width(), h.Height(), TPixelGraphic::BitCountToPixelFormat(bits));
    SetPalette(h, endPalette, Graphic);
    TCodecProgressScope progress(Graphic);
    TPCXDecoder(Stream, h, Graphic).Run();
}

void TPCXFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                               ImageCount);
    if (Index != 0)
        PCXErrors.RaiseMessage(msgInvalidValue, "Index");
    TCodecReader in(Stream, PCXErrors);
    const TPCXHeader h = ReadHeader(in);
    CheckHeader(h);
    BitCount = h.BitCount();
    Width = h.Width();
    Height = h.Height();
    switch (h.Version) {
    case 0:
        SubFormat = "Version 2.5 (0)";
        break;
    case 2:
        SubFormat = "Version 2.8 (2) with Palette";
        break;
    case 3:
        SubFormat = "Version 2.8 (3) without Palette";
        break;
    case 5:
        SubFormat = "Version 3.0 (5)";
        break;
    default:
        break;
    }
    if (BitCount == 24)
        Colors = "16.7M";
}

} // namespace lumeno
