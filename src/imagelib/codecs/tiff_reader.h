#pragma once
// Reader of baseline TIFF files (tif, tiff): bi-level, 4- and 8-bit grey or
// palette, RGB (with or without a fourth sample) and CMYK, uncompressed or
// PackBits, in strips with chunky samples. Offsets in the file count from the
// stream position where reading starts.

#include "imagelib/file_format_reader.h"

namespace lumeno {

class TTIFFileFormatReader : public TFileFormatReader {
public:
    TTIFFileFormatReader();

    bool CanRead(TFileHeader Header) const override;
    // Index selects the directory; only 0 exists unless TIFFCountDirectories
    // is on.
    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;
};

class TTIFFFileFormatReader : public TTIFFileFormatReader {
public:
    TTIFFFileFormatReader() { Extension = "tiff"; }
};

} // namespace lumeno
