#pragma once
// Base of every image format writer. A writer keeps no state of its own
// between calls; a writer that works in steps keeps what it needs between
// them in a TFileFormatWriteState made for the call.

#include "imagelib/file_format_reader_writer.h"

#include <bitset>

namespace lumeno {

class TPixelGraphic;
class TStream;

// Colour-resolution classes 0..7 (black and white … true colour) a writer
// can store.
using TColorResolutions = std::bitset<8>;

class TFileFormatWriteState {
public:
    virtual ~TFileFormatWriteState() = default;
};

class TFileFormatWriter : public TFileFormatReaderWriter {
public:
    TColorResolutions CanWriteResolutions;

    virtual void Write(TStream& Stream, TPixelGraphic& Graphic) const;
    virtual void WriteHeader(TStream& Stream, TPixelGraphic& Graphic, TFileFormatWriteState& State) const;
    virtual void WriteImage(TStream& Stream, TPixelGraphic& Graphic, TFileFormatWriteState& State) const;
    virtual void WriteTrailer(TStream& Stream, TPixelGraphic& Graphic, TFileFormatWriteState& State) const;

protected:
    using TFileFormatReaderWriter::TFileFormatReaderWriter;
};

// Every class 0..7.
inline TColorResolutions AllColorResolutions() { return TColorResolutions().set(); }

} // namespace lumeno
