#pragma once
// Writer of the portable anymap formats: black-and-white images as pbm, 256
// greys as pgm, true colour as ppm; binary or ASCII by the PxMBinary option.

#include "imagelib/file_format_writer.h"

namespace lumeno {

class TPXMFileFormatWriter : public TFileFormatWriter {
public:
    void Write(TStream& Stream, TPixelGraphic& Graphic) const override;

protected:
    // Resolution: the one colour-resolution class the format stores.
    TPXMFileFormatWriter(std::string extension, std::string description, int resolution);
};

class TPBMFileFormatWriter : public TPXMFileFormatWriter {
public:
    TPBMFileFormatWriter() : TPXMFileFormatWriter("pbm", "Portable Bitmap", 0) {}
};

class TPGMFileFormatWriter : public TPXMFileFormatWriter {
public:
    TPGMFileFormatWriter() : TPXMFileFormatWriter("pgm", "Portable Graymap", 5) {}
};

class TPPMFileFormatWriter : public TPXMFileFormatWriter {
public:
    TPPMFileFormatWriter() : TPXMFileFormatWriter("ppm", "Portable Pixelmap", 7) {}
};

} // namespace lumeno
