// A libFuzzer target for the EXIF reader: each input is read as a file's
// bytes, as the EXIF window reads a camera JPEG or a TIFF.

#include "app/thumbs/exif_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const lumeno::TExifData exif = lumeno::ReadExifData(std::span<const std::uint8_t>(data, size));
    volatile std::size_t rows = exif.Entries.size();
    (void)rows;
    return 0;
}
