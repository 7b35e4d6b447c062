#pragma once
// Pixels of three bytes with the first and the third exchanged: the image's
// blue-green-red rows against the red-green-blue of the PNM files.

#include <cstddef>
#include <cstdint>

namespace lumeno {

// Pixels pixels from In to Out; In and Out may be the same row.
void SwapRedBlue(const std::uint8_t* In, std::uint8_t* Out, std::size_t Pixels);

} // namespace lumeno
