#pragma once
// The libpng side of the PNG codec: the error routine that turns libpng's
// errors into EPGPNGFileFormatReaderWriter, the warning routine that follows
// the graphic's warning action, and reading and writing through our streams.

#include "imagelib/codecs/library_guard.h"
#include "imagelib/pixel_graphic.h"

#include <png.h>

namespace lumeno {

class TStream;

// What libpng's callbacks reach through its error and I/O pointers; lives
// as long as the libpng structures.
struct TPNGContext {
    TLibraryGuard Guard;
    TStream* Stream = nullptr;
    TPGWarningAction WarningAction = pgwaRaise;
};

// Creates the read or write structure with the context's routines;
// raises message 31 when libpng cannot.
png_structp CreatePNGReadStruct(TPNGContext& Context);
png_structp CreatePNGWriteStruct(TPNGContext& Context);
// Creates the info structure; raises message 31 when libpng cannot.
png_infop CreatePNGInfoStruct(TPNGContext& Context, png_structp Png);

void AttachPNGReader(png_structp Png, TPNGContext& Context);
void AttachPNGWriter(png_structp Png, TPNGContext& Context);

} // namespace lumeno
