#pragma once
// The libjpeg side of the JPEG codec: an error manager that turns libjpeg's
// errors into EPGJPGFileFormatReaderWriter and handles its warnings by the
// graphic's warning action, and source and destination managers over our
// streams.

#include "imagelib/codecs/library_guard.h"
#include "imagelib/pixel_graphic.h"

#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <type_traits>
#include <vector>

namespace lumeno {

class TStream;

// Serves one decompressor or compressor; lives as long as it does.
struct TJPEGErrorManager {
    jpeg_error_mgr Pub; // first: libjpeg only knows this part
    TLibraryGuard Guard;
    TPGWarningAction WarningAction = pgwaRaise;
};

// Installs the error manager in the libjpeg object about to be created.
void SetupJPEGErrorManager(jpeg_common_struct& Info, TJPEGErrorManager& Manager,
                           TPGWarningAction WarningAction);
// The guard of the object's error manager.
TLibraryGuard& JPEGGuard(j_common_ptr Info);

constexpr std::size_t JPEGStreamBufferSize = 64 * 1024;

// Feeds the decompressor from Stream. A stream that ends early gives the
// "premature end" warning and an end-of-image marker, as libjpeg's own file
// source does.
struct TJPEGStreamSource {
    jpeg_source_mgr Pub; // first
    TStream* Stream = nullptr;
    bool StartOfFile = true;
    std::vector<JOCTET> Buffer = std::vector<JOCTET>(JPEGStreamBufferSize);
};

struct TJPEGStreamDestination {
    jpeg_destination_mgr Pub; // first
    TStream* Stream = nullptr;
    std::vector<JOCTET> Buffer = std::vector<JOCTET>(JPEGStreamBufferSize);
};

// libjpeg hands back the first member; the whole is found from it.
static_assert(std::is_standard_layout_v<TJPEGErrorManager>);
static_assert(std::is_standard_layout_v<TJPEGStreamSource>);
static_assert(std::is_standard_layout_v<TJPEGStreamDestination>);

void AttachJPEGSource(jpeg_decompress_struct& Info, TJPEGStreamSource& Source, TStream& Stream);
void AttachJPEGDestination(jpeg_compress_struct& Info, TJPEGStreamDestination& Destination, TStream& Stream);

} // namespace lumeno
