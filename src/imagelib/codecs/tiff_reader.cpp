#include "imagelib/codecs/tiff_reader.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/codecs/packbits.h"
#include "imagelib/codecs/tiff_directory.h"
#include "imagelib/codecs/tiff_format.h"
#include "imagelib/pixel_graphic.h"
#include "platform/dialogs.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace lumeno {

namespace {

const TCodecErrorsOf<EPGTIFFileFormatReader> PackBitsErrors("TIFF (PackBits): ");

constexpr const char* StripCountText = "NumStripOffsets<>(ImageLength+RowsPerStrip-1) div RowsPerStrip";

// The reader raises its own error at the end of the data.
struct TPackBitsReaderSource {
    TCodecByteReader& In;
    bool Byte(std::uint8_t& value)
    {
        value = In.U8();
        return true;
    }
    bool Bytes(std::uint8_t* dest, std::size_t count)
    {
        In.Read(dest, static_cast<std::int64_t>(count));
        return true;
    }
};

void DecodePackBitsRow(TCodecByteReader& in, std::uint8_t* row, std::size_t rowSize, int y)
{
    TPackBitsReaderSource source{in};
    if (!PackBitsDecodeRow(source, row, rowSize))
        PackBitsErrors.Raise("Invalid count of bytes in row " + std::to_string(y));
}

void InvertBytes(const std::uint8_t* src, std::uint8_t* dst, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        dst[i] = static_cast<std::uint8_t>(~src[i]);
}

// A fixed stride lets the compiler keep this loop tight.
template <int Samples>
void RGBToBGR(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst, int width)
{
    for (int x = 0; x < width; ++x, src += Samples, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

void CMYKToBGR(const std::uint8_t* src, std::uint8_t* dst, int width)
{
    for (int x = 0; x < width; ++x, src += 4, dst += 3) {
        const int k = src[3];
        dst[0] = static_cast<std::uint8_t>(std::max(0, 255 - src[2] - k));
        dst[1] = static_cast<std::uint8_t>(std::max(0, 255 - src[1] - k));
        dst[2] = static_cast<std::uint8_t>(std::max(0, 255 - src[0] - k));
    }
}

// The decoding of one image; lives for one call.
class TTIFFDecoder {
public:
    TTIFFDecoder(TTIFFParser& parser, const TTIFFDirectory& d, TStream& stream, TPixelGraphic& g)
        : d_(d), g_(g), stream_(stream), start_(parser.Start()), size_(parser.Size())
    {
    }

    void Run();

private:
    void CheckCompression() const;
    void CheckStripCount();
    void CheckStripsCanFill() const;
    std::uint64_t RowSize() const
    {
        return (std::uint64_t{d_.ImageWidth} * d_.BitsPerSample[0] * d_.SamplesPerPixel + 7) / 8;
    }
    void SetUpImage();
    void ConvertRow(const std::uint8_t* src, std::uint8_t* dst) const;
    void MoveToStrip(std::int64_t offset);

    TTIFFDirectory d_;
    TPixelGraphic& g_;
    TStream& stream_;
    std::int64_t start_;
    std::int64_t size_;
    std::optional<TCodecByteReader> in_; // the current strip up to the end of the file
};

void TTIFFDecoder::MoveToStrip(std::int64_t offset)
{
    if (offset > size_)
        TIFFReaderErrors.RaiseMessage(msgUnexpectedEnd);
    // Strips usually follow each other: skip forward within what is buffered.
    const std::int64_t at = in_ ? size_ - in_->Remaining() : -1;
    if (offset >= at && at >= 0) {
        in_->Skip(offset - at);
        return;
    }
    stream_.SetPosition(start_ + offset);
    in_.emplace(stream_, TIFFReaderErrors);
}

void TTIFFDecoder::CheckCompression() const
{
    switch (d_.Compression) {
    case TIFFNoCompression:
    case TIFFPackBits:
        return;
    case 2:
        TIFFReaderErrors.Raise("Unsupported compression CCITT 1D");
    case 3:
        TIFFReaderErrors.Raise("Unsupported compression Group 3 Fax");
    case 4:
        TIFFReaderErrors.Raise("Unsupported compression Group 4 Fax");
    case 5:
        TIFFReaderErrors.Raise("Unsupported compression LZW");
    case 6:
        TIFFReaderErrors.Raise("Unsupported compression JPEG");
    default:
        TIFFReaderErrors.Raise("Unsupported compression " + std::to_string(d_.Compression));
    }
}

bool AcceptWarning(TPGWarningAction action, const std::string& text)
{
    switch (action) {
    case pgwaIgnore:
        return true;
    case pgwaOKBox:
        MessageBox(text, "TIFF-Warning", MB_OK | MB_ICONWARNING);
        return true;
    case pgwaOKCancelBox:
        return MessageBox(text, "TIFF-Warning", MB_OKCANCEL | MB_ICONWARNING) == mrOk;
    default:
        return false;
    }
}

void TTIFFDecoder::CheckStripCount()
{
    const std::uint64_t strips = (d_.ImageLength + d_.RowsPerStrip - 1) / d_.RowsPerStrip;
    if (strips == d_.StripOffsets.size())
        return;
    if (d_.StripOffsets.size() == 1 &&
        AcceptWarning(g_.GetReadWarningAction(), TIFFReaderErrors.Prefix() + StripCountText))
        d_.RowsPerStrip = d_.ImageLength;
    else
        TIFFReaderErrors.Raise(StripCountText);
}

// Strips do not overlap, so their smallest encodings together fit in the
// file: a directory promising more rows is refused before pixel memory is
// taken. A PackBits run gives at most 128 bytes for two.
void TTIFFDecoder::CheckStripsCanFill() const
{
    const std::uint64_t rowSize = RowSize();
    const std::uint64_t minRow = d_.Compression == TIFFPackBits ? (rowSize + 127) / 128 * 2 : rowSize;
    std::uint64_t total = 0;
    std::uint64_t rowsLeft = d_.ImageLength;
    for (std::uint32_t offset : d_.StripOffsets) {
        const std::uint64_t need = std::min<std::uint64_t>(rowsLeft, d_.RowsPerStrip) * minRow;
        rowsLeft -= std::min<std::uint64_t>(rowsLeft, d_.RowsPerStrip);
        total += need;
        if (offset + need > static_cast<std::uint64_t>(size_) || total > static_cast<std::uint64_t>(size_))
            TIFFReaderErrors.RaiseMessage(msgUnexpectedEnd);
    }
}

void TTIFFDecoder::SetUpImage()
{
    const std::uint32_t bits = d_.SingleSampleBits();
    const int depth = bits == 0 ? 24 : static_cast<int>(bits);
    CheckImageSize(TIFFReaderErrors, d_.ImageWidth, d_.ImageLength, depth);
    if (d_.Photometric == phPalette && bits > 1 && d_.ColorMap.size() < 3u << bits)
        TIFFReaderErrors.RaiseMessage(msgInvalid, "ColorMap");
    CheckStripsCanFill();
    g_.SetDimensions(static_cast<int>(d_.ImageWidth), static_cast<int>(d_.ImageLength),
                     TPixelGraphic::BitCountToPixelFormat(depth));
    if (bits == 1) {
        g_.SetPaletteType(pBlackWhite);
    } else if (bits != 0 && d_.Photometric != phPalette) {
        g_.SetPaletteType(bits == 4 ? pGray16 : pGray256);
    } else if (bits != 0) {
        const int n = 1 << bits;
        g_.SetPaletteSize(n);
        const std::uint32_t* map = d_.ColorMap.data();
        for (int i = 0; i < n; ++i)
            g_.SetPaletteEntry(
                i, RGB(map[i] / 256 & 0xFF, map[n + i] / 256 & 0xFF, map[2 * n + i] / 256 & 0xFF));
    }
}

void TTIFFDecoder::ConvertRow(const std::uint8_t* src, std::uint8_t* dst) const
{
    const int width = static_cast<int>(d_.ImageWidth);
    switch (d_.SingleSampleBits()) {
    case 0:
        if (d_.Photometric == phCMYK)
            CMYKToBGR(src, dst, width);
        else if (d_.SamplesPerPixel == 3)
            RGBToBGR<3>(src, dst, width);
        else
            RGBToBGR<4>(src, dst, width);
        return;
    default: {
        // Palette and grey rows have the image's own layout, high bits first.
        const std::size_t bytes = (static_cast<std::size_t>(d_.BitsPerSample[0]) * width + 7) / 8;
        if (d_.Photometric == phWhiteIsZero)
            InvertBytes(src, dst, bytes);
        else
            std::memcpy(dst, src, bytes);
    }
    }
}

void TTIFFDecoder::Run()
{
    CheckCompression();
    CheckStripCount();
    SetUpImage();
    const std::uint64_t rowSize = RowSize();
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowSize));
    const int height = static_cast<int>(d_.ImageLength);
    const bool packBits = d_.Compression == TIFFPackBits;
    TCodecProgressScope progress(g_);
    for (int y = 0; y < height; ++y) {
        if (y % d_.RowsPerStrip == 0)
            MoveToStrip(d_.StripOffsets[static_cast<std::size_t>(y / d_.RowsPerStrip)]);
        if (packBits)
            DecodePackBitsRow(*in_, row.data(), row.size(), y);
        else
            in_->Read(row.data(), static_cast<std::int64_t>(row.size()));
        ConvertRow(row.data(), g_.GetScanLine(y));
        if (g_.Progress(y + 1, height))
            return;
    }
}

std::string CompressionText(std::uint32_t compression)
{
    switch (compression) {
    case 1:
        return "Uncompr.";
    case 2:
        return "CCITT 1D";
    case 3:
        return "Group 3 F.";
    case 4:
        return "Group 4 F.";
    case 5:
        return "LZW";
    case 6:
        return "JPEG";
    case TIFFPackBits:
        return "PackBits";
    default:
        return std::to_string(compression);
    }
}

std::string PhotometricText(std::uint32_t photometric)
{
    switch (photometric) {
    case phWhiteIsZero:
        return ", WhiteIsZero";
    case phBlackIsZero:
        return ", BlackIsZero";
    case phRGB:
        return ", RGB";
    case phPalette:
        return ", RGB Palette";
    case phCMYK:
        return ", CMYK";
    default:
        TIFFReaderErrors.Raise("Unsupported photometric interpretation " + std::to_string(photometric));
    }
}

// "16.7 M" from 24 bits on; 16-bit grey and other odd depths name no count.
std::string ColorsText(int bitCount)
{
    return bitCount >= 24 ? "16.7 M" : ColorCountText(bitCount, "");
}

} // namespace

TTIFFileFormatReader::TTIFFileFormatReader() : TFileFormatReader("tif", "Tagged Image File Format") {}

bool TTIFFileFormatReader::CanRead(TFileHeader Header) const
{
    return (Header[0] == 'I' && Header[1] == 'I' && Header[2] == 42 && Header[3] == 0) ||
           (Header[0] == 'M' && Header[1] == 'M' && Header[2] == 0 && Header[3] == 42);
}

void TTIFFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    TTIFFParser parser(Stream);
    int count = 0;
    TTIFFDirectory d = ReadChosenDirectory(parser, Index, count);
    CheckDirectory(d);
    TTIFFDecoder(parser, d, Stream, Graphic).Run();
}

void TTIFFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                               ImageCount);
    TTIFFParser parser(Stream);
    const TTIFFDirectory d = ReadChosenDirectory(parser, Index, ImageCount);
    SubFormat = std::string(parser.BigEndian() ? "M, " : "I, ") + CompressionText(d.Compression) +
                PhotometricText(d.Photometric);
    if (d.Compression >= 2 && d.Compression <= 6)
        Remarks = "(Unsupported compression)";
    Width = static_cast<int>(d.ImageWidth);
    Height = static_cast<int>(d.ImageLength);
    BitCount = d.BitCount();
    Colors = ColorsText(BitCount);
}

} // namespace lumeno
