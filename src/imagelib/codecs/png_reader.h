#pragma once
// Reader of PNG files through libpng.

#include "imagelib/file_format_reader.h"

namespace lumeno {

class TPNGFileFormatReader : public TFileFormatReader {
public:
    TPNGFileFormatReader();

    bool CanRead(TFileHeader Header) const override;
    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;
};

} // namespace lumeno
