#include "imagelib/file_format_reader.h"

namespace lumeno {

bool TFileFormatReader::CanRead(TFileHeader) const
{
    return false;
}

void TFileFormatReader::Read(TStream&, TPixelGraphic&, int) const {}

void TFileFormatReader::GetInfo(TStream&, int, std::string& SubFormat, std::string& Remarks, int& Width,
                                int& Height, std::string& Colors, int& BitCount, int& ImageCount) const
{
    SubFormat.clear();
    Remarks.clear();
    Colors.clear();
    Width = 0;
    Height = 0;
    BitCount = 0;
    ImageCount = 1;
}

} // namespace lumeno
