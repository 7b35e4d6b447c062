#pragma once
// The header and image file directories of a TIFF file, read with every
// offset and count checked against the stream before use.

#include "imagelib/codecs/codec_io.h"
#include "imagelib/codecs/tiff_format.h"
#include "platform/stream.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace lumeno {

// What one image file directory says about its image.
struct TTIFFDirectory {
    std::uint32_t ImageWidth = 0;
    std::uint32_t ImageLength = 0;
    std::vector<std::uint32_t> BitsPerSample;
    std::uint32_t Compression = TIFFNoCompression;
    std::uint32_t Photometric = 0;
    std::vector<std::uint32_t> StripOffsets;
    std::uint32_t SamplesPerPixel = 1;
    std::uint64_t RowsPerStrip = 0;
    std::uint32_t PlanarConfiguration = 0;
    std::vector<std::uint32_t> ColorMap;

    // Saturates: a damaged file may claim billions of bits per sample.
    int BitCount() const
    {
        std::int64_t sum = 0;
        for (std::uint32_t b : BitsPerSample)
            sum = std::min<std::int64_t>(sum + b, std::numeric_limits<int>::max());
        return static_cast<int>(sum);
    }
    // Bits of the one sample of a grey or palette image, else 0.
    std::uint32_t SingleSampleBits() const { return SamplesPerPixel == 1 ? BitsPerSample[0] : 0; }
};

// Reads the header and directories of the file at the stream's position;
// errors are the TIFF reader's.
class TTIFFParser {
public:
    explicit TTIFFParser(TStream& stream) : stream_(stream), start_(stream.GetPosition())
    {
        size_ = std::max<std::int64_t>(stream.GetSize() - start_, 0);
    }

    void ReadHeader();
    // Offsets of the directories of the chain, as far as they are counted.
    std::vector<std::uint32_t> DirectoryOffsets() const;
    // The directory as the file has it; CheckDirectory tells whether it can be decoded.
    TTIFFDirectory ReadDirectory(std::uint32_t offset);

    bool BigEndian() const { return bigEndian_; }
    std::int64_t Start() const { return start_; }
    std::int64_t Size() const { return size_; }

private:
    std::uint16_t U16(const std::uint8_t* p) const { return bigEndian_ ? GetU16BE(p) : GetU16LE(p); }
    std::uint32_t U32(const std::uint8_t* p) const { return bigEndian_ ? GetU32BE(p) : GetU32LE(p); }
    // Count bytes at Offset from the file's start.
    std::vector<std::uint8_t> ReadAt(std::int64_t offset, std::int64_t count);
    std::vector<std::uint32_t> ReadValues(const std::uint8_t* entry);
    void Store(TTIFFDirectory& d, std::uint16_t tag, const std::uint8_t* entry);

    TStream& stream_;
    std::int64_t start_;
    std::int64_t size_;
    bool bigEndian_ = false;
    std::uint32_t firstDirectory_ = 0;
};

// The Index-th directory of the chain (message 7 for "Index" when the
// chain is shorter); ImageCount receives the images counted.
TTIFFDirectory ReadChosenDirectory(TTIFFParser& Parser, int Index, int& ImageCount);
// Refuses a sample layout or strip table the decoder does not take, and
// completes RowsPerStrip. Only reading needs it: a file we cannot decode is
// still described.
void CheckDirectory(TTIFFDirectory& d);

} // namespace lumeno
