#include "imagelib/codecs/tga_reader.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumeno {

namespace {

constexpr int TGAHeaderSize = 18;

struct TTGAHeader {
    int IdLength = 0;
    int ColorMapType = 0;
    int ImageType = 0;
    int ColorMapFirst = 0;
    int ColorMapLength = 0;
    int ColorMapEntrySize = 0;
    int Width = 0;
    int Height = 0;
    int PixelDepth = 0;
    int Descriptor = 0;

    bool RunLength() const { return (ImageType & 8) != 0; }
    bool RightToLeft() const { return (Descriptor & 0x10) != 0; }
    bool TopDown() const { return (Descriptor & 0x20) != 0; }
    int PixelBytes() const { return PixelDepth / 8; }
    // 15-bit entries are stored in two bytes.
    int EntryBytes() const { return (ColorMapEntrySize + 7) / 8; }
    bool KnownType() const
    {
        switch (ImageType) {
        case 1:
        case 2:
        case 3:
        case 9:
        case 10:
        case 11:
            return true;
        default:
            return false;
        }
    }
};

TTGAHeader ReadHeader(TCodecByteReader& in)
{
    std::uint8_t b[TGAHeaderSize];
    in.Read(b, TGAHeaderSize);
    TTGAHeader h;
    h.IdLength = b[0];
    h.ColorMapType = b[1];
    h.ImageType = b[2];
    h.ColorMapFirst = GetU16LE(b + 3);
    h.ColorMapLength = GetU16LE(b + 5);
    h.ColorMapEntrySize = b[7];
    h.Width = GetU16LE(b + 12);
    h.Height = GetU16LE(b + 14);
    h.PixelDepth = b[16];
    h.Descriptor = b[17];
    return h;
}

TColor Color16(std::uint32_t v)
{
    return RGB((v >> 10 & 31) << 3, (v >> 5 & 31) << 3, (v & 31) << 3);
}

// The colour map as palette entries: entry k of the file is palette entry
// first + k; entries past 256 are skipped.
std::vector<TColor> ReadColorMap(TCodecByteReader& in, const TTGAHeader& h)
{
    const int size = h.ColorMapEntrySize;
    if (size != 15 && size != 16 && size != 24 && size != 32)
        TGAErrors.RaiseMessage(msgNotSupported);
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(h.ColorMapLength) * h.EntryBytes());
    in.Read(raw.data(), static_cast<std::int64_t>(raw.size()));
    std::vector<TColor> palette(static_cast<std::size_t>(std::min(h.ColorMapFirst + h.ColorMapLength, 256)));
    for (int k = 0; h.ColorMapFirst + k < static_cast<int>(palette.size()); ++k) {
        const std::uint8_t* e = raw.data() + static_cast<std::ptrdiff_t>(k) * h.EntryBytes();
        palette[static_cast<std::size_t>(h.ColorMapFirst + k)] =
            h.EntryBytes() == 2 ? Color16(GetU16LE(e)) : RGB(e[2], e[1], e[0]);
    }
    return palette;
}

// The decoding of one file's pixels; lives for one call.
class TTGADecoder {
public:
    TTGADecoder(TCodecByteReader& in, const TTGAHeader& h, TPixelGraphic& g)
        : in_(in), h_(h), g_(g), pixelBytes_(h.PixelBytes())
    {
    }

    void Run()
    {
        const bool direct = !h_.RunLength() && !h_.RightToLeft() && (pixelBytes_ == 1 || pixelBytes_ == 3);
        if (!direct)
            row_.resize(static_cast<std::size_t>(h_.Width) * static_cast<std::size_t>(pixelBytes_));
        for (int r = 0; r < h_.Height; ++r) {
            std::uint8_t* dst = g_.GetScanLine(h_.TopDown() ? r : h_.Height - 1 - r);
            if (direct) {
                in_.Read(dst, std::int64_t{h_.Width} * pixelBytes_);
            } else {
                if (h_.RunLength())
                    DecodePackets();
                else
                    in_.Read(row_.data(), static_cast<std::int64_t>(row_.size()));
                StoreRow(dst);
            }
            if (g_.Progress(r, h_.Height))
                return;
        }
    }

private:
    void DecodePackets();
    void StoreRow(std::uint8_t* dst) const;

    TCodecByteReader& in_;
    const TTGAHeader& h_;
    TPixelGraphic& g_;
    const int pixelBytes_;
    std::vector<std::uint8_t> row_;
    // A packet may run on into the next row.
    int packetLeft_ = 0;
    bool packetIsRun_ = false;
    std::uint8_t runValue_[4] = {};
};

void TTGADecoder::DecodePackets()
{
    const int width = h_.Width;
    const std::size_t bytes = static_cast<std::size_t>(pixelBytes_);
    int x = 0;
    while (x < width) {
        if (packetLeft_ == 0) {
            const std::uint8_t header = in_.U8();
            packetLeft_ = (header & 0x7F) + 1;
            packetIsRun_ = (header & 0x80) != 0;
            if (packetIsRun_)
                in_.Read(runValue_, pixelBytes_);
        }
        const int n = std::min(packetLeft_, width - x);
        std::uint8_t* out = row_.data() + static_cast<std::size_t>(x) * bytes;
        if (!packetIsRun_)
            in_.Read(out, std::int64_t{n} * pixelBytes_);
        else if (bytes == 1)
            std::memset(out, runValue_[0], static_cast<std::size_t>(n));
        else
            for (int i = 0; i < n; ++i, out += bytes)
                std::memcpy(out, runValue_, bytes);
        x += n;
        packetLeft_ -= n;
    }
}

void TTGADecoder::StoreRow(std::uint8_t* dst) const
{
    const int width = h_.Width;
    const std::uint8_t* src = row_.data();
    // Right-to-left files fill the row from its end.
    const std::ptrdiff_t outBytes = pixelBytes_ == 1 ? 1 : 3;
    const std::ptrdiff_t step = h_.RightToLeft() ? -outBytes : outBytes;
    std::uint8_t* out = h_.RightToLeft() && width > 0 ? dst + (width - 1) * outBytes : dst;
    for (int x = 0; x < width; ++x, src += pixelBytes_, out += step) {
        switch (pixelBytes_) {
        case 1:
            out[0] = src[0];
            break;
        case 2: {
            const TColor c = Color16(GetU16LE(src));
            out[0] = static_cast<std::uint8_t>(GetBValue(c));
            out[1] = static_cast<std::uint8_t>(GetGValue(c));
            out[2] = static_cast<std::uint8_t>(GetRValue(c));
            break;
        }
        default:
            out[0] = src[0];
            out[1] = src[1];
            out[2] = src[2];
            break;
        }
    }
}

} // namespace

TTGAFileFormatReader::TTGAFileFormatReader() : TFileFormatReader("tga", "Truevision Targa")
{
    ProbeContent = false;
}

void TTGAFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    if (Index != 0)
        TGAErrors.RaiseMessage(msgInvalid, "Index");
    TCodecByteReader in(Stream, TGAErrors);
    const TTGAHeader h = ReadHeader(in);
    const int depth = h.PixelDepth;
    if ((depth != 8 && depth != 16 && depth != 24 && depth != 32) || !h.KnownType())
        TGAErrors.RaiseMessage(msgNotSupported);
    in.Skip(h.IdLength);
    std::vector<TColor> palette;
    if (h.ColorMapType == 1) {
        if (depth == 8)
            palette = ReadColorMap(in, h);
        else
            in.Skip(std::int64_t{h.ColorMapLength} * h.EntryBytes());
    }
    const int bits = depth == 8 ? 8 : 24;
    CheckImageSize(TGAErrors, h.Width, h.Height, bits);
    // A packet holds at least one pixel value and yields at most 128 pixels:
    // a file that cannot hold its pixels is refused before pixel memory is
    // taken.
    const std::int64_t pixels = std::int64_t{h.Width} * h.Height;
    const std::int64_t least =
        h.RunLength() ? (pixels + 127) / 128 * (1 + h.PixelBytes()) : pixels * h.PixelBytes();
    if (least > in.Remaining())
        TGAErrors.RaiseMessage(msgUnexpectedEnd);
    Graphic.SetDimensions(h.Width, h.Height, TPixelGraphic::BitCountToPixelFormat(bits));
    if (depth == 8 && h.ColorMapType == 1) {
        Graphic.SetPaletteSize(static_cast<int>(palette.size()));
        for (std::size_t i = 0; i < palette.size(); ++i)
            Graphic.SetPaletteEntry(static_cast<int>(i), palette[i]);
    } else if (depth == 8) {
        Graphic.SetPaletteType(pGray256);
    }
    if (h.Height == 0)
        return;
    TCodecProgressScope progress(Graphic);
    TTGADecoder(in, h, Graphic).Run();
}

void TTGAFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                               ImageCount);
    if (Index != 0)
        TGAErrors.RaiseMessage(msgInvalidValue, "Index");
    TCodecByteReader in(Stream, TGAErrors, TGAHeaderSize);
    const TTGAHeader h = ReadHeader(in);
    if (!h.KnownType())
        TGAErrors.RaiseMessage(msgInvalidValue, "ImageType");
    SubFormat = h.RunLength() ? "Run-length encoded" : "Uncompressed";
    switch (h.ImageType & 7) {
    case 1:
        Remarks = "Color-mapped";
        break;
    case 2:
        Remarks = "True-color";
        break;
    default:
        Remarks = "\"Black-and-white\"";
        break;
    }
    Width = h.Width;
    Height = h.Height;
    BitCount = h.PixelDepth;
    if (BitCount == 24)
        Colors = "16.7M";
    else if (BitCount > 24)
        Colors = "16.7M ?";
}

} // namespace lumeno
