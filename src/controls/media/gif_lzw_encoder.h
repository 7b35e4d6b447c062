#pragma once
// GIF's variable-width LZW encoding, written as data sub-blocks.

#include <cstddef>
#include <cstdint>

namespace lumeno {

class TStream;

// Writes the minimum code size byte, the codes in sub-blocks of at most 255
// bytes, and the empty block that ends the image data.
void EncodeGIFLZW(const std::uint8_t* pixels, std::size_t count, int minCodeSize, TStream& stream);

} // namespace lumeno
