#include "imagelib/file_format_writer.h"

namespace lumeno {

void TFileFormatWriter::Write(TStream&, TPixelGraphic&) const {}
void TFileFormatWriter::WriteHeader(TStream&, TPixelGraphic&, TFileFormatWriteState&) const {}
void TFileFormatWriter::WriteImage(TStream&, TPixelGraphic&, TFileFormatWriteState&) const {}
void TFileFormatWriter::WriteTrailer(TStream&, TPixelGraphic&, TFileFormatWriteState&) const {}

} // namespace lumeno
