#pragma once
// Writer of JPEG (JFIF) files through libjpeg: 256 greys or true colour.

#include "imagelib/file_format_writer.h"

namespace lumeno {

class TJPGFileFormatWriter : public TFileFormatWriter {
public:
    TJPGFileFormatWriter();
    void Write(TStream& Stream, TPixelGraphic& Graphic) const override;
};

class TJPEGFileFormatWriter : public TJPGFileFormatWriter {
public:
    TJPEGFileFormatWriter()
    {
        Extension = "jpeg";
        ShowInFilter = false;
    }
};

class TJIFFileFormatWriter : public TJPGFileFormatWriter {
public:
    TJIFFileFormatWriter()
    {
        Extension = "jif";
        ShowInFilter = false;
    }
};

} // namespace lumeno
