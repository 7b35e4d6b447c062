#pragma once
// The HSV channel filter's colour mapping in double precision.

#include <cstdint>

namespace lumeno {

class TXXXFilter;

// Maps one colour (blue, green, red) as MapHSVExtended does and returns true,
// or returns false, leaving Result alone, when a value on the way lies so
// near a point where that mapping jumps (a rounding half, a table knot of the
// hue, the hue's wrap, a saturation of 0) that double rounding could land on
// the other side.
bool MapHSVFast(const TXXXFilter& Tables, const std::uint8_t* Pixel, std::uint8_t* Result);

} // namespace lumeno
