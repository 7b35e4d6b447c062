#pragma once
// Writer of Truevision Targa (tga) files: 256-colour images colour-mapped,
// true-colour images as they are; uncompressed, bottom row first.

#include "imagelib/file_format_writer.h"

namespace lumeno {

class TTGAFileFormatWriter : public TFileFormatWriter {
public:
    TTGAFileFormatWriter();
    void Write(TStream& Stream, TPixelGraphic& Graphic) const override;
};

} // namespace lumeno
