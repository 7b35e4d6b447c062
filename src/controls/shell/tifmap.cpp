#include "controls/shell/tifmap.h"

#include "controls/shell/bmp_stream.h"
#include "controls/shell/map_exceptions.h"
#include "controls/shell/tiff_lzw_decoder.h"
#include "imagelib/codecs/packbits.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumeno {

namespace {

constexpr std::size_t kMaxRowBytes = 7200;

enum : std::uint16_t {
    tagWidth = 256,
    tagHeight = 257,
    tagBitsPerSample = 258,
    tagCompression = 259,
    tagPhotometric = 262,
    tagStripOffsets = 273,
    tagSamplesPerPixel = 277,
    tagRowsPerStrip = 278,
    tagStripByteCounts = 279,
    tagPlanarConfig = 284,
    tagPredictor = 317,
    tagColorMap = 320,
};

class TTiffBytes {
public:
    explicit TTiffBytes(const std::vector<std::uint8_t>& data) : data_(data)
    {
        if (data.size() < 8 || !((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M')))
            throw ETifException(2);
        big_ = data[0] == 'M';
    }

    std::size_t Size() const { return data_.size(); }
    const std::uint8_t* At(std::uint64_t offset, std::uint64_t count) const
    {
        if (offset > data_.size() || count > data_.size() - offset)
            throw ETifException(4);
        return data_.data() + offset;
    }
    std::uint32_t U16(std::uint64_t offset) const
    {
        const std::uint8_t* p = At(offset, 2);
        return big_ ? std::uint32_t(p[0] << 8 | p[1]) : std::uint32_t(p[1] << 8 | p[0]);
    }
    std::uint32_t U32(std::uint64_t offset) const
    {
        return big_ ? U16(offset) << 16 | U16(offset + 2) : U16(offset + 2) << 16 | U16(offset);
    }

private:
    const std::vector<std::uint8_t>& data_;
    bool big_ = false;
};

// A directory entry's values (SHORT or LONG), wherever they are stored.
struct TTiffField {
    std::uint16_t Type = 0;
    std::uint32_t Count = 0;
    std::uint64_t ValueOffset = 0;

    std::uint32_t Value(const TTiffBytes& in, std::uint32_t i) const
    {
        if (i >= Count)
            throw ETifException(4);
        return Type == 3 ? in.U16(ValueOffset + 2ull * i) : in.U32(ValueOffset + 4ull * i);
    }
};

struct TTiffImage {
    std::uint32_t Width = 0, Height = 0, Bits = 1, Samples = 1, Compression = 1, Photometric = 1;
    std::uint32_t RowsPerStrip = 0xFFFFFFFF, Planar = 1, Predictor = 1;
    TTiffField Offsets, Counts, ColorMap;
};

TTiffImage ReadDirectory(const TTiffBytes& in)
{
    const std::uint64_t ifd = in.U32(4);
    const std::uint32_t entries = in.U16(ifd);
    TTiffImage image;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint64_t e = ifd + 2 + 12ull * i;
        TTiffField field{std::uint16_t(in.U16(e + 2)), in.U32(e + 4), e + 8};
        if (field.Type != 3 && field.Type != 4)
            continue;
        const std::uint64_t bytes = std::uint64_t(field.Count) * (field.Type == 3 ? 2 : 4);
        if (bytes > 4)
            field.ValueOffset = in.U32(e + 8);
        in.At(field.ValueOffset, bytes);
        switch (in.U16(e)) {
        case tagWidth:
            image.Width = field.Value(in, 0);
            break;
        case tagHeight:
            image.Height = field.Value(in, 0);
            break;
        case tagBitsPerSample:
            image.Bits = field.Value(in, 0);
            break;
        case tagCompression:
            image.Compression = field.Value(in, 0);
            break;
        case tagPhotometric:
            image.Photometric = field.Value(in, 0);
            break;
        case tagStripOffsets:
            image.Offsets = field;
            break;
        case tagSamplesPerPixel:
            image.Samples = field.Value(in, 0);
            break;
        case tagRowsPerStrip:
            image.RowsPerStrip = field.Value(in, 0);
            break;
        case tagStripByteCounts:
            image.Counts = field;
            break;
        case tagPlanarConfig:
            image.Planar = field.Value(in, 0);
            break;
        case tagPredictor:
            image.Predictor = field.Value(in, 0);
            break;
        case tagColorMap:
            image.ColorMap = field;
            break;
        default:
            break;
        }
    }
    return image;
}

class TTiffDecoder {
public:
    TTiffDecoder(const TTiffBytes& in, const TTiffImage& image) : in_(in), t_(image) {}

    QImage Decode()
    {
        const int bitCount = BitCount();
        rowBytes_ = (std::size_t(t_.Width) * t_.Bits * t_.Samples + 7) / 8;
        if (rowBytes_ > kMaxRowBytes)
            throw ETifException(3);
        if (!BmpSizeAllowed(int(t_.Width), int(t_.Height), bitCount) || t_.Offsets.Count == 0 ||
            t_.Counts.Count < t_.Offsets.Count)
            throw ETifException(4);
        const std::uint32_t rowsPerStrip = std::max<std::uint32_t>(1, std::min(t_.RowsPerStrip, t_.Height));
        if ((std::uint64_t(t_.Height) + rowsPerStrip - 1) / rowsPerStrip > t_.Offsets.Count)
            throw ETifException(4);
        CheckStripsCanFill(rowsPerStrip);
        TBmpStream bmp(int(t_.Width), int(t_.Height), bitCount, Palette());
        std::vector<std::uint8_t> strip;
        for (std::uint32_t y = 0; y < t_.Height; y += rowsPerStrip) {
            const std::uint32_t rows = std::min(rowsPerStrip, t_.Height - y);
            ReadStrip(y / rowsPerStrip, rows, strip);
            for (std::uint32_t r = 0; r < rows; ++r)
                PutRow(strip.data() + r * rowBytes_, bmp.Row(int(y + r)));
        }
        return bmp.Image();
    }

private:
    int BitCount() const
    {
        if (t_.Planar != 1 || t_.Predictor != 1 || t_.Photometric > 3 ||
            (t_.Compression != 1 && t_.Compression != 5 && t_.Compression != 32773))
            throw ETifException(5);
        if (t_.Samples == 1 && (t_.Bits == 1 || t_.Bits == 4 || t_.Bits == 8) && t_.Photometric != 2)
            return int(t_.Bits);
        if (t_.Samples == 3 && t_.Bits == 8 && t_.Photometric == 2)
            return 24;
        throw ETifException(5);
    }

    // The most bytes one byte of a strip can give: a PackBits run of 2 bytes
    // gives 128; a 9-bit LZW code gives a string of at most 4096.
    std::uint64_t MaxExpansion() const
    {
        switch (t_.Compression) {
        case 32773:
            return 64;
        case 5:
            return 4096 * 8 / 9 + 1;
        default:
            return 1;
        }
    }

    // Refuses a picture its strips could not fill before the bitmap is
    // allocated, so a tiny file cannot claim hundreds of megabytes.
    void CheckStripsCanFill(std::uint32_t rowsPerStrip) const
    {
        for (std::uint32_t y = 0, i = 0; y < t_.Height; y += rowsPerStrip, ++i) {
            const std::uint64_t rows = std::min(rowsPerStrip, t_.Height - y);
            const std::uint64_t count = std::min<std::uint64_t>(t_.Counts.Value(in_, i), in_.Size());
            if (count * MaxExpansion() < rows * rowBytes_)
                throw ETifException(6);
        }
    }

    std::vector<std::uint32_t> Palette() const
    {
        std::vector<std::uint32_t> palette;
        if (t_.Samples != 1)
            return palette;
        const std::uint32_t count = 1u << t_.Bits;
        if (t_.Photometric == 3) {
            if (t_.ColorMap.Count < 3 * count)
                throw ETifException(4);
            for (std::uint32_t i = 0; i < count; ++i)
                palette.push_back((t_.ColorMap.Value(in_, i) >> 8) << 16 |
                                  (t_.ColorMap.Value(in_, count + i) >> 8) << 8 |
                                  t_.ColorMap.Value(in_, 2 * count + i) >> 8);
            return palette;
        }
        // Grey ramps; photometric 0 makes zero white.
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t level = i * 255 / (count - 1);
            palette.push_back((t_.Photometric == 0 ? 255 - level : level) * 0x010101u);
        }
        return palette;
    }

    void ReadStrip(std::uint32_t index, std::uint32_t rows, std::vector<std::uint8_t>& strip) const
    {
        const std::uint32_t offset = t_.Offsets.Value(in_, index), count = t_.Counts.Value(in_, index);
        const std::uint8_t* data = in_.At(offset, count);
        const std::size_t size = rows * rowBytes_;
        strip.assign(size, 0);
        if (t_.Compression == 1) {
            if (count < size)
                throw ETifException(6);
            std::memcpy(strip.data(), data, size);
        } else if (t_.Compression == 32773) {
            TPackBitsMemorySource source(data, count);
            for (std::uint32_t r = 0; r < rows; ++r)
                if (!PackBitsDecodeRow(source, strip.data() + r * rowBytes_, rowBytes_))
                    throw ETifException(source.Ended() ? 6 : 4);
        } else {
            const TTiffLzwDecoded decoded = DecodeTiffLzw(data, count, strip.data(), size);
            if (decoded.Result == TTiffLzwResult::BadCode)
                throw ETifException(8);
            if (decoded.Written < size)
                throw ETifException(6);
        }
    }

    void PutRow(const std::uint8_t* row, std::uint8_t* out) const
    {
        if (t_.Samples == 1) {
            std::memcpy(out, row, rowBytes_);
            return;
        }
        for (std::uint32_t x = 0; x < t_.Width; ++x, row += 3, out += 3) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
        }
    }

    const TTiffBytes& in_;
    const TTiffImage& t_;
    std::size_t rowBytes_ = 0;
};

} // namespace

void TTifmap::LoadFromStream(TStream& stream)
{
    const std::vector<std::uint8_t> data = ReadStreamRest(stream);
    const TTiffBytes in(data);
    const TTiffImage image = ReadDirectory(in);
    QImage::operator=(TTiffDecoder(in, image).Decode());
}

} // namespace lumeno
