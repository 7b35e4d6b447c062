#pragma once
// Reader of JPEG (JFIF) files through libjpeg (jpg, jpeg, jif).

#include "imagelib/file_format_reader.h"

namespace lumeno {

class TJPGFileFormatReader : public TFileFormatReader {
public:
    TJPGFileFormatReader();

    bool CanRead(TFileHeader Header) const override;
    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;
};

class TJPEGFileFormatReader : public TJPGFileFormatReader {
public:
    TJPEGFileFormatReader() { Extension = "jpeg"; }
};

class TJIFFileFormatReader : public TJPGFileFormatReader {
public:
    TJIFFileFormatReader() { Extension = "jif"; }
};

} // namespace lumeno
