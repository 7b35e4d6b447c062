#pragma once
// Writer of Windows bitmap files (bmp, dib): uncompressed, bottom-up, with
// the image's own depth and palette.

#include "imagelib/file_format_writer.h"

namespace lumeno {

class TBMPFileFormatWriter : public TFileFormatWriter {
public:
    TBMPFileFormatWriter();
    void Write(TStream& Stream, TPixelGraphic& Graphic) const override;
};

class TDIBFileFormatWriter : public TBMPFileFormatWriter {
public:
    TDIBFileFormatWriter()
    {
        Extension = "dib";
        ShowInFilter = false;
    }
};

} // namespace lumeno
