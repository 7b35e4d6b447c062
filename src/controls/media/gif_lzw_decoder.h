#pragma once
// GIF's variable-width LZW decoding.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace lumeno {

// Called now and then with the number of input bytes consumed so far.
using TLZWProgress = std::function<void(std::size_t consumed)>;

// Decodes up to outSize indices from data; returns how many were written.
// Decoding stops quietly at the end code, at the end of the data, or at a
// code that cannot be valid, so a damaged stream leaves the rest unwritten.
// minCodeSize must be 1..11 (the caller refuses others).
std::size_t DecodeGIFLZW(const std::uint8_t* data, std::size_t size, int minCodeSize, std::uint8_t* out,
                         std::size_t outSize, const TLZWProgress& progress = {});

} // namespace lumeno
