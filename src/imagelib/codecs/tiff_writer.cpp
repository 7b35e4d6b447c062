#include "imagelib/codecs/tiff_writer.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/codecs/packbits.h"
#include "imagelib/codecs/tiff_format.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumeno {

namespace {

constexpr std::int64_t MaxStripBytes = 32767;
constexpr std::int64_t MaxFileSize = 0xFFFFFFFF; // offsets are 32-bit

// Bytes in the file's byte order.
class TTIFFBytes {
public:
    explicit TTIFFBytes(bool bigEndian) : bigEndian_(bigEndian) {}

    void U16(std::uint32_t v)
    {
        std::uint8_t b[2];
        bigEndian_ ? PutU16BE(b, static_cast<std::uint16_t>(v)) : PutU16LE(b, static_cast<std::uint16_t>(v));
        bytes_.insert(bytes_.end(), b, b + 2);
    }
    void U32(std::uint32_t v)
    {
        std::uint8_t b[4];
        bigEndian_ ? PutU32BE(b, v) : PutU32LE(b, v);
        bytes_.insert(bytes_.end(), b, b + 4);
    }
    // A directory entry; a single short sits in the first half of the value.
    void Entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value)
    {
        U16(tag);
        U16(type);
        U32(count);
        if (type == ftShort && count == 1) {
            U16(value);
            U16(0);
        } else {
            U32(value);
        }
    }
    std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    bool bigEndian_;
    std::vector<std::uint8_t> bytes_;
};

// How the image goes into the file.
struct TTIFFLayout {
    int Bits = 0; // per sample
    int Samples = 1;
    std::uint32_t Photometric = phBlackIsZero;
    bool Invert = false; // grey values written as WhiteIsZero
    std::int64_t RowSize = 0;
    std::int64_t RowsPerStrip = 0;
    std::int64_t Strips = 0;
    int ColorMapEntries = 0; // 0: no ColorMap
};

bool IsGrey(const TPixelGraphic& g)
{
    switch (g.GetBitsPerPixel()) {
    case 1:
        return true;
    case 4:
        return g.GetPaletteType() == pGray16;
    case 8:
        return g.GetPaletteType() == pGray256;
    default:
        return false;
    }
}

TTIFFLayout PlanLayout(const TPixelGraphic& g, bool packBits)
{
    TTIFFLayout l;
    const int bpp = g.GetBitsPerPixel();
    const std::int64_t width = g.GetWidth();
    if (bpp == 24) {
        l.Bits = 8;
        l.Samples = TIFFWriteCMYK ? 4 : 3;
        l.Photometric = TIFFWriteCMYK ? phCMYK : phRGB;
        l.RowSize = l.Samples * width;
    } else {
        l.Bits = bpp;
        l.RowSize = (bpp * width + 7) / 8;
        if (IsGrey(g)) {
            l.Photometric = TIFFWhiteIsZero ? phWhiteIsZero : phBlackIsZero;
            const TPaletteIdent greyOf[] = {pBlackWhite, pGray16, pGray256};
            l.Invert = TIFFWhiteIsZero && g.GetPaletteType() == greyOf[bpp == 1 ? 0 : bpp == 4 ? 1 : 2];
        } else {
            l.Photometric = phPalette;
            l.ColorMapEntries = 1 << bpp;
        }
    }
    const std::int64_t worstRow = packBits ? 2 * l.RowSize : l.RowSize;
    l.RowsPerStrip = std::clamp<std::int64_t>(MaxStripBytes / worstRow, 1, g.GetHeight());
    l.Strips = (g.GetHeight() + l.RowsPerStrip - 1) / l.RowsPerStrip;
    return l;
}

// Refuses a file whose offsets would not fit in 32 bits.
void CheckFileSize(const TTIFFLayout& l, std::int64_t height, std::int64_t directoryEnd, bool packBits)
{
    const std::int64_t row = packBits ? l.RowSize + (l.RowSize + 127) / 128 : l.RowSize;
    if (directoryEnd + l.Strips + height * row > MaxFileSize)
        TIFFWriterErrors.RaiseMessage(msgInvalidSize, "image");
}

// The image rows as the file stores them.
class TRowPreparer {
public:
    TRowPreparer(const TTIFFLayout& l, int width)
        : l_(l), width_(width), row_(static_cast<std::size_t>(l.RowSize))
    {
    }

    const std::uint8_t* Prepare(const std::uint8_t* src)
    {
        std::uint8_t* dst = row_.data();
        if (l_.Samples == 1)
            CopyIndices(src, dst);
        else if (l_.Samples == 3)
            for (int x = 0; x < width_; ++x, src += 3, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
        else
            for (int x = 0; x < width_; ++x, src += 3, dst += 4)
                ToCMYK(src, dst);
        return row_.data();
    }
    std::size_t Size() const { return row_.size(); }

private:
    void CopyIndices(const std::uint8_t* src, std::uint8_t* dst) const
    {
        const std::size_t n = row_.size();
        if (l_.Invert)
            for (std::size_t i = 0; i < n; ++i)
                dst[i] = static_cast<std::uint8_t>(~src[i]);
        else
            std::memcpy(dst, src, n);
        // Bits past the last pixel are written as 0.
        const int usedBits = static_cast<int>((static_cast<std::int64_t>(width_) * l_.Bits) % 8);
        if (usedBits != 0)
            dst[n - 1] = static_cast<std::uint8_t>(dst[n - 1] & (0xFF << (8 - usedBits)));
    }

    static void ToCMYK(const std::uint8_t* bgr, std::uint8_t* cmyk)
    {
        const int c = 255 - bgr[2], m = 255 - bgr[1], y = 255 - bgr[0];
        const int k = std::min({c, m, y});
        cmyk[0] = static_cast<std::uint8_t>(c - k);
        cmyk[1] = static_cast<std::uint8_t>(m - k);
        cmyk[2] = static_cast<std::uint8_t>(y - k);
        cmyk[3] = static_cast<std::uint8_t>(k);
    }

    const TTIFFLayout& l_;
    int width_;
    std::vector<std::uint8_t> row_;
};

// Where the strip offsets and byte counts go once the strips are written.
struct TStripTables {
    std::int64_t OffsetsAt = 0; // file offset of the entry's value or of the array
    std::int64_t CountsAt = 0;
};

std::uint16_t ResolutionUnit()
{
    return static_cast<std::uint16_t>(std::min<int>(TIFFResolutionUnit, 2) + 1);
}

// Directory and out-of-entry values, for a directory at dirOffset.
TTIFFBytes BuildDirectory(const TPixelGraphic& g, const TTIFFLayout& l, std::int64_t dirOffset,
                          TStripTables& tables)
{
    const bool big = TIFFByteOrder != 0;
    const int entries = l.ColorMapEntries > 0 ? 14 : 13;
    const std::int64_t valuesAt = dirOffset + 2 + std::int64_t{TIFFEntrySize} * entries + 4;
    const std::int64_t colorMapAt = valuesAt;
    const std::int64_t bitsAt = colorMapAt + 6 * std::int64_t{l.ColorMapEntries};
    const std::int64_t bitsSize = l.Samples > 1 ? 2 * l.Samples : 0;
    const std::int64_t xResAt = bitsAt + bitsSize;
    const std::int64_t yResAt = xResAt + 8;
    const std::int64_t offsetsAt = yResAt + 8;
    const std::int64_t countsAt = offsetsAt + 4 * l.Strips;
    const bool oneStrip = l.Strips == 1;
    auto at = [](std::int64_t v) { return static_cast<std::uint32_t>(v); };

    TTIFFBytes d(big);
    d.U16(static_cast<std::uint32_t>(entries));
    d.Entry(tagNewSubfileType, ftLong, 1, 0);
    d.Entry(tagImageWidth, ftLong, 1, at(g.GetWidth()));
    d.Entry(tagImageLength, ftLong, 1, at(g.GetHeight()));
    d.Entry(tagBitsPerSample, ftShort, at(l.Samples), l.Samples > 1 ? at(bitsAt) : at(l.Bits));
    d.Entry(tagCompression, ftShort, 1, at(TIFFCompression));
    d.Entry(tagPhotometricInterpretation, ftShort, 1, l.Photometric);
    tables.OffsetsAt = oneStrip ? d.Size() + dirOffset + 8 : offsetsAt;
    d.Entry(tagStripOffsets, ftLong, at(l.Strips), oneStrip ? 0 : at(offsetsAt));
    d.Entry(tagSamplesPerPixel, ftShort, 1, at(l.Samples));
    d.Entry(tagRowsPerStrip, ftLong, 1, at(l.RowsPerStrip));
    tables.CountsAt = oneStrip ? d.Size() + dirOffset + 8 : countsAt;
    d.Entry(tagStripByteCounts, ftLong, at(l.Strips), oneStrip ? 0 : at(countsAt));
    d.Entry(tagXResolution, ftRational, 1, at(xResAt));
    d.Entry(tagYResolution, ftRational, 1, at(yResAt));
    d.Entry(tagResolutionUnit, ftShort, 1, ResolutionUnit());
    if (l.ColorMapEntries > 0)
        d.Entry(tagColorMap, ftShort, at(3 * l.ColorMapEntries), at(colorMapAt));
    d.U32(0);

    for (int channel = 0; channel < 3 && l.ColorMapEntries > 0; ++channel)
        for (int i = 0; i < l.ColorMapEntries; ++i) {
            const TColor c = i < g.GetPaletteSize() ? g.GetPaletteEntry(i) : 0;
            const int v = channel == 0 ? GetRValue(c) : channel == 1 ? GetGValue(c) : GetBValue(c);
            d.U16(static_cast<std::uint32_t>(v * 256));
        }
    for (std::int64_t i = 0; i < bitsSize / 2; ++i)
        d.U16(8);
    for (const TTIFFResolution& r : {TIFFXResolution, TIFFYResolution}) {
        d.U32(static_cast<std::uint32_t>(r.Numerator));
        d.U32(static_cast<std::uint32_t>(r.Denominator));
    }
    if (!oneStrip)
        for (std::int64_t i = 0; i < 2 * l.Strips; ++i)
            d.U32(0);
    return d;
}

// Writes the strips and fills the strip tables.
class TStripWriter {
public:
    TStripWriter(TStream& stream, TPixelGraphic& g, const TTIFFLayout& l, std::int64_t start)
        : stream_(stream), g_(g), l_(l), start_(start), rows_(l, g.GetWidth())
    {
    }

    void WriteStrips()
    {
        const bool packBits = TIFFCompression == static_cast<int>(TIFFPackBits);
        std::vector<std::uint8_t> packed(packBits ? PackBitsWorstCase(rows_.Size()) : 0);
        std::vector<int> runs;
        const int height = g_.GetHeight();
        TCodecProgressScope progress(g_);
        for (int y = 0; y < height; ++y) {
            if (y % l_.RowsPerStrip == 0)
                BeginStrip();
            const std::uint8_t* row = rows_.Prepare(g_.GetScanLine(y));
            std::size_t n = rows_.Size();
            if (packBits) {
                n = PackBitsEncodeRow(row, n, packed.data(), runs);
                row = packed.data();
            }
            stream_.WriteBuffer(row, static_cast<std::int64_t>(n));
            counts_.back() += static_cast<std::uint32_t>(n);
            if (g_.Progress(y + 1, height))
                TIFFWriterErrors.RaiseMessage(msgAborted);
        }
    }

    void PatchTables(const TStripTables& tables)
    {
        const std::int64_t end = stream_.GetPosition();
        Patch(tables.OffsetsAt, offsets_);
        Patch(tables.CountsAt, counts_);
        stream_.SetPosition(end);
    }

private:
    void BeginStrip()
    {
        if ((stream_.GetPosition() - start_) % 2 != 0) {
            const std::uint8_t zero = 0;
            stream_.WriteBuffer(&zero, 1);
        }
        offsets_.push_back(static_cast<std::uint32_t>(stream_.GetPosition() - start_));
        counts_.push_back(0);
    }

    void Patch(std::int64_t at, const std::vector<std::uint32_t>& values)
    {
        TTIFFBytes b(TIFFByteOrder != 0);
        for (std::uint32_t v : values)
            b.U32(v);
        stream_.SetPosition(start_ + at);
        stream_.WriteBuffer(b.Bytes().data(), b.Size());
    }

    TStream& stream_;
    TPixelGraphic& g_;
    const TTIFFLayout& l_;
    std::int64_t start_;
    TRowPreparer rows_;
    std::vector<std::uint32_t> offsets_;
    std::vector<std::uint32_t> counts_;
};

} // namespace

TTIFFileFormatWriter::TTIFFileFormatWriter() : TFileFormatWriter("tif", "Tagged Image File Format")
{
    CanWriteResolutions = AllColorResolutions().reset(1);
}

void TTIFFileFormatWriter::Write(TStream& Stream, TPixelGraphic& Graphic) const
{
    TTIFFWriteState state;
    WriteHeader(Stream, Graphic, state);
    WriteImage(Stream, Graphic, state);
    WriteTrailer(Stream, Graphic, state);
}

void TTIFFileFormatWriter::WriteHeader(TStream& Stream, TPixelGraphic&, TFileFormatWriteState& State) const
{
    auto& state = dynamic_cast<TTIFFWriteState&>(State);
    state.Start = Stream.GetPosition();
    state.DirectoryOffsetField = state.Start + 4;
    TTIFFBytes h(TIFFByteOrder != 0);
    h.U16(TIFFByteOrder != 0 ? 0x4D4D : 0x4949);
    h.U16(42);
    h.U32(0);
    Stream.WriteBuffer(h.Bytes().data(), h.Size());
}

void TTIFFileFormatWriter::WriteImage(TStream& Stream, TPixelGraphic& Graphic,
                                      TFileFormatWriteState& State) const
{
    const auto& state = dynamic_cast<const TTIFFWriteState&>(State);
    if (TIFFCompression != static_cast<int>(TIFFNoCompression) &&
        TIFFCompression != static_cast<int>(TIFFPackBits))
        TIFFWriterErrors.Raise("Internal Error");
    if (Graphic.GetEmpty())
        TIFFWriterErrors.RaiseMessage(35);
    const bool packBits = TIFFCompression == static_cast<int>(TIFFPackBits);
    const TTIFFLayout layout = PlanLayout(Graphic, packBits);

    const std::int64_t dirOffset = Stream.GetPosition() - state.Start;
    TStripTables tables;
    const TTIFFBytes directory = BuildDirectory(Graphic, layout, dirOffset, tables);
    CheckFileSize(layout, Graphic.GetHeight(), dirOffset + directory.Size(), packBits);

    TTIFFBytes offset(TIFFByteOrder != 0);
    offset.U32(static_cast<std::uint32_t>(dirOffset));
    Stream.SetPosition(state.DirectoryOffsetField);
    Stream.WriteBuffer(offset.Bytes().data(), offset.Size());
    Stream.SetPosition(state.Start + dirOffset);
    Stream.WriteBuffer(directory.Bytes().data(), directory.Size());

    TStripWriter strips(Stream, Graphic, layout, state.Start);
    strips.WriteStrips();
    strips.PatchTables(tables);
}

} // namespace lumeno
