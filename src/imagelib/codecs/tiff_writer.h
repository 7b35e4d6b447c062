#pragma once
// Writer of TIFF files (tif, tiff): one image in one directory, in strips of
// at most 32767 bytes, uncompressed or PackBits, in either byte order; the
// layout follows the TIFF* options of pg_globals.h. Offsets in the file count
// from the stream position where writing starts; the stream must be seekable.

#include "imagelib/file_format_writer.h"

#include <cstdint>

namespace lumeno {

// Where the file being written starts, and the header field that receives
// the directory's offset.
class TTIFFWriteState : public TFileFormatWriteState {
public:
    std::int64_t Start = 0;
    std::int64_t DirectoryOffsetField = 0;
};

class TTIFFileFormatWriter : public TFileFormatWriter {
public:
    TTIFFileFormatWriter();

    void Write(TStream& Stream, TPixelGraphic& Graphic) const override;
    // State must be a TTIFFWriteState.
    void WriteHeader(TStream& Stream, TPixelGraphic& Graphic, TFileFormatWriteState& State) const override;
    void WriteImage(TStream& Stream, TPixelGraphic& Graphic, TFileFormatWriteState& State) const override;
};

class TTIFFFileFormatWriter : public TTIFFileFormatWriter {
public:
    TTIFFFileFormatWriter()
    {
        Extension = "tiff";
        ShowInFilter = false;
    }
};

} // namespace lumeno
