#pragma once
// Reader of Windows and OS/2 bitmap files (bmp, dib, rle).

#include "imagelib/file_format_reader.h"

#include <cstdint>

namespace lumeno {

class TBMPFileFormatReader : public TFileFormatReader {
public:
    TBMPFileFormatReader();

    bool CanRead(TFileHeader Header) const override;
    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;
};

class TDIBFileFormatReader : public TBMPFileFormatReader {
public:
    TDIBFileFormatReader() { Extension = "dib"; }
};

class TRLEFileFormatReader : public TBMPFileFormatReader {
public:
    TRLEFileFormatReader() { Extension = "rle"; }
};

// Reads a packed DIB (information header, colour table, pixels) at the
// stream's position into Graphic. PixelOffset, when not negative, is where
// the pixels start counting from FileStart (a BMP file's own offset field);
// it is used when it lies after the colour table and inside the stream.
void ReadDIB(TStream& Stream, TPixelGraphic& Graphic, bool IsCoreHeader, std::int64_t FileStart,
             std::int64_t PixelOffset);

} // namespace lumeno
