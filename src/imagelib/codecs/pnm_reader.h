#pragma once
// Reader of the portable anymap formats: every variant P1 to P6 is read by
// each of the pbm, pgm and ppm readers, which differ only in the variants
// their header test recognises.

#include "imagelib/file_format_reader.h"

namespace lumeno {

class TPxMFileFormatReader : public TFileFormatReader {
public:
    bool CanRead(TFileHeader Header) const override;
    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;

protected:
    // AsciiVariant and BinaryVariant: the digits after 'P' the header test
    // accepts.
    TPxMFileFormatReader(std::string extension, std::string description, char asciiVariant,
                         char binaryVariant);

private:
    char asciiVariant_;
    char binaryVariant_;
};

class TPBMFileFormatReader : public TPxMFileFormatReader {
public:
    TPBMFileFormatReader() : TPxMFileFormatReader("pbm", "Portable Bitmap", '1', '4') {}
};

class TPGMFileFormatReader : public TPxMFileFormatReader {
public:
    TPGMFileFormatReader() : TPxMFileFormatReader("pgm", "Portable Graymap", '2', '5') {}
};

class TPPMFileFormatReader : public TPxMFileFormatReader {
public:
    TPPMFileFormatReader() : TPxMFileFormatReader("ppm", "Portable Pixelmap", '3', '6') {}
};

} // namespace lumeno
