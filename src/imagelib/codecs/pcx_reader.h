#pragma once
// Reader of Paintbrush (pcx) files: 1 bit in one or four planes, 8 bits in
// one plane with the 256-colour palette at the end, 8 bits in three planes.

#include "imagelib/file_format_reader.h"

namespace lumeno {

class TPCXFileFormatReader : public TFileFormatReader {
public:
    TPCXFileFormatReader();

    bool CanRead(TFileHeader Header) const override;
    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;
};

} // namespace lumeno
