#pragma once
// The image library's exception family; the message text is the payload.

#include "platform/exception.h"

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(EPixelGraphic, Exception);

LUMENO_DECLARE_EXCEPTION(EPGNoPalette, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGInvalidPaletteIndex, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGUnknownClipboardFormat, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGUnknownFileFormat, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGEmpty, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGFileFormatWritersEmpty, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGCanWriteResolutionsEmpty, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGCannotWriteColorRes, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGUnknownExtension, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGInvalidBitCountNum, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGInvalidSize, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGFilter, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGSaturationHue, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGConvFilter, EPixelGraphic);

// Codec errors; their texts carry the format prefix ("BMP: " ...).
LUMENO_DECLARE_EXCEPTION(EPGBMPFileFormatReader, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGJPGFileFormatReaderWriter, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGPNGFileFormatReaderWriter, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGPCXFileFormatReader, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGPxMFileFormatReader, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGPxMFileFormatWriter, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGTGAFileFormatReader, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGTIFFileFormatReader, EPixelGraphic);
LUMENO_DECLARE_EXCEPTION(EPGTIFFileFormatWriter, EPixelGraphic);

} // namespace lumeno
