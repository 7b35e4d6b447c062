#pragma once
// PackBits run-length coding of single rows, as TIFF compression 32773 uses.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumeno {

// Upper bound of the encoded size of a row of Count bytes.
constexpr std::size_t PackBitsWorstCase(std::size_t Count)
{
    return 2 * Count + 1;
}

// Encodes one row into Dest (at least PackBitsWorstCase(Count) bytes) and
// returns the bytes written. A pair of equal bytes next to a literal byte is
// sent as literals, which is never longer. Runs holds scratch space.
std::size_t PackBitsEncodeRow(const std::uint8_t* Source, std::size_t Count, std::uint8_t* Dest,
                              std::vector<int>& Runs);

} // namespace lumeno
