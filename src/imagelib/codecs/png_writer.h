#pragma once
// Writer of PNG files through libpng: palette, grey and RGB images.

#include "imagelib/file_format_writer.h"

namespace lumeno {

class TPNGFileFormatWriter : public TFileFormatWriter {
public:
    TPNGFileFormatWriter();
    void Write(TStream& Stream, TPixelGraphic& Graphic) const override;
};

} // namespace lumeno
