#pragma once
// Base of every image format reader. A reader keeps no state of its own
// between calls: one instance serves every load, from any thread.

#include "imagelib/file_format_reader_writer.h"

#include <array>
#include <cstdint>
#include <string>

namespace lumeno {

class TPixelGraphic;
class TStream;

// The first bytes of a stream, as the registry probes them (zeros past a
// shorter stream's end).
constexpr int FileHeaderProbeSize = 17;
using TFileHeader = std::array<std::uint8_t, FileHeaderProbeSize>;

class TFileFormatReader : public TFileFormatReaderWriter {
public:
    // The registry may pick this reader by calling CanRead on the header;
    // otherwise it is found by extension only.
    bool ProbeContent = true;

    virtual bool CanRead(TFileHeader Header) const;
    // Decodes image number Index of the stream into Graphic.
    virtual void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const;
    // Describes the image without decoding its pixels; overrides call the
    // base first.
    virtual void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                         int& Height, std::string& Colors, int& BitCount, int& ImageCount) const;

protected:
    using TFileFormatReaderWriter::TFileFormatReaderWriter;
};

} // namespace lumeno
