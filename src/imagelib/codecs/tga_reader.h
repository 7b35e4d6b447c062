#pragma once
// Reader of Truevision Targa (tga) files: colour-mapped, true-colour and
// grey images, uncompressed or run-length encoded. Targa files carry no
// signature, so the registry finds this reader by extension only.

#include "imagelib/file_format_reader.h"

namespace lumeno {

class TTGAFileFormatReader : public TFileFormatReader {
public:
    TTGAFileFormatReader();

    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;
};

} // namespace lumeno
