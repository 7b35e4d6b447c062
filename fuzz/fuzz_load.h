#pragma once
// What every fuzz target does with one input: describe it and decode it
// through the registry, as a file of the given extension would be.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumeno::fuzz {

// Pixel memory the targets allow: 16 megapixels at 24 bits. Bigger images
// are refused as the 2 GiB cap would refuse them, only sooner: zeroing
// hundreds of megabytes per input would slow the runs to a crawl.
constexpr std::int64_t FuzzImageSizeLimit = std::int64_t{16} * 1024 * 1024 * 3;
// Images described as bigger than this are not decoded at all.
constexpr std::int64_t FuzzPixelLimit = std::int64_t{16} * 1024 * 1024;

// Lowers the size cap and silences the message boxes (each answers its
// default, as on a worker thread). The caller starts the library.
void PrepareLibrary();

// The library's exceptions are the expected answer to bad input and end
// here; anything else escapes to the fuzzer as a finding. Images described
// with more than pixelLimit pixels are skipped.
void FuzzLoad(const std::uint8_t* data, std::size_t size, const std::string& extension,
              std::int64_t pixelLimit = FuzzPixelLimit);

} // namespace lumeno::fuzz
