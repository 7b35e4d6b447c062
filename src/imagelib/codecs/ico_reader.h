#pragma once
// Reader of Windows icon (ico) files: one 1-, 4- or 8-bit image of the icon,
// 8 to 64 pixels a side, as a true-colour image whose transparent pixels are
// white. It is registered by its own start-up step.

#include "imagelib/file_format_reader.h"
#include "platform/types.h"

#include <cstdint>
#include <vector>

namespace lumeno {

// An icon file's directory, and one of its images rebuilt in memory as a
// single-image icon file (directory, one entry, bitmap header, colour table,
// XOR bits, AND bits).
class tIconHandler {
public:
    // Sizes from one image's bitmap header.
    struct TImageHeader {
        int Width = 0;
        int Height = 0;
        int BitCount = 0;
    };

    // Checks the directory at the stream's position (which is kept): false
    // unless every entry's image lies inside the stream.
    bool Validate(TStream& Stream);
    // False when image Index has no bitmap header of the usual 40 bytes.
    bool ReadImageHeader(TStream& Stream, int Index, TImageHeader& Header) const;
    // Rebuilds image Index; false, with the handler emptied, when it is not a
    // 1-, 4- or 8-bit image whose parts fill its entry exactly.
    bool LoadImage(TStream& Stream, int Index);
    void Clear();
    // Row Y from the top as blue, green, red; masked pixels take
    // TransparentColor.
    void DecodeRow(int Y, std::uint8_t* Dest) const;

    int Count = 0;
    int Kind = 0; // 1 icon, 2 cursor
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
    int ColorCount = 0;
    TColor TransparentColor = clWhite;

private:
    struct TEntry {
        std::uint32_t BytesInRes = 0;
        std::uint32_t ImageOffset = 0;
    };
    TEntry ReadEntry(TStream& Stream, int Index) const;

    std::int64_t start_ = 0;
    std::vector<std::uint8_t> memory_;
    int xorRowSize_ = 0;
    int andRowSize_ = 0;
};

class tIcoFileFormatReader : public TFileFormatReader {
public:
    tIcoFileFormatReader();

    bool CanRead(TFileHeader Header) const override;
    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;
};

// Adds the icon reader to the registry; the program calls it after the
// library's own start-up.
void PGIcoStartup();

} // namespace lumeno
