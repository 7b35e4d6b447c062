#include "imagelib/codecs/pnm_reader.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/codecs/red_blue_swap.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace lumeno {

namespace {

// The index error alone has carried this shorter prefix.
const TCodecErrorsOf<EPGPxMFileFormatReader> PxMIndexErrors("PxM: ");

// Numbers stop growing here: far above any valid size or sample, far below
// an overflow when a sample is scaled.
constexpr std::uint64_t NumberCeiling = std::uint64_t{1} << 40;

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

// The ASCII tokens of a header and of the ASCII variants' pixels. A '#'
// starts a comment that runs to the line feed and reads as that line feed.
class TPxMLexer {
public:
    explicit TPxMLexer(TCodecByteReader& in) : in_(in) {}

    // Skips everything but digits, then takes digits up to and including the
    // first non-digit.
    std::uint64_t Number()
    {
        int c = FirstDigit();
        std::uint64_t v = 0;
        do {
            v = std::min(v * 10 + static_cast<std::uint64_t>(c - '0'), NumberCeiling);
            c = Next();
        } while (IsDigit(c));
        return v;
    }

    // One plain-bitmap pixel: a single digit, separators optional.
    bool BitIsSet() { return FirstDigit() != '0'; }

private:
    // The next character, -1 at the end of the data.
    int Next()
    {
        const int c = in_.Peek();
        if (c < 0)
            return c;
        in_.U8();
        if (c != '#')
            return c;
        for (int k = in_.Peek(); k >= 0 && k != '\n'; k = in_.Peek())
            in_.U8();
        if (in_.Peek() == '\n')
            in_.U8();
        return '\n';
    }

    int FirstDigit()
    {
        for (;;) {
            const int c = Next();
            if (c < 0)
                PxMReaderErrors.RaiseMessage(msgUnexpectedEnd);
            if (IsDigit(c))
                return c;
        }
    }

    TCodecByteReader& in_;
};

struct TPxMHeader {
    char Variant = 0; // '1' .. '6'
    std::int64_t Width = 0;
    std::int64_t Height = 0;
    std::uint64_t Maximum = 1;

    bool Binary() const { return Variant >= '4'; }
    bool Bitmap() const { return Variant == '1' || Variant == '4'; }
    bool Pixmap() const { return Variant == '3' || Variant == '6'; }
    int BitCount() const { return Bitmap() ? 1 : Pixmap() ? 24 : 8; }
    std::int64_t RowBytes() const { return Bitmap() ? (Width + 7) / 8 : Pixmap() ? 3 * Width : Width; }
};

// 'P' and the variant digit.
char ReadVariant(TCodecByteReader& in)
{
    if (in.U8() != 'P')
        PxMReaderErrors.RaiseMessage(msgNotAFile, "PBM, PGM, PPM");
    const char variant = static_cast<char>(in.U8());
    if (variant < '1' || variant > '6')
        PxMReaderErrors.RaiseMessage(msgUnknownSubformat);
    return variant;
}

void ReadSize(TPxMLexer& lex, TPxMHeader& h)
{
    h.Width = static_cast<std::int64_t>(lex.Number());
    h.Height = static_cast<std::int64_t>(lex.Number());
    if (!h.Bitmap())
        h.Maximum = lex.Number();
    // A maximum of 0 would be a division by zero when samples are scaled.
    if (h.Width == 0 || h.Height == 0 || h.Maximum == 0 || (h.Binary() && h.Maximum >= 256))
        PxMReaderErrors.RaiseMessage(msgNotSupported);
}

// Sample v of a file with this maximum on 0..255; values above the maximum
// count as the maximum.
std::uint8_t Scale(std::uint64_t v, std::uint64_t maximum)
{
    return static_cast<std::uint8_t>(std::min(v, maximum) * 255 / maximum);
}

std::array<std::uint8_t, 256> ScaleTable(std::uint64_t maximum)
{
    std::array<std::uint8_t, 256> t{};
    for (std::uint64_t v = 0; v < 256; ++v)
        t[v] = Scale(v, maximum);
    return t;
}

// The pixels of one file; lives for one call.
class TPxMDecoder {
public:
    TPxMDecoder(TCodecByteReader& in, const TPxMHeader& h, TPixelGraphic& g)
        : in_(in), lex_(in), h_(h), g_(g), scale_(ScaleTable(h.Maximum))
    {
    }

    void Run()
    {
        const int height = g_.GetHeight();
        for (int y = 0; y < height; ++y) {
            ReadRow(g_.GetScanLine(y));
            if (g_.Progress(y, height))
                return;
        }
    }

private:
    void ReadRow(std::uint8_t* row);
    void ReadPlainBits(std::uint8_t* row);
    void ReadRawBytes(std::uint8_t* row);
    void ReadRawRGB(std::uint8_t* row);

    TCodecByteReader& in_;
    TPxMLexer lex_;
    const TPxMHeader& h_;
    TPixelGraphic& g_;
    const std::array<std::uint8_t, 256> scale_;
    std::vector<std::uint8_t> raw_; // a binary row as the file holds it
};

void TPxMDecoder::ReadRow(std::uint8_t* row)
{
    const int width = g_.GetWidth();
    switch (h_.Variant) {
    case '1':
        ReadPlainBits(row);
        break;
    case '2':
        for (int x = 0; x < width; ++x)
            row[x] = Scale(lex_.Number(), h_.Maximum);
        break;
    case '3':
        for (int x = 0; x < width; ++x, row += 3) {
            row[2] = Scale(lex_.Number(), h_.Maximum);
            row[1] = Scale(lex_.Number(), h_.Maximum);
            row[0] = Scale(lex_.Number(), h_.Maximum);
        }
        break;
    case '4':
        // File bit 1 is black, image bit 0 is black.
        in_.Read(row, h_.RowBytes());
        for (std::int64_t i = 0; i < h_.RowBytes(); ++i)
            row[i] = static_cast<std::uint8_t>(~row[i]);
        break;
    case '5':
        ReadRawBytes(row);
        break;
    default:
        ReadRawRGB(row);
        break;
    }
}

void TPxMDecoder::ReadPlainBits(std::uint8_t* row)
{
    const int width = g_.GetWidth();
    for (int x = 0; x < width; x += 8) {
        std::uint8_t b = 0;
        for (int k = 0; k < 8 && x + k < width; ++k) {
            if (!lex_.BitIsSet())
                b |= static_cast<std::uint8_t>(0x80 >> k);
        }
        row[x / 8] = b;
    }
}

void TPxMDecoder::ReadRawBytes(std::uint8_t* row)
{
    in_.Read(row, h_.RowBytes());
    if (h_.Maximum == 255)
        return;
    for (std::int64_t i = 0; i < h_.RowBytes(); ++i)
        row[i] = scale_[row[i]];
}

// Turned from red-green-blue into the image's blue-green-red on the way
// from a row buffer (turning in place would stall every vector load on the
// store before it), or in place where samples are scaled.
void TPxMDecoder::ReadRawRGB(std::uint8_t* row)
{
    if (h_.Maximum == 255) {
        raw_.resize(static_cast<std::size_t>(h_.RowBytes()));
        in_.Read(raw_.data(), h_.RowBytes());
        SwapRedBlue(raw_.data(), row, static_cast<std::size_t>(h_.Width));
        return;
    }
    in_.Read(row, h_.RowBytes());
    std::uint8_t* const end = row + h_.RowBytes();
    const std::uint8_t* t = scale_.data();
    for (std::uint8_t* p = row; p < end; p += 3) {
        const std::uint8_t red = p[0];
        p[0] = t[p[2]];
        p[1] = t[p[1]];
        p[2] = t[red];
    }
}

} // namespace

TPxMFileFormatReader::TPxMFileFormatReader(std::string extension, std::string description, char asciiVariant,
                                           char binaryVariant)
    : TFileFormatReader(std::move(extension), std::move(description)), asciiVariant_(asciiVariant),
      binaryVariant_(binaryVariant)
{
}

bool TPxMFileFormatReader::CanRead(TFileHeader Header) const
{
    return Header[0] == 'P' && (Header[1] == asciiVariant_ || Header[1] == binaryVariant_);
}

void TPxMFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    if (Index != 0)
        PxMIndexErrors.RaiseMessage(msgInvalid, "Index");
    Graphic.SetGamma(DefaultGamma);
    TCodecByteReader in(Stream, PxMReaderErrors);
    TPxMHeader h;
    h.Variant = ReadVariant(in);
    const std::uint8_t format = TPixelGraphic::BitCountToPixelFormat(h.BitCount());
    Graphic.SetDimensions(0, 0, format);
    if (h.Bitmap())
        Graphic.SetPaletteType(pBlackWhite);
    else if (!h.Pixmap())
        Graphic.SetPaletteType(pGray256);
    TPxMLexer lex(in);
    ReadSize(lex, h);
    CheckImageSize(PxMReaderErrors, h.Width, h.Height, h.BitCount());
    // Every sample takes at least one byte (a character in ASCII): a file
    // that cannot hold its pixels is refused before pixel memory is taken.
    const std::int64_t least = h.Binary() ? h.RowBytes() : h.Width * (h.Pixmap() ? 3 : 1);
    if (least * h.Height > in.Remaining())
        PxMReaderErrors.RaiseMessage(msgUnexpectedEnd);
    Graphic.SetDimensions(static_cast<int>(h.Width), static_cast<int>(h.Height), format);
    TCodecProgressScope progress(Graphic);
    TPxMDecoder(in, h, Graphic).Run();
}

void TPxMFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                               ImageCount);
    if (Index != 0)
        PxMIndexErrors.RaiseMessage(msgInvalidValue, "Index");
    TCodecByteReader in(Stream, PxMReaderErrors);
    TPxMHeader h;
    h.Variant = ReadVariant(in);
    TPxMLexer lex(in);
    ReadSize(lex, h);
    CheckImageSize(PxMReaderErrors, h.Width, h.Height, h.BitCount());
    SubFormat = h.Binary() ? "Binary" : "ASCII";
    BitCount = h.BitCount();
    Width = static_cast<int>(h.Width);
    Height = static_cast<int>(h.Height);
    if (BitCount == 24)
        Colors = "16.7M";
}

} // namespace lumeno
