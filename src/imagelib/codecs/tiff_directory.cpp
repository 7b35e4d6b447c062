#include "imagelib/codecs/tiff_directory.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/codecs/tiff_format.h"
#include "imagelib/pg_globals.h"
#include "platform/stream.h"

#include <algorithm>

namespace lumeno {

std::vector<std::uint8_t> TTIFFParser::ReadAt(std::int64_t offset, std::int64_t count)
{
    if (offset < 0 || count < 0 || offset > size_ || count > size_ - offset)
        TIFFReaderErrors.RaiseMessage(msgUnexpectedEnd);
    stream_.SetPosition(start_ + offset);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    TCodecReader(stream_, TIFFReaderErrors).Read(bytes.data(), count);
    return bytes;
}

void TTIFFParser::ReadHeader()
{
    const std::vector<std::uint8_t> h = ReadAt(0, TIFFHeaderSize);
    if (h[0] == 'I' && h[1] == 'I')
        bigEndian_ = false;
    else if (h[0] == 'M' && h[1] == 'M')
        bigEndian_ = true;
    else
        TIFFReaderErrors.RaiseMessage(34, "TIF");
    if (U16(h.data() + 2) != 42)
        TIFFReaderErrors.RaiseMessage(34, "TIF");
    firstDirectory_ = U32(h.data() + 4);
}

std::vector<std::uint32_t> TTIFFParser::DirectoryOffsets() const
{
    if (!TIFFCountDirectories)
        return {firstDirectory_};
    std::vector<std::uint32_t> offsets;
    std::uint32_t at = firstDirectory_;
    std::uint8_t b[4];
    while (at != 0) {
        if (static_cast<int>(offsets.size()) >= TIFFMaxDirectories || at > size_ - 2)
            return {firstDirectory_};
        offsets.push_back(at);
        stream_.SetPosition(start_ + at);
        stream_.ReadBuffer(b, 2);
        const std::int64_t next = std::int64_t{at} + 2 + std::int64_t{TIFFEntrySize} * U16(b);
        if (next > size_ - 4)
            return {firstDirectory_};
        stream_.SetPosition(start_ + next);
        stream_.ReadBuffer(b, 4);
        at = U32(b);
    }
    return offsets;
}

std::vector<std::uint32_t> TTIFFParser::ReadValues(const std::uint8_t* entry)
{
    const std::uint16_t type = U16(entry + 2);
    const std::int64_t count = U32(entry + 4);
    int size = 0;
    switch (type) {
    case ftByte:
        size = 1;
        break;
    case ftShort:
        size = 2;
        break;
    case ftLong:
        size = 4;
        break;
    default:
        TIFFReaderErrors.Raise("Unsupported field Type: " + std::to_string(type));
    }
    const std::int64_t bytes = count * size;
    std::vector<std::uint8_t> inOffset;
    const std::uint8_t* p = entry + 8;
    if (bytes > 4) {
        inOffset = ReadAt(U32(entry + 8), bytes);
        p = inOffset.data();
    }
    std::vector<std::uint32_t> values(static_cast<std::size_t>(count));
    for (auto& v : values) {
        v = size == 1 ? *p : size == 2 ? U16(p) : U32(p);
        p += size;
    }
    return values;
}

void TTIFFParser::Store(TTIFFDirectory& d, std::uint16_t tag, const std::uint8_t* entry)
{
    auto single = [&] {
        const std::vector<std::uint32_t> v = ReadValues(entry);
        return v.empty() ? 0u : v[0];
    };
    switch (tag) {
    case tagImageWidth:
        d.ImageWidth = single();
        break;
    case tagImageLength:
        d.ImageLength = single();
        break;
    case tagBitsPerSample:
        d.BitsPerSample = ReadValues(entry);
        break;
    case tagCompression:
        d.Compression = single();
        break;
    case tagPhotometricInterpretation:
        d.Photometric = single();
        break;
    case tagStripOffsets:
        d.StripOffsets = ReadValues(entry);
        break;
    case tagSamplesPerPixel:
        d.SamplesPerPixel = single();
        break;
    case tagRowsPerStrip:
        d.RowsPerStrip = single();
        break;
    case tagPlanarConfiguration:
        d.PlanarConfiguration = single();
        break;
    case tagColorMap:
        d.ColorMap = ReadValues(entry);
        break;
    default:
        break;
    }
}

namespace {

void CheckSampleLayout(const TTIFFDirectory& d)
{
    if (d.PlanarConfiguration > 1)
        TIFFReaderErrors.RaiseMessage(msgInvalid, "PlanarConfiguration");
    if (d.SamplesPerPixel != 1 && d.SamplesPerPixel != 3 && d.SamplesPerPixel != 4)
        TIFFReaderErrors.Raise("Invalid SamplesPerPixel");
    if (d.BitsPerSample.size() != d.SamplesPerPixel)
        TIFFReaderErrors.Raise("Invalid count of SamplesPerPixel");
    const std::vector<std::uint32_t>& b = d.BitsPerSample;
    const bool allEight = std::all_of(b.begin(), b.end(), [](std::uint32_t v) { return v == 8; });
    bool fits = false;
    switch (d.Photometric) {
    case phWhiteIsZero:
    case phBlackIsZero:
    case phPalette:
        fits = b.size() == 1 && (b[0] == 1 || b[0] == 4 || b[0] == 8);
        break;
    case phRGB:
        fits = b.size() >= 3 && allEight;
        break;
    case phCMYK:
        fits = b.size() == 4 && allEight;
        break;
    default:
        break;
    }
    if (!fits)
        TIFFReaderErrors.Raise("Invalid SamplesPerPixel");
}

} // namespace

void CheckDirectory(TTIFFDirectory& d)
{
    CheckSampleLayout(d);
    if (d.ImageWidth == 0 || d.ImageLength == 0)
        TIFFReaderErrors.RaiseMessage(35);
    if (d.StripOffsets.empty())
        TIFFReaderErrors.RaiseMessage(msgInvalid, "StripOffsets");
    if (d.RowsPerStrip == 0) {
        if (d.StripOffsets.size() != 1)
            TIFFReaderErrors.Raise("Invalid RowsPerStrip");
        d.RowsPerStrip = d.ImageLength;
    }
    d.RowsPerStrip = std::min<std::uint64_t>(d.RowsPerStrip, d.ImageLength);
}

TTIFFDirectory TTIFFParser::ReadDirectory(std::uint32_t offset)
{
    const std::vector<std::uint8_t> countBytes = ReadAt(offset, 2);
    const int n = U16(countBytes.data());
    const std::vector<std::uint8_t> entries =
        ReadAt(std::int64_t{offset} + 2, std::int64_t{TIFFEntrySize} * n);
    TTIFFDirectory d;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t* e = entries.data() + static_cast<std::ptrdiff_t>(i) * TIFFEntrySize;
        Store(d, U16(e), e);
    }
    if (d.BitsPerSample.empty())
        d.BitsPerSample.assign(d.SamplesPerPixel <= 4 ? d.SamplesPerPixel : 0, 1);
    return d;
}

TTIFFDirectory ReadChosenDirectory(TTIFFParser& Parser, int Index, int& ImageCount)
{
    Parser.ReadHeader();
    const std::vector<std::uint32_t> offsets = Parser.DirectoryOffsets();
    ImageCount = static_cast<int>(offsets.size());
    if (Index < 0 || Index >= ImageCount)
        TIFFReaderErrors.RaiseMessage(msgInvalid, "Index");
    return Parser.ReadDirectory(offsets[static_cast<std::size_t>(Index)]);
}

} // namespace lumeno
